#pragma once

// Comparison data that checks what arrives and keeps parts of it: length, XOR,
// sum and CRC fields checked against the received bytes of their ranges, with
// wildcards and captures inside those ranges, and captures that hold a byte, a
// run or a typed number ("?{x}", "*{x}", "BUS{reg}", "F{t}", ...).
//
// Rows use it only for comparison data that CompileCommand refuses because of
// these forms; every text that compiles there stays with NormalisePattern and
// MatchPattern, whose meaning does not change.
//
// How a datagram fits:
//  - the whole datagram must fit, as for MatchPattern;
//  - a closing field matches when its bytes equal the value of its range
//    computed over the bytes received from the range's start to the field, with
//    the field's width, byte order and "!"/"-" form, as a sender computes it.
//    A field inside another open range is counted by that range, since it is
//    among the received bytes;
//  - a "*" (or "*{x}") directly followed by a closing field is resolved from
//    the datagram's end: the longest run is tried first, so with nothing after
//    the field, the field is the datagram's last bytes;
//  - every other "*" takes the shortest run that lets the whole pattern fit;
//  - the search is bounded: a datagram that needs more than `budget` steps to
//    decide does not match, so no datagram can hold up the responder.

#include "notation/Notation.h"
#include "notation/PatternTypes.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vpx {

struct CrcTable;

// One captured part of a matched datagram.
struct TCapture {
    std::string_view Name;   // the pattern's own text: valid while the pattern lives
    TValueType Type = TValueType::Byte;
    bool BigEndian = false;
    std::size_t Offset = 0;  // in the datagram
    std::size_t Length = 0;  // bytes; a run's may be 0
    std::int64_t Integer = 0; // Byte (0..255), C, S, I (signed), US, UI
    double Real = 0;          // F (widened exactly), D
    std::size_t BytesAt = 0;  // where its bytes start in TPatternMatch::Bytes
};

// Why a datagram that fits a pattern in every other way was refused: the first
// closing field, in the pattern's order, whose received bytes are not its value.
struct TCheckNote {
    std::string_view Field; // "LEN", "XOR", "ADD", or the CRC's catalogue name
    std::uint8_t Width = 0; // bytes in Received and Expected
    std::array<std::uint8_t, 4> Received{};
    std::array<std::uint8_t, 4> Expected{};
    // "CRC-16/MODBUS: 12 34 received, C5 CD expected": the bytes in the datagram's order.
    std::string Text() const;
};

enum class TMatchOutcome { NoMatch, Matched, CheckFailed };

class TCheckedPattern;

// What a match found. Keep one and pass it to every Match: it keeps its room
// between datagrams, so matching allocates nothing once it has seen the largest.
class TPatternMatch {
public:
    TMatchOutcome Outcome = TMatchOutcome::NoMatch;
    std::vector<TCapture> Captures;  // Matched: one per definition, in the pattern's order
    std::vector<std::uint8_t> Bytes; // Matched: the captured bytes, copied out of the datagram
    TCheckNote Note;                 // CheckFailed
    bool BudgetSpent = false;        // NoMatch because the search ran out of steps

    std::span<const std::uint8_t> BytesOf(const TCapture& capture) const noexcept
    {
        return std::span<const std::uint8_t>(Bytes).subspan(capture.BytesAt, capture.Length);
    }

private:
    friend class TCheckedPattern;
    struct Choice {
        std::size_t op, lo, hi; // the run's candidate ends still to try, lo..hi
    };
    std::vector<std::size_t> m_at; // the datagram offset where each step of the current split begins
    std::vector<Choice> m_choices;
    // The pattern without runs whose captures were collected last: their names,
    // types and places are already in Captures and stay for the next datagram.
    const TCheckedPattern* m_placed = nullptr;
};

// "reg=7 seq=12": the captures in the pattern's order, one blank between them.
std::string CaptureText(const TPatternMatch& match);
// One capture's value as CaptureText writes it: bytes as upper-case hex separated
// by blanks (nothing for an empty run), integers in decimal, floats as the
// shortest text that reads back to the same value ("2.5").
std::string CaptureValueText(const TPatternMatch& match, const TCapture& capture);

class TCheckedPattern {
public:
    static constexpr std::size_t DefaultBudget = std::size_t{1} << 20;

    // Compiles comparison data. On failure `error` says where and why (as
    // CompileCommand's) and the pattern is left empty; `warnings` as there.
    bool Compile(const std::string& text, CompileError& error, std::vector<CompileWarning>* warnings = nullptr);

    // An empty pattern (never compiled, or refused) matches nothing.
    bool Empty() const noexcept { return m_steps.empty(); }
    std::span<const TPatternStep> Steps() const noexcept { return m_steps; }
    std::span<const TCaptureDef> Captures() const noexcept { return m_captures; }

    // Matches `size` bytes. `budget` counts candidate splits, steps and bytes
    // read by the checks; a datagram that needs more does not match.
    void Match(const std::uint8_t* data, std::size_t size, TPatternMatch& result,
               std::size_t budget = DefaultBudget) const;
    // Whether the datagram matches, for a caller that needs nothing else.
    bool Matches(const std::uint8_t* data, std::size_t size) const;

private:
    // The steps as the matcher runs them: literal bytes and fixed-width parts merged.
    struct Op {
        enum Kind : std::uint8_t { Literal, Skip, Run, Open, Field } kind = Literal;
        bool longest = false;        // Run: a field follows, so the longest run is tried first
        bool runAfter = false;       // a Run among the ops after this one
        int firstByte = -1;          // Run: the literal byte the next op begins with, if any
        std::uint32_t width = 0;     // Literal, Skip, Field: bytes
        std::uint32_t literalAt = 0; // Literal: its bytes in m_literals
        std::int32_t capture = -1;   // Skip, Run: the definition it fills
        std::size_t step = 0;        // Field: its step
        std::size_t openOp = 0;      // Field: the Open op its range began at
        const CrcTable* crc = nullptr; // Field of a CRC range
        std::size_t minAfter = 0;    // bytes the ops after this one need at least
    };

    void Build();
    bool Search(const std::uint8_t* data, std::size_t size, bool checks, TPatternMatch& result,
                std::size_t& budget) const;
    bool FieldHolds(const Op& op, const std::uint8_t* data, const std::size_t* at, std::size_t d,
                    std::size_t& budget, std::array<std::uint8_t, 4>* expected = nullptr) const;
    bool FixedHolds(const std::uint8_t* data, std::size_t& budget) const;
    void Collect(const std::uint8_t* data, const std::size_t* at, TPatternMatch& result) const;

    static constexpr std::size_t NotFixed = ~std::size_t{0};

    std::vector<TPatternStep> m_steps;
    std::vector<TCaptureDef> m_captures;
    std::vector<Op> m_ops;
    std::vector<std::uint8_t> m_literals;
    std::vector<std::size_t> m_captureOps; // the ops that fill a capture, in order
    // Without runs: the datagram's size, and where each op begins; NotFixed otherwise.
    std::size_t m_fixedSize = NotFixed;
    std::vector<std::size_t> m_fixedAt;
    std::vector<std::size_t> m_fixedChecks; // the literal and field ops, which are all a fixed pattern checks
};

} // namespace vpx
