#include "notation/Notation.h"

#include "notation/Crc.h"
#include "notation/NotationModes.h"
#include "platform/CodePage.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <locale.h>
#include <optional>
#include <string_view>

namespace vpx {

namespace {

constexpr bool IsBlank(char c) noexcept
{
    return static_cast<std::uint8_t>(c) <= 32;
}

std::string_view Trim(std::string_view s) noexcept
{
    while (!s.empty() && IsBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

std::string_view TrimLeft(std::string_view s) noexcept
{
    while (!s.empty() && IsBlank(s.front()))
        s.remove_prefix(1);
    return s;
}

constexpr char Upper(char c) noexcept
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

bool StartsWithNoCase(std::string_view s, std::string_view prefix) noexcept
{
    if (s.size() < prefix.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (Upper(s[i]) != prefix[i])
            return false;
    return true;
}

int HexDigit(char c) noexcept
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// A 64-bit integer: optional sign, then decimal digits or a hexadecimal prefix
// ("$", "x", "X", "0x", "0X") and hex digits. The whole text must be used and the
// value must fit; anything else is not a number.
std::optional<std::int64_t> ParseInt64(std::string_view s)
{
    bool negative = false;
    if (!s.empty() && (s.front() == '+' || s.front() == '-')) {
        negative = s.front() == '-';
        s.remove_prefix(1);
    }
    unsigned base = 10;
    if (!s.empty() && (s.front() == '$' || s.front() == 'x' || s.front() == 'X')) {
        base = 16;
        s.remove_prefix(1);
    } else if (s.size() >= 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
        base = 16;
        s.remove_prefix(2);
    }
    if (s.empty())
        return std::nullopt;
    // Accumulate the magnitude unsigned so that INT64_MIN is reachable.
    std::uint64_t magnitude = 0;
    const std::uint64_t limit = negative ? (std::uint64_t{1} << 63) : (std::uint64_t{1} << 63) - 1;
    for (char c : s) {
        const int d = HexDigit(c);
        if (d < 0 || static_cast<unsigned>(d) >= base)
            return std::nullopt;
        if (magnitude > (limit - static_cast<std::uint64_t>(d)) / base)
            return std::nullopt;
        magnitude = magnitude * base + static_cast<std::uint64_t>(d);
    }
    if (negative)
        return static_cast<std::int64_t>(0 - magnitude);
    return static_cast<std::int64_t>(magnitude);
}

// "0x" at the start of a token longer than two characters is read as "$".
std::optional<std::int64_t> ParseNumberToken(std::string_view s)
{
    if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
        std::string rewritten = "$";
        rewritten.append(s.substr(2));
        return ParseInt64(rewritten);
    }
    return ParseInt64(s);
}

std::optional<std::int64_t> ParseInRange(std::string_view s, std::int64_t lo, std::int64_t hi)
{
    const auto v = ParseNumberToken(s);
    if (!v || *v < lo || *v > hi)
        return std::nullopt;
    return v;
}

// Decimal floating-point text only: sign, digits, optional fraction, optional
// exponent. Hex floats, "inf" and "nan" are not part of the notation.
bool IsDecimalFloatText(std::string_view s) noexcept
{
    std::size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        ++i;
    std::size_t digits = 0;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
        ++i;
        ++digits;
    }
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
            ++i;
            ++digits;
        }
    }
    if (digits == 0)
        return false;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        if (i < s.size() && (s[i] == '+' || s[i] == '-'))
            ++i;
        std::size_t expDigits = 0;
        while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
            ++i;
            ++expDigits;
        }
        if (expDigits == 0)
            return false;
    }
    return i == s.size();
}

// Decimal text to 80-bit extended, rounded to nearest. Independent of the
// process locale, which a GUI application sets from the user's environment.
std::optional<long double> ParseExtended(std::string_view s)
{
    if (!IsDecimalFloatText(s))
        return std::nullopt;
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    const std::string text(s);
    char* end = nullptr;
    const long double v = strtold_l(text.c_str(), &end, cLocale);
    if (end != text.c_str() + text.size() || std::isinf(v))
        return std::nullopt;
    return v;
}

enum class Modifier { None, Complement, Negate };

struct Range {
    bool open = false;
    std::uint32_t value = 0;
    std::size_t openedAt = 0; // the text position of its start keyword
    std::size_t openStep = 0; // a checked pattern's Open step
};

// The CRC range keeps where it began: its bytes are the items appended since,
// and the algorithm is known only at its end.
struct CrcRange {
    bool open = false;
    std::size_t start = 0;
    std::size_t openedAt = 0;
    std::size_t openStep = 0;
};

// How a text is read. Plain is every command and comparison data as it always
// was. Pattern is comparison data with checks and captures: the bytes become
// steps, and a range's end a field checked against what arrives. Reply is a
// reply text with fault keywords in front and tokens that name captures.
enum class Mode { Plain, Pattern, Reply };

struct ModeOutput {
    Mode mode = Mode::Plain;
    std::vector<TPatternStep>* steps = nullptr;   // Pattern
    std::vector<TCaptureDef>* captures = nullptr; // Pattern: defined here
    std::span<const TCaptureDef> known;           // Reply: what the names may refer to
    detail::TReplyParts* parts = nullptr;         // Reply
};

class Compiler {
public:
    Compiler(std::uint8_t defaultByteOrder, bool allowWildcards, std::vector<std::int32_t>& items,
             std::vector<CompileWarning>* warnings, const ModeOutput& mode = {})
        : m_bigEndianDefault(defaultByteOrder == 1), m_allowWildcards(allowWildcards), m_items(items),
          m_warnings(warnings), m_mode(mode)
    {
    }

    // `position` is where the token starts in the caller's text, for the warnings.
    bool Token(std::string_view token, std::size_t position)
    {
        m_position = position;
        m_tokenLength = token.size();
        m_faultKeyword = false;
        if (token.empty())
            return Fail(CompileFault::EmptyToken);
        const bool accepted = Dispatch(token);
        if (accepted && !m_faultKeyword)
            m_bodyStarted = true;
        return accepted;
    }

    CompileFault Fault() const noexcept { return m_fault; }
    // Whether the token just accepted was a reply's fault keyword.
    bool WasFaultKeyword() const noexcept { return m_faultKeyword; }

    // The ranges still open at the end of the text.
    void Finish()
    {
        for (const Range* r : {&m_len, &m_xor, &m_sum})
            if (r->open)
                Warn(r->openedAt, CompileWarningKind::RangeNotClosed);
        if (m_crc.open)
            Warn(m_crc.openedAt, CompileWarningKind::RangeNotClosed);
    }

    void Warn(std::size_t position, CompileWarningKind kind)
    {
        if (m_warnings)
            m_warnings->push_back({position, kind});
    }

private:
    bool Dispatch(std::string_view token)
    {
        if (token.front() == '"')
            return Quoted(token) || Fail(CompileFault::TextAfterQuote);
        if (token.front() == '%') {
            m_fault = CompileFault::UnknownKeyword; // unless the keyword says better
            return Keyword(token.substr(1));
        }
        if (m_mode.mode == Mode::Pattern && (token.front() == '?' || token.front() == '*')) {
            const std::string_view rest = TrimLeft(token.substr(1));
            if (IsBraced(rest))
                return Named(rest, token.front() == '?' ? TValueType::Byte : TValueType::Run, false, false);
        }
        if (m_mode.mode == Mode::Reply && token.front() == '{')
            return Named(token, TValueType::Byte, false, true);
        if (token == "?" || token == "*") {
            if (!m_allowWildcards)
                return Fail(CompileFault::WildcardNotAllowed);
            return Wildcard(token == "?" ? ItemAnyByte : ItemAnyRun);
        }
        m_fault = CompileFault::BadNumber; // unless a name in braces says better
        return Number(token);
    }

    bool Fail(CompileFault fault) noexcept
    {
        m_fault = fault;
        return false;
    }

    // "{...}" in place of a value names a capture, where captures are read.
    bool IsBraced(std::string_view rest) const noexcept
    {
        return m_mode.mode != Mode::Plain && !rest.empty() && rest.front() == '{';
    }

    // `braced` is "{...}", the rest of the token after its type letters.
    bool Named(std::string_view braced, TValueType type, bool big, bool untyped)
    {
        if (braced.size() < 2 || braced.back() != '}')
            return Fail(CompileFault::BadCaptureName);
        const std::string_view inside = Trim(braced.substr(1, braced.size() - 2));
        if (m_mode.mode == Mode::Pattern)
            return DefineCapture(inside, type, big);
        return InsertToken(inside, type, big, untyped);
    }

    bool DefineCapture(std::string_view name, TValueType type, bool big)
    {
        if (!IsCaptureName(name))
            return Fail(CompileFault::BadCaptureName);
        std::vector<TCaptureDef>& defs = *m_mode.captures;
        for (const TCaptureDef& d : defs)
            if (d.Name == name)
                return Fail(CompileFault::DuplicateCaptureName);
        defs.push_back({std::string(name), type, big});
        TPatternStep step;
        step.Step = TPatternStep::Capture;
        step.CaptureIndex = defs.size() - 1;
        m_mode.steps->push_back(step);
        return true;
    }

    // A reply token: "#" or a capture's name, for a typed token with "+1" or "-1" after it.
    bool InsertToken(std::string_view inside, TValueType type, bool big, bool untyped)
    {
        TReplyInsert insert;
        insert.Position = m_position - 1;
        insert.Length = m_tokenLength;
        insert.Type = untyped ? TValueType::Byte : type;
        insert.BigEndian = big;
        if (!untyped) {
            const std::size_t sign = inside.find_first_of("+-");
            if (sign != std::string_view::npos) {
                if (Trim(inside.substr(sign + 1)) != "1")
                    return Fail(CompileFault::BadCaptureName); // only "+1" and "-1" may follow a name
                insert.Delta = inside[sign] == '+' ? 1 : -1;
                inside = Trim(inside.substr(0, sign));
            }
        }
        if (inside == "#") {
            insert.Insert = TReplyInsert::Counter;
        } else {
            if (!IsCaptureName(inside))
                return Fail(CompileFault::BadCaptureName);
            const auto known = m_mode.known;
            const auto found = std::find_if(known.begin(), known.end(),
                                            [&](const TCaptureDef& d) { return d.Name == inside; });
            if (found == known.end())
                return Fail(CompileFault::UnknownCaptureName);
            insert.CaptureIndex = static_cast<std::size_t>(found - known.begin());
            if (untyped) {
                insert.Insert = TReplyInsert::Bytes;
            } else {
                if (found->Type == TValueType::Run)
                    return Fail(CompileFault::CaptureHasNoValue);
                insert.Insert = TReplyInsert::Value;
            }
        }
        m_mode.parts->Inserts.push_back(insert);
        return true;
    }

    // %DELAY(MS), %DROP(P), %DUP(N): each once, before every other token of a reply.
    // Nothing when `k` is another keyword.
    std::optional<bool> FaultKeyword(std::string_view k)
    {
        struct Form {
            std::string_view name;
            std::uint32_t lo, hi;
        };
        static constexpr Form forms[] = {{"DELAY", 0, MaxReplyDelayMs}, {"DROP", 0, 100}, {"DUP", 1, MaxReplyCopies}};
        for (std::size_t f = 0; f < std::size(forms); ++f) {
            if (!k.starts_with(forms[f].name))
                continue;
            const std::string_view rest = TrimLeft(k.substr(forms[f].name.size()));
            if (!rest.empty() && rest.front() != '(')
                continue; // another keyword that only begins alike
            m_faultKeyword = true;
            if (m_bodyStarted || (m_faultsSeen & (1u << f)))
                return Fail(CompileFault::FaultKeywordPlace);
            if (rest.size() < 2 || rest.back() != ')')
                return Fail(CompileFault::FaultKeywordValue);
            const auto v = ParseInRange(Trim(rest.substr(1, rest.size() - 2)), forms[f].lo, forms[f].hi);
            if (!v)
                return Fail(CompileFault::FaultKeywordValue);
            m_faultsSeen |= 1u << f;
            TReplyFaults& faults = m_mode.parts->Faults;
            const auto value = static_cast<std::uint32_t>(*v);
            if (f == 0) {
                faults.DelayMs = value;
            } else if (f == 1) {
                faults.Drop = true;
                faults.DropPercent = value;
            } else {
                faults.Copies = value;
            }
            return true;
        }
        return std::nullopt;
    }

    void Append(std::int32_t item)
    {
        m_items.push_back(item);
        if (m_mode.steps) {
            TPatternStep step;
            step.Value = static_cast<std::uint8_t>(item & 0xFF);
            m_mode.steps->push_back(step);
        }
        const auto byte = static_cast<std::uint8_t>(item & 0xFF);
        if (m_len.open)
            ++m_len.value;
        if (m_xor.open)
            m_xor.value ^= byte;
        if (m_sum.open)
            m_sum.value += byte;
        // The CRC range needs no feeding: it reads its bytes back from the list.
    }

    void AppendValue(std::uint64_t value, int bytes, bool bigEndian)
    {
        for (int i = 0; i < bytes; ++i) {
            const int shift = 8 * (bigEndian ? bytes - 1 - i : i);
            Append(static_cast<std::int32_t>((value >> shift) & 0xFF));
        }
    }

    bool Quoted(std::string_view token)
    {
        // Read with the token's comma after it: the closing quote must be followed by it.
        std::size_t i = 1;
        std::string content;
        for (;;) {
            if (i >= token.size())
                return false;
            const char c = token[i];
            if (IsLeadByte(c)) {
                content.push_back(c);
                if (i + 1 < token.size())
                    content.push_back(token[i + 1]);
                i += 2;
                continue;
            }
            if (c == '"') {
                if (i + 1 < token.size() && token[i + 1] == '"') {
                    content.push_back('"');
                    i += 2;
                    continue;
                }
                break;
            }
            content.push_back(c);
            ++i;
        }
        if (i + 1 != token.size())
            return false;
        for (char c : content)
            Append(static_cast<std::uint8_t>(c));
        return true;
    }

    bool Keyword(std::string_view rest)
    {
        std::string kw(rest);
        for (char& c : kw)
            c = Upper(c);
        std::string_view k = kw;
        if (k.empty())
            return false;
        if (m_mode.mode == Mode::Reply)
            if (const auto fault = FaultKeyword(k))
                return *fault;
        if (k == "LENS")
            return Open(m_len, TRangeKind::Len);
        if (k == "XORS")
            return Open(m_xor, TRangeKind::Xor);
        if (k == "ADDS")
            return Open(m_sum, TRangeKind::Add);
        if (k == "CRCS") {
            m_crc.open = true;
            m_crc.start = m_items.size();
            m_crc.openedAt = m_position;
            m_crc.openStep = OpenStep(TRangeKind::Crc);
            return true;
        }

        Modifier mod = Modifier::None;
        if (k.front() == '!' || k.front() == '-') {
            mod = k.front() == '!' ? Modifier::Complement : Modifier::Negate;
            k = TrimLeft(k.substr(1));
            if (k.empty())
                return false;
        }
        if (k == "LENE")
            return End(m_len, TRangeKind::Len, 1, mod, false);
        if (k == "XORE")
            return End(m_xor, TRangeKind::Xor, 1, mod, false);
        if (k == "ADDE")
            return End(m_sum, TRangeKind::Add, 1, mod, false);

        bool big = m_bigEndianDefault;
        if (k.front() == 'B' || k.front() == 'L') {
            big = k.front() == 'B';
            k = TrimLeft(k.substr(1));
            if (k.empty())
                return false;
        }
        if (k == "SLENE" || k == "USLENE")
            return End(m_len, TRangeKind::Len, 2, mod, big);
        if (k == "ILENE" || k == "UILENE")
            return End(m_len, TRangeKind::Len, 4, mod, big);
        if (k == "SADDE" || k == "USADDE")
            return End(m_sum, TRangeKind::Add, 2, mod, big);
        if (k == "IADDE" || k == "UIADDE")
            return End(m_sum, TRangeKind::Add, 4, mod, big);
        if (k.starts_with("CRCE"))
            return CrcEnd(k.substr(4), mod, big);
        return false;
    }

    // `rest` is what follows "CRCE": "(NAME)", blanks allowed around NAME.
    bool CrcEnd(std::string_view rest, Modifier mod, bool big)
    {
        rest = TrimLeft(rest);
        if (rest.empty() || rest.front() != '(' || rest.back() != ')')
            return Fail(CompileFault::CrcParenthesis);
        const CrcAlgorithm* algorithm = FindCrcAlgorithm(Trim(rest.substr(1, rest.size() - 2)));
        if (!algorithm)
            return Fail(CompileFault::UnknownCrc);
        // The catalogue's xor-out already says how the value is finished.
        if (mod != Modifier::None)
            return Fail(CompileFault::UnknownKeyword);
        if (!m_crc.open) {
            Warn(m_position, CompileWarningKind::RangeNotOpened);
            return true; // ignored without a start, as the other ends are
        }
        m_crc.open = false;
        if (m_mode.steps) {
            PushField(TRangeKind::Crc, algorithm->Width / 8, Modifier::None, big, m_crc.openStep, algorithm);
            return true;
        }
        m_crcBytes.resize(m_items.size() - m_crc.start);
        for (std::size_t i = 0; i < m_crcBytes.size(); ++i)
            m_crcBytes[i] = static_cast<std::uint8_t>(m_items[m_crc.start + i] & 0xFF);
        AppendValue(ComputeCrc(*algorithm, m_crcBytes), algorithm->Width / 8, big);
        return true;
    }

    bool Open(Range& r, TRangeKind kind)
    {
        r.open = true;
        r.value = 0;
        r.openedAt = m_position;
        r.openStep = OpenStep(kind);
        return true;
    }

    // In a checked pattern, where the range begins; 0 otherwise.
    std::size_t OpenStep(TRangeKind kind)
    {
        if (!m_mode.steps)
            return 0;
        TPatternStep step;
        step.Step = TPatternStep::Open;
        step.Range = kind;
        m_mode.steps->push_back(step);
        return m_mode.steps->size() - 1;
    }

    void PushField(TRangeKind kind, int bytes, Modifier mod, bool big, std::size_t openStep,
                   const CrcAlgorithm* crc = nullptr)
    {
        TPatternStep step;
        step.Step = TPatternStep::Field;
        step.Range = kind;
        step.Width = static_cast<std::uint8_t>(bytes);
        step.BigEndian = bytes > 1 && big;
        step.Modifier = mod == Modifier::Complement ? TFieldModifier::Complement
                        : mod == Modifier::Negate   ? TFieldModifier::Negate
                                                    : TFieldModifier::None;
        step.Crc = crc;
        step.OpenStep = openStep;
        m_mode.steps->push_back(step);
    }

    bool End(Range& r, TRangeKind kind, int bytes, Modifier mod, bool big)
    {
        if (!r.open) {
            Warn(m_position, CompileWarningKind::RangeNotOpened);
            return true; // an end without a start is ignored, not an error
        }
        r.open = false;
        if (m_mode.steps) {
            PushField(kind, bytes, mod, big, r.openStep);
            return true;
        }
        const std::uint64_t mask = (std::uint64_t{1} << (8 * bytes)) - 1;
        std::uint64_t v = r.value & mask;
        if (mod == Modifier::Complement)
            v = ~v & mask;
        else if (mod == Modifier::Negate)
            v = (0 - v) & mask;
        AppendValue(v, bytes, big);
        return true;
    }

    bool Wildcard(std::int32_t item)
    {
        if (m_mode.steps) {
            // A checked range reads the bytes that arrive, whatever they are.
            TPatternStep step;
            step.Step = item == ItemAnyByte ? TPatternStep::AnyByte : TPatternStep::AnyRun;
            m_mode.steps->push_back(step);
            return true;
        }
        if (m_len.open || m_xor.open || m_sum.open || m_crc.open)
            return Fail(CompileFault::WildcardInRange);
        m_items.push_back(item); // wildcards feed no range
        return true;
    }

    bool Number(std::string_view token)
    {
        if (const auto v = ParseNumberToken(token)) {
            if (*v < 0 || *v > 255)
                return false;
            Append(static_cast<std::int32_t>(*v));
            return true;
        }
        if (token.front() == 'C' || token.front() == 'c') {
            if (IsBraced(Trim(token.substr(1))))
                return Named(Trim(token.substr(1)), TValueType::C, false, false);
            const auto v = ParseInRange(Trim(token.substr(1)), -128, 127);
            if (!v)
                return false;
            Append(static_cast<std::int32_t>(*v));
            return true;
        }
        bool big = m_bigEndianDefault;
        if (token.front() == 'B' || token.front() == 'b' || token.front() == 'L' || token.front() == 'l') {
            big = Upper(token.front()) == 'B';
            token = TrimLeft(token.substr(1));
            if (token.empty())
                return false;
        }
        struct Type {
            std::string_view prefix;
            TValueType type;
        };
        static constexpr Type types[] = {{"F", TValueType::F},  {"D", TValueType::D}, {"S", TValueType::S},
                                         {"US", TValueType::US}, {"I", TValueType::I}, {"UI", TValueType::UI}};
        for (const Type& t : types) {
            if (!StartsWithNoCase(token, t.prefix))
                continue;
            const std::string_view rest = Trim(token.substr(t.prefix.size()));
            if (IsBraced(rest))
                return Named(rest, t.type, big, false);
            switch (t.type) {
            case TValueType::F:
                return Float(rest, false, big);
            case TValueType::D:
                return Float(rest, true, big);
            case TValueType::S:
                return Integer(rest, -32768, 32767, 2, big);
            case TValueType::US:
                return Integer(rest, 0, 65535, 2, big);
            case TValueType::I:
                return Integer(rest, -2147483648LL, 2147483647LL, 4, big);
            default:
                return Integer(rest, 0, 4294967295LL, 4, big);
            }
        }
        return false;
    }

    bool Integer(std::string_view text, std::int64_t lo, std::int64_t hi, int bytes, bool big)
    {
        const auto v = ParseInRange(text, lo, hi);
        if (!v)
            return false;
        AppendValue(static_cast<std::uint64_t>(*v), bytes, big);
        return true;
    }

    bool Float(std::string_view text, bool isDouble, bool big)
    {
        const auto extended = ParseExtended(text);
        if (!extended)
            return false;
        // Extended to target precision, rounded to nearest even; overflow to
        // infinity is a notation error rather than a value on the wire.
        if (isDouble) {
            const double d = static_cast<double>(*extended);
            if (std::isinf(d))
                return false;
            std::uint64_t bits;
            std::memcpy(&bits, &d, sizeof bits);
            AppendValue(bits, 8, big);
        } else {
            const float f = static_cast<float>(*extended);
            if (std::isinf(f))
                return false;
            std::uint32_t bits;
            std::memcpy(&bits, &f, sizeof bits);
            AppendValue(bits, 4, big);
        }
        return true;
    }

    bool m_bigEndianDefault;
    bool m_allowWildcards;
    std::vector<std::int32_t>& m_items;
    Range m_len, m_xor, m_sum;
    CrcRange m_crc;
    std::vector<std::uint8_t> m_crcBytes;
    CompileFault m_fault = CompileFault::None;
    std::vector<CompileWarning>* m_warnings;
    std::size_t m_position = 0;
    std::size_t m_tokenLength = 0;
    ModeOutput m_mode;
    bool m_bodyStarted = false;  // a token other than a fault keyword has been read
    bool m_faultKeyword = false; // the current token is a fault keyword
    unsigned m_faultsSeen = 0;   // which fault keywords were read, one bit each
};

constexpr std::uint32_t KindOf(std::int32_t item) noexcept
{
    return static_cast<std::uint32_t>(item) >> 24;
}

constexpr bool SameByte(std::int32_t a, std::int32_t b) noexcept
{
    return (a & 0xFF) == (b & 0xFF);
}

// Where a token of the trimmed copy `work` starts in the caller's text, 1-based.
std::size_t TokenPosition(const std::string& text, std::string_view trimmed, const std::string& work,
                          std::size_t start, std::string_view token) noexcept
{
    const std::size_t lead = static_cast<std::size_t>(trimmed.data() - text.data());
    std::size_t offset = start;
    if (!token.empty())
        offset = static_cast<std::size_t>(token.data() - work.data());
    return lead + offset + 1;
}

// Feeds the tokens of `text` to `compiler`. After each accepted token,
// `accepted` gets the 0-based offset in `text` of the comma that ended it (the
// text's size for the comma appended at its end). Returns the number of items,
// or -1 at the first faulty token with `error` set and `items` and `warnings` emptied.
template <typename Accepted>
std::int32_t RunCompiler(Compiler& compiler, const std::string& text, std::vector<std::int32_t>& items,
                         CompileError& error, std::vector<CompileWarning>* warnings, Accepted&& accepted)
{
    items.clear();
    if (warnings)
        warnings->clear();
    const std::string_view trimmed = Trim(text);
    if (trimmed.empty())
        return 0;
    std::string work(trimmed);
    work.push_back(',');
    const std::size_t lead = static_cast<std::size_t>(trimmed.data() - text.data());

    std::size_t start = 0;
    std::size_t quotes = 0;
    std::size_t firstQuote = 0;
    std::size_t i = 0;
    while (i < work.size()) {
        const char c = work[i];
        if (c == '"') {
            if (quotes++ == 0)
                firstQuote = i;
        } else if (c == ',' && quotes % 2 == 0) {
            const std::string_view token = Trim(std::string_view(work).substr(start, i - start));
            const std::size_t position = TokenPosition(text, trimmed, work, start, token);
            if (!compiler.Token(token, position)) {
                items.clear();
                if (warnings)
                    warnings->clear();
                error.Position = position;
                error.Fault = compiler.Fault();
                error.Length = token.size();
                return -1;
            }
            accepted(lead + i);
            start = i + 1;
            quotes = 0;
        } else if (IsLeadByte(c)) {
            ++i; // the trail byte goes with it, whatever it is
        }
        ++i;
    }
    // A quote left open drops the rest of the text, as it always has; the
    // caller is told where, and about the ranges the dropped text leaves open.
    if (quotes % 2 != 0)
        compiler.Warn(lead + firstQuote + 1, CompileWarningKind::UnterminatedQuote);
    compiler.Finish();
    if (warnings)
        std::stable_sort(warnings->begin(), warnings->end(),
                         [](const CompileWarning& a, const CompileWarning& b) { return a.Position < b.Position; });
    return static_cast<std::int32_t>(items.size());
}

} // namespace

std::int32_t CompileCommand(std::uint8_t DefaultByteOrder, const std::string& text,
                            std::vector<std::int32_t>& items, bool AllowWildcards, std::size_t* ErrorPosition)
{
    CompileError error;
    const std::int32_t result = CompileCommand(DefaultByteOrder, text, items, AllowWildcards, error);
    if (result < 0 && ErrorPosition)
        *ErrorPosition = error.Position;
    return result;
}

std::int32_t CompileCommand(std::uint8_t DefaultByteOrder, const std::string& text,
                            std::vector<std::int32_t>& items, bool AllowWildcards, CompileError& error,
                            std::vector<CompileWarning>* warnings)
{
    Compiler compiler(DefaultByteOrder, AllowWildcards, items, warnings);
    return RunCompiler(compiler, text, items, error, warnings, [](std::size_t) {});
}

namespace detail {

bool CompilePatternSteps(const std::string& text, std::vector<TPatternStep>& steps,
                         std::vector<TCaptureDef>& captures, CompileError& error,
                         std::vector<CompileWarning>* warnings)
{
    steps.clear();
    captures.clear();
    std::vector<std::int32_t> items;
    ModeOutput mode;
    mode.mode = Mode::Pattern;
    mode.steps = &steps;
    mode.captures = &captures;
    Compiler compiler(0, true, items, warnings, mode);
    if (RunCompiler(compiler, text, items, error, warnings, [](std::size_t) {}) >= 0)
        return true;
    steps.clear();
    captures.clear();
    return false;
}

bool CompileReplyParts(std::uint8_t byteOrder, const std::string& text, std::span<const TCaptureDef> captures,
                       TReplyParts& parts, CompileError& error, std::vector<CompileWarning>* warnings)
{
    parts = TReplyParts();
    std::vector<std::int32_t> items;
    ModeOutput mode;
    mode.mode = Mode::Reply;
    mode.known = captures;
    mode.parts = &parts;
    Compiler compiler(byteOrder, false, items, warnings, mode);
    const auto accepted = [&](std::size_t comma) {
        if (compiler.WasFaultKeyword())
            parts.BodyStart = std::min(comma + 1, text.size());
    };
    if (RunCompiler(compiler, text, items, error, warnings, accepted) >= 0)
        return true;
    parts = TReplyParts();
    return false;
}

} // namespace detail

void NormalisePattern(const std::vector<std::int32_t>& source, std::vector<std::int32_t>& target)
{
    target.clear();
    target.reserve(source.size());
    std::size_t anyBytes = 0;
    bool anyRun = false;
    const auto flush = [&] {
        target.insert(target.end(), anyBytes, ItemAnyByte);
        if (anyRun)
            target.push_back(ItemAnyRun);
        anyBytes = 0;
        anyRun = false;
    };
    for (const std::int32_t item : source) {
        switch (KindOf(item)) {
        case 1:
            ++anyBytes;
            break;
        case 2:
            anyRun = true;
            break;
        default:
            flush();
            target.push_back(item);
            break;
        }
    }
    flush();
}

namespace {

// One matcher for items and for raw bytes: a datagram is matched as it was read,
// without first widening every byte to an item.
template <typename Data>
bool MatchItems(const Data* data, std::size_t dc, const std::vector<std::int32_t>& pattern)
{
    const std::size_t pc = pattern.size();
    std::size_t pi = 0, di = 0;
    std::size_t bp = 0, bd = 0;
    bool armed = false;
    while (pi < pc) {
        const std::int32_t item = pattern[pi];
        switch (KindOf(item)) {
        case 1: // one byte of any value
            if (di + 1 > dc)
                return false;
            if (pi + 1 == pc && di + 1 == dc)
                return true;
            ++pi;
            ++di;
            break;
        case 2: { // any run, possibly empty
            if (pi + 1 == pc)
                return true;
            const std::int32_t next = pattern[pi + 1];
            std::size_t e = di;
            while (e < dc && !SameByte(data[e], next))
                ++e;
            if (e == dc)
                return false;
            armed = true;
            bp = pi;
            bd = e;
            ++pi;
            di = e;
            break;
        }
        default:
            if (di >= dc)
                return false;
            if (SameByte(data[di], item)) {
                if (pi + 1 == pc && di + 1 == dc)
                    return true;
                ++pi;
                ++di;
            } else {
                if (!armed)
                    return false;
                armed = false;
                pi = bp;
                di = bd + 1;
            }
            break;
        }
    }
    return false;
}

} // namespace

bool MatchPattern(const std::vector<std::int32_t>& data, const std::vector<std::int32_t>& pattern)
{
    return MatchItems(data.data(), data.size(), pattern);
}

bool MatchPattern(const std::uint8_t* data, std::size_t size, const std::vector<std::int32_t>& pattern)
{
    return MatchItems(data, size, pattern);
}

} // namespace vpx
