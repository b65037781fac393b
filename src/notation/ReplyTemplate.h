#pragma once

// A reply as a template: the reply text of an auto-reply row, or the command a
// lookup row sends, compiled once against the captures its row's comparison
// data defines and filled in for every answer.
//
//  - "{NAME}" writes the captured bytes as they arrived (an empty run writes nothing);
//  - a typed token with a name in place of its value ("BUS{reg}", "F{t}",
//    "LUI{n}", "C{x}") writes the captured value converted to that type, in the
//    token's byte order (the text's default without "B" or "L"). Integers wrap
//    at the type's width; a float written as an integer is cut toward zero
//    (NaN gives 0, beyond 64 bits the nearest 64-bit value); "US{n+1}" and
//    "US{n-1}" add or subtract one first. A byte capture's value is the byte;
//    a run has no value, so a typed token may not name one;
//  - "{#}" writes the row's answer counter (0 at the first answer) as one byte,
//    a typed token with "#" ("US{#}", "BUI{#+1}") as that type;
//  - %DELAY(MS), %DROP(P) and %DUP(N) may lead the text, each once, before any
//    other token. They are no bytes: Faults() holds them.
//
// A name the row does not define is a compile error at that token. Everything
// else must compile as a command does: the filled text is compiled by the
// ordinary compiler, so length, XOR, sum and CRC fields of the reply are
// computed over the filled-in bytes.
//
// A lookup row's command in text mode is sent as it stands; only the notation is
// a template.

#include "notation/CheckedPattern.h"
#include "notation/NotationModes.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace vpx {

// The dice of %DROP: a small deterministic generator (SplitMix64). Each row has
// one, seeded with the run's seed and the row's index in its table, and draws
// one number per answer the row makes; the answer is dropped when that number
// modulo 100 is below P. Two runs with the same seed that receive the same
// datagrams therefore drop the same answers, whatever the other rows do.
class TFaultRandom {
public:
    explicit TFaultRandom(std::uint64_t seed = 1, std::uint64_t stream = 0) noexcept;
    std::uint64_t Next() noexcept;
    // One draw: true when this answer is to be dropped.
    bool Drop(std::uint32_t percent) noexcept { return Next() % 100 < percent; }

private:
    std::uint64_t m_state;
};

class TReplyTemplate {
public:
    // Compiles `text` for a row whose comparison data defines `captures` (none
    // for a row without captures). `byteOrder` is the one the reply is sent with
    // (1 big-endian, else little-endian). On failure `error` says where and why,
    // as CompileCommand's, and the template is left empty.
    bool Compile(const std::string& text, std::uint8_t byteOrder, std::span<const TCaptureDef> captures,
                 CompileError& error, std::vector<CompileWarning>* warnings = nullptr);

    const std::string& Text() const noexcept { return m_text; }
    std::uint8_t ByteOrder() const noexcept { return m_byteOrder; }
    const TReplyFaults& Faults() const noexcept { return m_parts.Faults; }
    // False when the text after the fault keywords is sent exactly as written.
    bool HasInserts() const noexcept { return !m_parts.Inserts.empty(); }
    std::span<const TReplyInsert> Inserts() const noexcept { return m_parts.Inserts; }

    // The reply's notation with `match`'s captures (a Matched result of the
    // row's pattern) and `counter` written in, without the fault keywords; for
    // a sender that compiles text with ByteOrder(). Captures the match does not
    // hold are written as empty bytes or 0.
    std::string FillText(const TPatternMatch* match, std::uint64_t counter) const;
    // The same compiled to the bytes of the reply; returns their count. What
    // is written in is bytes, so the filled text of a compiled template compiles.
    std::int32_t Fill(const TPatternMatch* match, std::uint64_t counter, std::vector<std::uint8_t>& bytes) const;

private:
    std::string m_text;
    std::uint8_t m_byteOrder = 0;
    detail::TReplyParts m_parts;
};

} // namespace vpx
