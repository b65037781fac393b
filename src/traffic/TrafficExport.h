#pragma once

// The traffic log in forms other programs read: a packet capture (pcapng) that
// packet analysers open next to a capture from the wire, and CSV for
// spreadsheets; and the text line shared by the CSV and the clipboard.
// Plain C++ over the records; comments are turned into UTF-8 at this edge.

#include "traffic/TrafficRecord.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vpx {

// This end of the traffic: the address and port the program's socket is bound to.
struct TrafficEndpoint {
    std::string Address; // dotted IPv4
    std::uint16_t Port = 0;
};

// The largest UDP payload an IPv4 packet carries: 65,535 - 20 - 8.
inline constexpr std::size_t MaxUdpPayload = 65507;

// The ones' complement sum of 16-bit big-endian words (RFC 1071) over `bytes`,
// started from `sum`, folded but not inverted. An odd last byte is padded with zero.
std::uint32_t OnesComplementSum(const std::uint8_t* bytes, std::size_t size, std::uint32_t sum = 0);

// Whether the record went out (sent or auto-reply) rather than came in.
inline bool IsOutgoing(const TTrafficRecord& record) noexcept
{
    return record.Kind == tkSent || record.Kind == tkAutoReplySent;
}

// The IPv4 packet a record travelled in: a 20-byte header (no options, don't
// fragment, TTL 64), the UDP header and the payload, both checksums filled in.
// Incoming records run from the peer to `local` (to the record's LocalAddress
// where it has one), outgoing ones the other way.
// A payload longer than MaxUdpPayload is cut there.
std::vector<std::uint8_t> Ipv4UdpPacket(const TTrafficRecord& record, const TrafficEndpoint& local,
                                        std::uint16_t identification);

// Writes pcapng: one section with one raw-IPv4 interface, then one enhanced
// packet block per record, time stamped in microseconds, with the direction in
// the block's flags and the record's comment (as UTF-8) as the packet comment.
// Blocks are appended to a string so a caller can stream them to a file.
class TPcapngWriter {
public:
    explicit TPcapngWriter(const TrafficEndpoint& local);

    // The section header and interface description: the start of every file.
    void AppendHeader(std::string& out) const;
    // One packet. `commentUtf8` empty: no comment option.
    void AppendPacket(std::string& out, const TTrafficRecord& record, std::string_view commentUtf8);

private:
    TrafficEndpoint m_local;
    std::uint16_t m_identification = 0;
};

// A whole pcapng file of the records, in order, but for dropped answers (never on the wire).
std::string ExportPcapng(const std::vector<const TTrafficRecord*>& records, const TrafficEndpoint& local);

// The words the text forms use; the window passes its translations.
struct TrafficTextNames {
    std::string Received = "受信";
    std::string ReceivedMatched = "受信(一致)";
    std::string Sent = "送信";
    std::string AutoReplySent = "自動返信";
    std::string AutoReplyDropped = "自動返信(破棄)"; // an answer %DROP kept off the wire
    // CSV header fields: time, direction, address, port, length, data, comment,
    // then a received datagram's captures ("reg=7 seq=12") and its check note.
    // The last two came later: they stay last, so older readers find every column where it was.
    std::vector<std::string> CsvHeader = {"時刻", "方向", "アドレス", "ポート", "長さ", "データ", "コメント",
                                          "取り込み値", "チェック"};
};

// "HH:MM:SS.mmm" of a record's time in the local time zone (the log's time column).
std::string FormatLogClock(std::int64_t microseconds);
// "YYYY-MM-DD HH:MM:SS.uuuuuu" in the local time zone: every digit the record holds.
std::string FormatLogDateTime(std::int64_t microseconds);
// The word for the record's kind.
const std::string& DirectionText(const TTrafficRecord& record, const TrafficTextNames& names);

// CSV (RFC 4180, CR LF line ends) in UTF-8 with a byte-order mark, so that
// spreadsheet programs on Japanese systems read it as UTF-8: a header line,
// then time, direction, address, port, length, hex bytes, comment, captures
// and check note per record.
std::string ExportCsv(const std::vector<const TTrafficRecord*>& records, const TrafficTextNames& names = {});

// A field as CSV writes it: quoted when it holds a comma, a quote or a line end,
// and quoted behind an apostrophe when a spreadsheet would take it for a formula.
std::string CsvField(std::string_view text);

// The clipboard's line for a record: the CSV's fields (time, direction, address,
// port, length, hex, comment, captures, check), tab-separated, so that it pastes into the same columns.
std::string TrafficTextLine(const TTrafficRecord& record, const TrafficTextNames& names = {});
// One line per record, each ended by a line feed.
std::string TrafficTextLines(const std::vector<const TTrafficRecord*>& records, const TrafficTextNames& names = {});

} // namespace vpx
