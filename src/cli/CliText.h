#pragma once

// The command line's texts and argument values: endpoints, compiled bytes as
// hex, the per-datagram line (plain or JSON) and the one-line errors. Plain C++
// over the engine's types so the rules are checked without a socket.

#include "notation/Notation.h"
#include "platform/CodePage.h"
#include "platform/DottedAddress.h"
#include "traffic/TrafficRecord.h"

#include <cstdint>
#include <ctime>
#include <limits>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace vpx::cli {

// A failure the command reports in one line on standard error and ends with `exitCode`.
class CliError : public std::runtime_error {
public:
    CliError(const std::string& message, int exitCode = 2) : std::runtime_error(message), m_exitCode(exitCode) {}
    int ExitCode() const noexcept { return m_exitCode; }

private:
    int m_exitCode;
};

struct Endpoint {
    std::string address; // dotted IPv4; empty for "the local address the window uses"
    std::uint16_t port = 0;
};

// "ADDR:PORT" with a dotted IPv4 address (IsDottedAddress) and a port 1..65535.
std::optional<Endpoint> ParseEndpoint(std::string_view text);
// "[ADDR:]PORT" with a port 0..65535 (0 lets the system choose).
std::optional<Endpoint> ParseLocalEndpoint(std::string_view text);
// A port 0..65535 in decimal.
std::optional<std::uint16_t> ParsePort(std::string_view text);
// A whole decimal number within [lo, hi].
std::optional<long long> ParseCount(std::string_view text, long long lo, long long hi);

// Compiled items as upper-case two-digit hex separated by single spaces; "??" for
// one any-byte, "*" for an any-run.
std::string FormatItems(const std::vector<std::int32_t>& items);

// The bytes of an argument that goes on the wire or names a command: text in
// UTF-8 becomes code page 932, every character exactly; an argument that is not
// UTF-8 but is code page 932 (as a Japanese terminal hands it over) is taken as
// it stands. CliError (exit 2) naming `name` and the character code page 932 has
// no form for, or the byte (counted from 1) where neither reading holds.
AnsiString ArgumentBytes(std::string_view name, std::string_view argument);

// Compiles code page 932 notation; CliError (exit 2) as BadNotation says.
// `warnings`, when given, receives a line for each part of the text the bytes
// leave out ("unterminated quote at character 4: ...").
std::vector<std::int32_t> CompileOrThrow(const AnsiString& text, bool bigEndian, bool wildcards,
                                         std::vector<std::string>* warnings = nullptr);

// "bad notation at character C<where>: REASON" for what the compiler said of
// `text`: C counts its characters from 1, REASON is the window's (in English).
std::string BadNotation(const AnsiString& text, const CompileError& error, std::string_view where = {});

// "2026-12-08T19:30:01.123+09:00": local time with milliseconds and the offset.
std::string IsoLocalTime(const std::timespec& when);

// One line per datagram (without the line end). In: ">", out: "<".
//   TIME > ADDR:PORT [01 02 03] comment
//   {"time":"…","dir":"in","address":"…","port":N,"length":N,"hex":"01 02 03","matched":true,"comment":"…"}
// The comment (code page 932) is written as UTF-8. A record's captures follow
// the comment in JSON as "fields":{"reg":"7",...}, its check note as "check":"…";
// a dropped answer has "dropped":true before the comment, " (dropped)" after it
// in the plain line.
std::string TrafficLine(const TTrafficRecord& record, const std::string& time, bool json);

// The same line appended to `out`, with the comment already as UTF-8: what a
// responder under a flood uses, so that a line costs no allocation.
void AppendTrafficLine(std::string& out, const TTrafficRecord& record, std::string_view time, bool json,
                       std::string_view commentUtf8);

// The time stamp of IsoLocalTime for a record's time (microseconds since
// 1970), made afresh only when the second changes: a line then shows the very
// time its record (and a capture of it) carries.
class TimeStamper {
public:
    const std::string& At(std::int64_t microseconds);

private:
    std::int64_t m_second = std::numeric_limits<std::int64_t>::min();
    std::string m_stamp;
};

// JSON string contents for UTF-8 text.
std::string JsonEscape(std::string_view utf8);

} // namespace vpx::cli
