#pragma once

// The pieces a checked pattern and a reply template are made of, shared by the
// compiler that makes them (Notation.cpp) and the classes that use them
// (CheckedPattern, ReplyTemplate).

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace vpx {

struct CrcAlgorithm;

// What a capture holds: one byte ("?{x}"), a run ("*{x}"), or a typed number.
enum class TValueType : std::uint8_t { Byte, Run, C, S, US, I, UI, F, D };

// Bytes a capture of that type takes on the wire; 0 for a run, whose length varies.
constexpr std::size_t ValueWidth(TValueType type) noexcept
{
    switch (type) {
    case TValueType::Run:
        return 0;
    case TValueType::Byte:
    case TValueType::C:
        return 1;
    case TValueType::S:
    case TValueType::US:
        return 2;
    case TValueType::I:
    case TValueType::UI:
    case TValueType::F:
        return 4;
    case TValueType::D:
        return 8;
    }
    return 0;
}

// The notation's own letters for a typed value: "C", "S", "US", ... ("" for a byte or a run).
std::string_view ValueTypeName(TValueType type) noexcept;

// A capture as the comparison data defines it, in the order of the text.
struct TCaptureDef {
    std::string Name;
    TValueType Type = TValueType::Byte;
    bool BigEndian = false; // typed captures only; comparison data is little-endian unless "B" says otherwise
};

// True for ASCII letters, digits and "_", starting with a letter.
bool IsCaptureName(std::string_view name) noexcept;

enum class TRangeKind : std::uint8_t { Len, Xor, Add, Crc };
enum class TFieldModifier : std::uint8_t { None, Complement, Negate };

// One step of a checked pattern, in the order of the text.
struct TPatternStep {
    enum Kind : std::uint8_t {
        Byte,    // one literal byte
        AnyByte, // "?"
        AnyRun,  // "*": any number of bytes, none included
        Open,    // %LENS, %XORS, %ADDS, %CRCS: no bytes
        Field,   // a range's closing field: Width bytes that must equal the range's value
        Capture, // Captures()[Capture]: one byte, a run, or a typed number's bytes
    };
    Kind Step = Byte;
    std::uint8_t Value = 0;                             // Byte
    TRangeKind Range = TRangeKind::Len;                 // Open, Field
    std::uint8_t Width = 0;                             // Field: 1, 2, 4, or the CRC's width in bytes
    bool BigEndian = false;                             // Field
    TFieldModifier Modifier = TFieldModifier::None;     // Field ("!" or "-")
    const CrcAlgorithm* Crc = nullptr;                  // Field of a CRC range
    std::size_t OpenStep = 0;                           // Field: the index of the Open step its range began at
    std::size_t CaptureIndex = 0;                       // Capture: the index of its definition
    friend bool operator==(const TPatternStep&, const TPatternStep&) = default;
};

// The fault keywords that may lead a reply text, for a device that misbehaves on purpose.
struct TReplyFaults {
    std::uint32_t DelayMs = 0;   // %DELAY(MS): answer after MS milliseconds
    std::uint32_t DropPercent = 0; // %DROP(P): drop P % of the answers
    bool Drop = false;             // %DROP was written (the row then draws once per answer)
    std::uint32_t Copies = 1;      // %DUP(N): send the answer N times
    friend bool operator==(const TReplyFaults&, const TReplyFaults&) = default;
};

inline constexpr std::uint32_t MaxReplyDelayMs = 3600000; // an hour
inline constexpr std::uint32_t MaxReplyCopies = 100;

// A token of a reply text that is filled in per answer.
struct TReplyInsert {
    enum Kind : std::uint8_t {
        Bytes,   // {NAME}: the captured bytes as they arrived
        Value,   // a typed token with a name: the captured value converted to Type
        Counter, // {#} (one byte) or a typed token with "#": the row's answer counter
    };
    Kind Insert = Bytes;
    std::size_t Position = 0; // 0-based byte offset of the token in the reply text
    std::size_t Length = 0;   // bytes of the token
    std::size_t CaptureIndex = 0; // Bytes, Value: the index of the capture's definition
    TValueType Type = TValueType::Byte; // Value, Counter: what is written (Byte for "{#}")
    bool BigEndian = false;   // Value, Counter: the token's byte order, the text's default resolved
    int Delta = 0;            // Value, Counter: +1 for "{n+1}", -1 for "{n-1}"
    friend bool operator==(const TReplyInsert&, const TReplyInsert&) = default;
};

} // namespace vpx
