#include "cli/CliText.h"

#include "library/PayloadPreview.h"
#include "notation/Notation.h"
#include "platform/HexText.h"
#include "platform/Utf8Cp932.h"

#include <QString>
#include <QTranslator>

#include <algorithm>
#include <charconv>
#include <cstdio>

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

std::string FormatItems(const std::vector<std::int32_t>& items)
{
    std::string out;
    for (std::size_t i = 0; i < items.size(); ++i) {
        const auto byte = static_cast<std::uint8_t>(items[i] & 0xFF);
        out += i > 0 ? " " : "";
        if (items[i] == ItemAnyByte || items[i] == ItemAnyRun)
            out += items[i] == ItemAnyByte ? "??" : "*";
        else
            AppendHexBytes(out, &byte, 1);
    }
    return out;
}

std::vector<std::int32_t> CompileOrThrow(const AnsiString& text, bool bigEndian, bool wildcards,
                                         std::vector<std::string>* warnings)
{
    std::vector<std::int32_t> items;
    std::vector<CompileWarning> found;
    CompileError error;
    if (CompileCommand(bigEndian ? 1 : 0, text, items, wildcards, error, warnings ? &found : nullptr) < 0)
        throw CliError(BadNotation(text, error));
    for (const CompileWarning& w : found) {
        const std::string at = std::to_string(CharacterPositionOfByte(text, w.Position));
        switch (w.Kind) {
        case CompileWarningKind::UnterminatedQuote:
            warnings->push_back("unterminated quote at character " + at + ": the rest is left out");
            break;
        case CompileWarningKind::RangeNotOpened:
            warnings->push_back("range end without a start at character " + at + ": it adds nothing");
            break;
        case CompileWarningKind::RangeNotClosed:
            warnings->push_back("range started at character " + at + " is never ended: it adds nothing");
            break;
        }
    }
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

void AppendTrafficLine(std::string& out, const TTrafficRecord& record, std::string_view time, bool json,
                       std::string_view commentUtf8)
{
    const bool in = record.Kind == tkReceived || record.Kind == tkReceivedMatched;
    const std::size_t size = PayloadSize(record);
    const auto appendHex = [&] { AppendHexBytes(out, record.Data.data(), size); };
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
        if (record.Dropped)
            out += ",\"dropped\":true";
        out += ",\"comment\":\"";
        out += JsonEscape(commentUtf8);
        out += '"';
        if (!record.Fields.empty()) {
            out += ",\"fields\":{";
            for (std::size_t i = 0; i < record.Fields.size(); ++i) {
                out += i == 0 ? "\"" : ",\"";
                out += JsonEscape(record.Fields[i].first);
                out += "\":\"";
                out += JsonEscape(record.Fields[i].second);
                out += '"';
            }
            out += '}';
        }
        if (!record.Check.empty()) {
            out += ",\"check\":\"";
            out += JsonEscape(record.Check);
            out += '"';
        }
        out += '}';
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
    // The receive path writes a datagram's captures or its check note into its
    // comment, so the comment already shows them; a dropped answer says so last.
    if (!commentUtf8.empty()) {
        out += ' ';
        out += commentUtf8;
    }
    if (record.Dropped)
        out += " (dropped)";
}

std::string TrafficLine(const TTrafficRecord& record, const std::string& time, bool json)
{
    std::string line;
    AppendTrafficLine(line, record, time, json, AnsiToUtf8(record.Comment));
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
