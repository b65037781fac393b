#include "platform/CodePage.h"

#include <QString>

#include <array>
#include <iconv.h>
#include <memory>
#include <stdexcept>
#include <utility>

namespace vpx {

std::vector<ByteKind> ClassifyBytes(std::string_view text)
{
    std::vector<ByteKind> kinds(text.size(), ByteKind::Single);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (IsLeadByte(text[i]) && i + 1 < text.size()) {
            kinds[i] = ByteKind::Lead;
            kinds[++i] = ByteKind::Trail;
        }
    }
    return kinds;
}

std::size_t FindOnCharBoundary(std::string_view haystack, std::string_view needle) noexcept
{
    if (needle.empty())
        return 0;
    for (std::size_t i = 0; i + needle.size() <= haystack.size();) {
        if (haystack.compare(i, needle.size(), needle) == 0)
            return i;
        i += (IsLeadByte(haystack[i]) && i + 1 < haystack.size()) ? 2 : 1;
    }
    return std::string_view::npos;
}

namespace {

// Marks "no entry" in the tables below: U+FFFF is no character, and 0xFFFF no
// byte sequence of code page 932 (0xFF is no lead byte).
constexpr char16_t kNone = 0xFFFF;

// A lead byte that starts no character stands for itself as U+F700 + byte. The
// Windows table uses only U+E000-U+E757 (the user-defined rows F0-F9) and
// U+F8F0-U+F8F3 (single bytes) of the private-use area, so these code points
// never name a character of the code page and cannot be confused with one.
constexpr char16_t kLoneByteBase = 0xF700;

// The single bytes Windows maps to fixed code points although the code page has
// no character for them (the system's converter refuses them).
constexpr std::pair<std::uint8_t, char16_t> kBytesWithoutCharacter[] = {
    {0x80, 0x0080}, {0xA0, 0xF8F0}, {0xFD, 0xF8F1}, {0xFE, 0xF8F2}, {0xFF, 0xF8F3},
};

// Characters no byte sequence reads as, typed in their JIS spelling (input
// methods and other programs on this system write them so): they go to the
// bytes that show them. Never produced by FromAnsi, so no round trip depends
// on them.
constexpr std::pair<char16_t, std::uint16_t> kTypedOnly[] = {
    {0x00A2, 0x8191}, // CENT SIGN, shown as FULLWIDTH CENT SIGN
    {0x00A3, 0x8192}, // POUND SIGN
    {0x00A5, 0x005C}, // YEN SIGN: the code page's backslash is the yen key
    {0x00AC, 0x81CA}, // NOT SIGN
    {0x2014, 0x815C}, // EM DASH, shown as HORIZONTAL BAR
    {0x2016, 0x8161}, // DOUBLE VERTICAL LINE, shown as PARALLEL TO
    {0x203E, 0x007E}, // OVERLINE: the code page's tilde
    {0x2212, 0x817C}, // MINUS SIGN, shown as FULLWIDTH HYPHEN-MINUS
    {0x301C, 0x8160}, // WAVE DASH, shown as FULLWIDTH TILDE
};

// Which of several pairs showing one character is written when it is typed:
// the lower rank wins, as in the Windows conversion.
int PairRank(std::uint8_t lead) noexcept
{
    if (lead == 0xED || lead == 0xEE)
        return 3; // NEC-selected IBM extensions: written as the IBM extensions
    if (lead >= 0xFA)
        return 2; // IBM extensions: written as NEC row 13 or JIS X 0208 where those have it
    if (lead == 0x87)
        return 1; // NEC row 13: written as JIS X 0208 where that has it
    return 0;
}

struct Tables {
    std::array<char16_t, 256> single{}; // byte -> code point; kNone for lead bytes
    std::array<char16_t, 0x10000> pair{}; // lead << 8 | trail -> code point; kNone if no character
    std::array<std::uint16_t, 0x10000> encode{}; // code point -> byte (< 0x100) or pair; kNone if none
};

// The character one byte sequence reads as through the system's converter, or
// kNone when it reads as none or as more than one code unit.
class SystemDecoder {
public:
    SystemDecoder() : m_cd(iconv_open("UTF-16LE", "CP932"))
    {
        if (m_cd == reinterpret_cast<iconv_t>(-1))
            throw std::runtime_error("code page 932 conversion is not available");
    }
    ~SystemDecoder() { iconv_close(m_cd); }
    SystemDecoder(const SystemDecoder&) = delete;
    SystemDecoder& operator=(const SystemDecoder&) = delete;

    char16_t operator()(const char* bytes, std::size_t size) const
    {
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        char16_t out[2];
        char* in = const_cast<char*>(bytes);
        std::size_t inLeft = size;
        char* outPtr = reinterpret_cast<char*>(out);
        std::size_t outLeft = sizeof out;
        if (iconv(m_cd, &in, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1) || inLeft != 0 ||
            outLeft != sizeof out - sizeof(char16_t))
            return kNone;
        return out[0];
    }

private:
    iconv_t m_cd;
};

std::unique_ptr<Tables> BuildTables()
{
    auto t = std::make_unique<Tables>();
    t->pair.fill(kNone);
    t->encode.fill(kNone);
    const SystemDecoder decode;

    for (int b = 0; b < 256; ++b) {
        const auto byte = static_cast<std::uint8_t>(b);
        if (IsLeadByte(byte)) {
            t->single[byte] = kNone;
            continue;
        }
        const char c = static_cast<char>(byte);
        char16_t u = decode(&c, 1);
        for (const auto& [fixedByte, fixedCode] : kBytesWithoutCharacter)
            if (fixedByte == byte)
                u = fixedCode;
        if (u == kNone)
            u = static_cast<char16_t>(kLoneByteBase + byte); // none today; kept lossless all the same
        t->single[byte] = u;
        if (t->encode[u] == kNone)
            t->encode[u] = byte;
    }

    for (int lead = 0x81; lead <= 0xFC; ++lead) {
        if (!IsLeadByte(static_cast<std::uint8_t>(lead)))
            continue;
        t->encode[kLoneByteBase + lead] = static_cast<std::uint16_t>(lead);
        for (int trail = 0x40; trail <= 0xFC; ++trail) {
            const char bytes[2] = {static_cast<char>(lead), static_cast<char>(trail)};
            const char16_t u = decode(bytes, 2);
            if (u == kNone || u == 0 || (u >= kLoneByteBase + 0x80 && u <= kLoneByteBase + 0xFF))
                continue;
            const auto code = static_cast<std::uint16_t>(lead << 8 | trail);
            t->pair[code] = u;
            std::uint16_t& written = t->encode[u];
            if (written == kNone || (written > 0xFF && PairRank(static_cast<std::uint8_t>(lead)) <
                                                           PairRank(static_cast<std::uint8_t>(written >> 8))))
                written = code;
        }
    }

    for (const auto& [u, bytes] : kTypedOnly)
        if (t->encode[u] == kNone)
            t->encode[u] = bytes;
    return t;
}

const Tables& CodePageTables()
{
    static const std::unique_ptr<Tables> tables = BuildTables();
    return *tables;
}

} // namespace

AnsiString ToAnsi(const QString& text)
{
    const Tables& t = CodePageTables();
    AnsiString out;
    out.reserve(static_cast<std::size_t>(text.size()) * 2);
    const char16_t* units = reinterpret_cast<const char16_t*>(text.utf16());
    const auto size = static_cast<std::size_t>(text.size());
    for (std::size_t i = 0; i < size; ++i) {
        const char16_t u = units[i];
        if (u >= 0xD800 && u <= 0xDFFF) {
            // Outside the BMP (or a lone surrogate): one "?" for the character.
            if (u <= 0xDBFF && i + 1 < size && units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF)
                ++i;
            out.push_back('?');
            continue;
        }
        const std::uint16_t bytes = t.encode[u];
        if (bytes == kNone) {
            out.push_back('?');
        } else if (bytes > 0xFF) {
            out.push_back(static_cast<char>(bytes >> 8));
            out.push_back(static_cast<char>(bytes & 0xFF));
        } else {
            out.push_back(static_cast<char>(bytes));
        }
    }
    return out;
}

namespace {

// FromAnsi, and when `starts` is given, the byte each unit was read from (and
// the end of the bytes after the last one).
QString Decode(std::string_view bytes, std::vector<std::size_t>* starts)
{
    const Tables& t = CodePageTables();
    QString out;
    out.reserve(static_cast<qsizetype>(bytes.size()));
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (starts)
            starts->push_back(i);
        const auto b = static_cast<std::uint8_t>(bytes[i]);
        if (!IsLeadByte(b)) {
            out.append(QChar(t.single[b]));
            continue;
        }
        if (i + 1 < bytes.size()) {
            const char16_t u = t.pair[b << 8 | static_cast<std::uint8_t>(bytes[i + 1])];
            if (u != kNone) {
                out.append(QChar(u));
                ++i;
                continue;
            }
        }
        // No character starts here: the lead byte stands alone and the next byte
        // is read on its own.
        out.append(QChar(static_cast<char16_t>(kLoneByteBase + b)));
    }
    if (starts)
        starts->push_back(bytes.size());
    return out;
}

} // namespace

QString FromAnsi(std::string_view bytes)
{
    return Decode(bytes, nullptr);
}

std::string AnsiToUtf8(std::string_view bytes)
{
    return bytes.empty() ? std::string() : FromAnsi(bytes).toStdString();
}

AnsiString ToAnsiKeeping(const QString& text, std::string_view original)
{
    std::vector<std::size_t> starts;
    const QString before = Decode(original, &starts);
    // One unit per character read, none of them a surrogate: the units alike at
    // either end are whole characters of `original`, which keep their bytes. Only
    // what lies between is written afresh.
    const auto n = static_cast<std::size_t>(before.size());
    const auto m = static_cast<std::size_t>(text.size());
    const char16_t* was = reinterpret_cast<const char16_t*>(before.utf16());
    const char16_t* now = reinterpret_cast<const char16_t*>(text.utf16());
    std::size_t head = 0;
    while (head < n && head < m && was[head] == now[head])
        ++head;
    std::size_t tail = 0;
    while (tail < n - head && tail < m - head && was[n - 1 - tail] == now[m - 1 - tail])
        ++tail;
    AnsiString out(original.substr(0, starts[head]));
    out += ToAnsi(text.mid(static_cast<qsizetype>(head), static_cast<qsizetype>(m - head - tail)));
    out.append(original.substr(starts[n - tail]));
    return out;
}

std::size_t CharacterPositionOfByte(std::string_view ansi, std::size_t bytePosition)
{
    std::size_t characters = 0;
    std::size_t i = 0;
    while (i + 1 < bytePosition && i < ansi.size()) {
        i += IsLeadByte(ansi[i]) && i + 1 < ansi.size() ? 2 : 1;
        ++characters;
    }
    return characters + 1;
}

} // namespace vpx
