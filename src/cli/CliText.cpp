#include "cli/CliText.h"

#include "library/PayloadPreview.h"
#include "notation/Notation.h"
#include "platform/Utf8Cp932.h"

#include <QString>
#include <QTranslator>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdio>
#include <cstring>

namespace vpx::cli {

std::optional<long long> ParseCount(std::string_view text, long long lo, long long hi)
{
    if (text.empty() || text.size() > 18)
        return std::nullopt;
    long long value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    if (value < lo || value > hi)
        return std::nullopt;
    return value;
}

std::optional<std::uint16_t> ParsePort(std::string_view text)
{
    const auto v = ParseCount(text, 0, 65535);
    if (!v)
        return std::nullopt;
    return static_cast<std::uint16_t>(*v);
}

AnsiString ArgumentBytes(std::string_view name, std::string_view argument)
{
    if (!IsValidUtf8(argument)) {
        if (IsValidCp932(argument))
            return AnsiString(argument);
        // Both readings hold up to where the later of them breaks.
        const std::size_t at = std::max(ValidUtf8Length(argument), ValidCp932Length(argument));
        char byte[8];
        std::snprintf(byte, sizeof byte, "0x%02X", static_cast<unsigned>(static_cast<unsigned char>(argument[at])));
        throw CliError(std::string(name) + ": byte " + std::to_string(at + 1) + " (" + byte +
                       ") is neither UTF-8 nor code page 932");
    }
    const QString text = QString::fromUtf8(argument.data(), static_cast<qsizetype>(argument.size()));
    AnsiString bytes;
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype units = text.at(i).isHighSurrogate() ? 2 : 1; // valid UTF-8: the low one follows
        const QString character = text.mid(i, units);
        const AnsiString converted = ToAnsi(character);
        if (converted == "?" && character != QLatin1Char('?')) {
            char code[16];
            std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(character.toUcs4().at(0)));
            throw CliError(std::string(name) + ": \"" + character.toStdString() + "\" (" + code +
                           ") has no code page 932 form");
        }
        bytes += converted;
        i += units;
    }
    return bytes;
}

std::string BadNotation(const AnsiString& text, const CompileError& error, std::string_view where)
{
    // The window's reasons, in the English of its own catalogue, which travels
    // inside this program: one wording for both faces.
    static QTranslator english;
    static const bool loaded = english.load(QStringLiteral(":/vorpex-cli/vorpex_en.qm"));
    const QString reason = CompileFaultReason(error.Fault);
    const QString shown = loaded ? english.translate("PayloadPreview", reason.toUtf8().constData()) : QString();
    return "bad notation at character " + std::to_string(CharacterPositionOfByte(text, error.Position)) +
           std::string(where) + ": " + (shown.isEmpty() ? reason : shown).toStdString();
}

std::optional<Endpoint> ParseEndpoint(std::string_view text)
{
    const auto colon = text.rfind(':');
    if (colon == std::string_view::npos)
        return std::nullopt;
    const std::string_view address = text.substr(0, colon);
    const auto port = ParsePort(text.substr(colon + 1));
    if (!IsDottedAddress(address) || !port || *port == 0)
        return std::nullopt;
    return Endpoint{std::string(address), *port};
}

std::optional<Endpoint> ParseLocalEndpoint(std::string_view text)
{
    const auto colon = text.rfind(':');
    if (colon == std::string_view::npos) {
        const auto port = ParsePort(text);
        if (!port)
            return std::nullopt;
        return Endpoint{std::string(), *port};
    }
    const std::string_view address = text.substr(0, colon);
    const auto port = ParsePort(text.substr(colon + 1));
    if (!IsDottedAddress(address) || !port)
        return std::nullopt;
    return Endpoint{std::string(address), *port};
}

std::string FormatBytes(const std::uint8_t* data, std::size_t size)
{
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(size * 3);
    for (std::size_t i = 0; i < size; ++i) {
        if (i > 0)
            out.push_back(' ');
        out.push_back(kDigits[data[i] >> 4]);
        out.push_back(kDigits[data[i] & 0x0F]);
    }
    return out;
}

std::string FormatItems(const std::vector<std::int32_t>& items)
{
    std::string out;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (i > 0)
            out.push_back(' ');
        if (items[i] == ItemAnyByte) {
            out += "??";
        } else if (items[i] == ItemAnyRun) {
            out += "*";
        } else {
            const auto byte = static_cast<std::uint8_t>(items[i] & 0xFF);
            out += FormatBytes(&byte, 1);
        }
    }
    return out;
}

std::vector<std::int32_t> CompileOrThrow(const AnsiString& text, bool bigEndian, bool wildcards)
{
    std::vector<std::int32_t> items;
    CompileError error;
    if (CompileCommand(bigEndian ? 1 : 0, text, items, wildcards, error) < 0)
        throw CliError(BadNotation(text, error));
    return items;
}

std::string IsoLocalTime(const std::timespec& when)
{
    std::tm local{};
    ::localtime_r(&when.tv_sec, &local);
    char stamp[128];
    const int offset = static_cast<int>(local.tm_gmtoff % 86400);
    const int absolute = offset < 0 ? -offset : offset;
    std::snprintf(stamp, sizeof stamp, "%04d-%02d-%02dT%02d:%02d:%02d.%03d%c%02d:%02d", local.tm_year + 1900,
                  local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec,
                  static_cast<int>(when.tv_nsec / 1000000), offset < 0 ? '-' : '+', absolute / 3600,
                  (absolute % 3600) / 60);
    return stamp;
}

std::string JsonEscape(std::string_view utf8)
{
    std::string out;
    out.reserve(utf8.size());
    for (char c : utf8) {
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                char buf[8];
                std::snprintf(buf, sizeof buf, "\\u%04x", static_cast<unsigned>(static_cast<unsigned char>(c)));
                out += buf;
            } else {
                out.push_back(c);
            }
        }
    }
    return out;
}

std::string CommentUtf8(const AnsiString& comment)
{
    if (comment.empty())
        return std::string();
    return FromAnsi(comment).toStdString();
}

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

// "HH " and a spare byte for each byte value: one four-byte copy writes a cell.
const std::array<std::array<char, 4>, 256> kHexCells = [] {
    std::array<std::array<char, 4>, 256> cells{};
    for (int b = 0; b < 256; ++b)
        cells[static_cast<std::size_t>(b)] = {kHexDigits[b >> 4], kHexDigits[b & 0x0F], ' ', ' '};
    return cells;
}();

void WriteHexCellsByTable(char* p, const std::uint8_t* from, std::size_t size)
{
    // Local pointers: stores through a char pointer could alias the table's,
    // which would otherwise be reloaded for every byte.
    const std::uint8_t* const end = from + size;
    const auto* cells = kHexCells.data();
#pragma GCC unroll 8
    for (; from != end; ++from, p += 3)
        std::memcpy(p, cells[*from].data(), 4);
}

#if defined(__x86_64__) || defined(__i386__)
// Sixteen bytes at a time: their 32 digits are made by two table shuffles,
// then spread over the 48 characters of their cells by three more. A 512-byte
// datagram is 1,535 characters of hex, and a responder under a flood writes two
// such lines per datagram: a third of the instructions the table needs.
struct HexSpread {
    std::int8_t fromFirst[3][16];  // where each output character comes from in the digits of bytes 0-7
    std::int8_t fromSecond[3][16]; // ... of bytes 8-15
    char blanks[3][16];
};

constexpr HexSpread MakeHexSpread()
{
    HexSpread s{};
    for (int k = 0; k < 48; ++k) {
        const int vector = k / 16, at = k % 16, byte = k / 3, place = k % 3;
        s.fromFirst[vector][at] = -128; // a shuffle index with the top bit set gives 0
        s.fromSecond[vector][at] = -128;
        s.blanks[vector][at] = place == 2 ? ' ' : '\0';
        if (place != 2 && byte < 8)
            s.fromFirst[vector][at] = static_cast<std::int8_t>(2 * byte + place);
        else if (place != 2)
            s.fromSecond[vector][at] = static_cast<std::int8_t>(2 * (byte - 8) + place);
    }
    return s;
}

alignas(16) constexpr HexSpread kHexSpread = MakeHexSpread();

__attribute__((target("ssse3"))) void WriteHexCellsBySsse3(char* p, const std::uint8_t* from, std::size_t size)
{
    const auto row = [](const auto& rows, int i) { return _mm_load_si128(reinterpret_cast<const __m128i*>(rows[i])); };
    const __m128i digits = _mm_loadu_si128(reinterpret_cast<const __m128i*>(kHexDigits));
    const __m128i low = _mm_set1_epi8(0x0F);
    // Named one by one, so that all of them stay in registers.
    const __m128i first0 = row(kHexSpread.fromFirst, 0), first1 = row(kHexSpread.fromFirst, 1);
    const __m128i second1 = row(kHexSpread.fromSecond, 1), second2 = row(kHexSpread.fromSecond, 2);
    const __m128i blanks0 = row(kHexSpread.blanks, 0), blanks1 = row(kHexSpread.blanks, 1),
                  blanks2 = row(kHexSpread.blanks, 2);
    for (; size >= 16; size -= 16, from += 16, p += 48) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from));
        const __m128i high = _mm_shuffle_epi8(digits, _mm_and_si128(_mm_srli_epi16(bytes, 4), low));
        const __m128i lowDigit = _mm_shuffle_epi8(digits, _mm_and_si128(bytes, low));
        const __m128i a = _mm_unpacklo_epi8(high, lowDigit); // "HLHL…" of bytes 0-7
        const __m128i b = _mm_unpackhi_epi8(high, lowDigit); // of bytes 8-15
        // Characters 0-15 come from bytes 0-5 only, 32-47 from bytes 10-15 only.
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p), _mm_or_si128(_mm_shuffle_epi8(a, first0), blanks0));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p + 16),
                         _mm_or_si128(_mm_or_si128(_mm_shuffle_epi8(a, first1), _mm_shuffle_epi8(b, second1)), blanks1));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p + 32), _mm_or_si128(_mm_shuffle_epi8(b, second2), blanks2));
    }
    WriteHexCellsByTable(p, from, size);
}

// Thirty-two bytes at a time: the same shuffles on two blocks of sixteen at
// once, one in each half of the register; each half's 48 characters are stored
// where their block's cells go. What is left goes sixteen at a time.
__attribute__((target("avx2"))) inline __m256i BothHalves(const void* sixteen)
{
    return _mm256_broadcastsi128_si256(_mm_loadu_si128(static_cast<const __m128i*>(sixteen)));
}

__attribute__((target("avx2"))) inline void StoreHalves(char* at, __m256i both)
{
    _mm_storeu_si128(reinterpret_cast<__m128i*>(at), _mm256_castsi256_si128(both));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(at + 48), _mm256_extracti128_si256(both, 1));
}

__attribute__((target("avx2"))) void WriteHexCellsByAvx2(char* p, const std::uint8_t* from, std::size_t size)
{
    const __m256i digits = BothHalves(kHexDigits);
    const __m256i low = _mm256_set1_epi8(0x0F);
    const __m256i first0 = BothHalves(kHexSpread.fromFirst[0]), first1 = BothHalves(kHexSpread.fromFirst[1]);
    const __m256i second1 = BothHalves(kHexSpread.fromSecond[1]), second2 = BothHalves(kHexSpread.fromSecond[2]);
    const __m256i blanks0 = BothHalves(kHexSpread.blanks[0]), blanks1 = BothHalves(kHexSpread.blanks[1]),
                  blanks2 = BothHalves(kHexSpread.blanks[2]);
    for (; size >= 32; size -= 32, from += 32, p += 96) {
        const __m256i bytes = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(from));
        const __m256i high = _mm256_shuffle_epi8(digits, _mm256_and_si256(_mm256_srli_epi16(bytes, 4), low));
        const __m256i lowDigit = _mm256_shuffle_epi8(digits, _mm256_and_si256(bytes, low));
        const __m256i a = _mm256_unpacklo_epi8(high, lowDigit); // per half: "HLHL…" of its bytes 0-7
        const __m256i b = _mm256_unpackhi_epi8(high, lowDigit); // of its bytes 8-15
        StoreHalves(p, _mm256_or_si256(_mm256_shuffle_epi8(a, first0), blanks0));
        StoreHalves(p + 16, _mm256_or_si256(
                                _mm256_or_si256(_mm256_shuffle_epi8(a, first1), _mm256_shuffle_epi8(b, second1)), blanks1));
        StoreHalves(p + 32, _mm256_or_si256(_mm256_shuffle_epi8(b, second2), blanks2));
    }
    WriteHexCellsBySsse3(p, from, size);
}
#endif

} // namespace

void WriteHexCells(char* out, const std::uint8_t* bytes, std::size_t size)
{
#if defined(__x86_64__) || defined(__i386__)
    static const bool avx2 = __builtin_cpu_supports("avx2");
    static const bool ssse3 = __builtin_cpu_supports("ssse3");
    if (avx2) {
        WriteHexCellsByAvx2(out, bytes, size);
        return;
    }
    if (ssse3) {
        WriteHexCellsBySsse3(out, bytes, size);
        return;
    }
#endif
    WriteHexCellsByTable(out, bytes, size);
}

void AppendTrafficLine(std::string& out, const TTrafficRecord& record, std::string_view time, bool json,
                       std::string_view commentUtf8)
{
    const bool in = record.Kind == tkReceived || record.Kind == tkReceivedMatched;
    const std::size_t size = PayloadSize(record);
    const auto appendHex = [&] {
        if (size == 0)
            return;
        const std::size_t at = out.size();
        out.resize(at + size * 3 + 1); // the last cell may write one past the text
        WriteHexCells(out.data() + at, record.Data.data(), size);
        out.resize(at + size * 3 - 1);
    };
    char number[16];
    if (json) {
        out += "{\"time\":\"";
        out += time;
        out += in ? "\",\"dir\":\"in\",\"address\":\"" : "\",\"dir\":\"out\",\"address\":\"";
        out += JsonEscape(record.PeerAddress);
        std::snprintf(number, sizeof number, "%u", static_cast<unsigned>(record.PeerPort));
        out += "\",\"port\":";
        out += number;
        std::snprintf(number, sizeof number, "%zu", size);
        out += ",\"length\":";
        out += number;
        out += ",\"hex\":\"";
        appendHex();
        out += '"';
        if (in)
            out += record.Kind == tkReceivedMatched ? ",\"matched\":true" : ",\"matched\":false";
        out += ",\"comment\":\"";
        out += JsonEscape(commentUtf8);
        out += "\"}";
        return;
    }
    out += time;
    out += in ? " > " : " < ";
    out += record.PeerAddress;
    out += ':';
    const auto port = std::to_chars(number, number + sizeof number, static_cast<unsigned>(record.PeerPort));
    out.append(number, port.ptr);
    out += " [";
    appendHex();
    out += ']';
    if (!commentUtf8.empty()) {
        out += ' ';
        out += commentUtf8;
    }
}

std::string TrafficLine(const TTrafficRecord& record, const std::string& time, bool json)
{
    std::string line;
    AppendTrafficLine(line, record, time, json, CommentUtf8(record.Comment));
    return line;
}

const std::string& TimeStamper::At(std::int64_t microseconds)
{
    std::int64_t second = microseconds / 1000000;
    std::int64_t rest = microseconds % 1000000;
    if (rest < 0) {
        rest += 1000000;
        --second;
    }
    if (second != m_second) {
        m_second = second;
        m_stamp = IsoLocalTime(std::timespec{static_cast<std::time_t>(second), static_cast<long>(rest * 1000)});
    } else {
        // "….123+09:00": only the milliseconds change within a second.
        const int ms = static_cast<int>(rest / 1000);
        m_stamp[20] = static_cast<char>('0' + ms / 100);
        m_stamp[21] = static_cast<char>('0' + ms / 10 % 10);
        m_stamp[22] = static_cast<char>('0' + ms % 10);
    }
    return m_stamp;
}

} // namespace vpx::cli
