#include "notation/ReplyTemplate.h"

#include <cmath>
#include <cstring>
#include <limits>

namespace vpx {

namespace {

std::uint64_t Mix(std::uint64_t z) noexcept
{
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

// A float written as an integer: cut toward zero, NaN as 0, the ends of the
// 64-bit range where it goes beyond them.
std::int64_t Truncate(double v) noexcept
{
    if (std::isnan(v))
        return 0;
    if (v >= 9223372036854775807.0)
        return std::numeric_limits<std::int64_t>::max();
    if (v <= -9223372036854775808.0)
        return std::numeric_limits<std::int64_t>::min();
    return static_cast<std::int64_t>(v);
}

// What an insert writes, as a number: a captured value or the counter.
struct Source {
    bool real = false;
    std::int64_t integer = 0;
    double value = 0;
};

// The bits of `source` plus `delta` as `type`, in the low bytes of the result.
std::uint64_t Bits(TValueType type, const Source& source, int delta) noexcept
{
    if (type == TValueType::F || type == TValueType::D) {
        const double v = (source.real ? source.value : static_cast<double>(source.integer)) + delta;
        if (type == TValueType::D) {
            std::uint64_t bits;
            std::memcpy(&bits, &v, sizeof bits);
            return bits;
        }
        const float f = static_cast<float>(v);
        std::uint32_t bits;
        std::memcpy(&bits, &f, sizeof bits);
        return bits;
    }
    const std::int64_t base = source.real ? Truncate(source.value) : source.integer;
    return static_cast<std::uint64_t>(base) + static_cast<std::uint64_t>(static_cast<std::int64_t>(delta));
}

void AppendByte(std::string& out, std::uint8_t byte)
{
    static constexpr char hex[] = "0123456789ABCDEF";
    if (!out.empty())
        out += ", ";
    out += '$';
    out += hex[byte >> 4];
    out += hex[byte & 0xF];
}

} // namespace

TFaultRandom::TFaultRandom(std::uint64_t seed, std::uint64_t stream) noexcept
    : m_state(Mix(seed + 0x9E3779B97F4A7C15ULL) ^ Mix(stream))
{
}

std::uint64_t TFaultRandom::Next() noexcept
{
    m_state += 0x9E3779B97F4A7C15ULL;
    return Mix(m_state);
}

bool TReplyTemplate::Compile(const std::string& text, std::uint8_t byteOrder, std::span<const TCaptureDef> captures,
                             CompileError& error, std::vector<CompileWarning>* warnings)
{
    if (!detail::CompileReplyParts(byteOrder, text, captures, m_parts, error, warnings)) {
        m_text.clear();
        m_byteOrder = 0;
        return false;
    }
    m_text = text;
    m_byteOrder = byteOrder;
    return true;
}

std::string TReplyTemplate::FillText(const TPatternMatch* match, std::uint64_t counter) const
{
    std::string out;
    std::size_t cursor = m_parts.BodyStart;
    for (const TReplyInsert& insert : m_parts.Inserts) {
        out.append(m_text, cursor, insert.Position - cursor);
        cursor = insert.Position + insert.Length;
        const TCapture* capture = nullptr;
        if (insert.Insert != TReplyInsert::Counter && match && insert.CaptureIndex < match->Captures.size())
            capture = &match->Captures[insert.CaptureIndex];
        // Written as a token of its own between the commas that were around the insert.
        std::string bytes;
        if (insert.Insert == TReplyInsert::Bytes) {
            if (capture)
                for (const std::uint8_t b : match->BytesOf(*capture))
                    AppendByte(bytes, b);
        } else {
            Source source;
            if (insert.Insert == TReplyInsert::Counter) {
                source.integer = static_cast<std::int64_t>(counter);
            } else if (capture) {
                source.real = capture->Type == TValueType::F || capture->Type == TValueType::D;
                source.integer = capture->Integer;
                source.value = capture->Real;
            }
            const std::uint64_t bits = Bits(insert.Type, source, insert.Delta);
            const std::size_t width = ValueWidth(insert.Type);
            for (std::size_t k = 0; k < width; ++k)
                AppendByte(bytes, static_cast<std::uint8_t>(bits >> (8 * (insert.BigEndian ? width - 1 - k : k))));
        }
        // An empty run leaves an empty quoted text rather than an empty token.
        out += bytes.empty() ? std::string("\"\"") : bytes;
    }
    out.append(m_text, std::min(cursor, m_text.size()));
    return out;
}

std::int32_t TReplyTemplate::Fill(const TPatternMatch* match, std::uint64_t counter,
                                  std::vector<std::uint8_t>& bytes) const
{
    std::vector<std::int32_t> items;
    const std::int32_t count = CompileCommand(m_byteOrder, FillText(match, counter), items, false);
    bytes.resize(items.size());
    for (std::size_t i = 0; i < items.size(); ++i)
        bytes[i] = static_cast<std::uint8_t>(items[i] & 0xFF);
    return count;
}

} // namespace vpx
