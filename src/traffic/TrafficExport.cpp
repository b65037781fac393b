#include "traffic/TrafficExport.h"

#include "platform/CodePage.h"
#include "platform/DottedAddress.h"
#include "platform/HexText.h"

#include <algorithm>
#include <cstdio>
#include <ctime>

namespace vpx {

namespace {

// pcapng block types and option codes.
constexpr std::uint32_t kSectionHeaderBlock = 0x0A0D0D0A;
constexpr std::uint32_t kInterfaceDescriptionBlock = 0x00000001;
constexpr std::uint32_t kEnhancedPacketBlock = 0x00000006;
constexpr std::uint32_t kByteOrderMagic = 0x1A2B3C4D;
constexpr std::uint16_t kOptEnd = 0;
constexpr std::uint16_t kOptComment = 1;
constexpr std::uint16_t kOptEpbFlags = 2;
constexpr std::uint16_t kOptShbUserAppl = 4;
constexpr std::uint16_t kOptIfName = 2;
// Raw IPv4, no link-layer header.
constexpr std::uint16_t kLinkTypeIpv4 = 228;
constexpr std::uint32_t kFlagInbound = 1;
constexpr std::uint32_t kFlagOutbound = 2;

constexpr std::size_t kIpHeader = 20;
constexpr std::size_t kUdpHeader = 8;

// pcapng is written little-endian; the byte-order magic tells readers so.
void Put16(std::string& out, std::uint16_t v)
{
    out.push_back(static_cast<char>(v & 0xFF));
    out.push_back(static_cast<char>(v >> 8));
}

void Put32(std::string& out, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

void Pad32(std::string& out, std::size_t length)
{
    out.append((4 - length % 4) % 4, '\0');
}

void PutOption(std::string& out, std::uint16_t code, std::string_view value)
{
    Put16(out, code);
    Put16(out, static_cast<std::uint16_t>(value.size()));
    out.append(value);
    Pad32(out, value.size());
}

// Starts a block; FinishBlock fills in its length at both ends.
std::size_t StartBlock(std::string& out, std::uint32_t type)
{
    const std::size_t at = out.size();
    Put32(out, type);
    Put32(out, 0);
    return at;
}

void FinishBlock(std::string& out, std::size_t at)
{
    const auto length = static_cast<std::uint32_t>(out.size() - at + 4);
    Put32(out, length);
    for (int i = 0; i < 4; ++i)
        out[at + 4 + static_cast<std::size_t>(i)] = static_cast<char>((length >> (8 * i)) & 0xFF);
}

void PutBig16(std::uint8_t* at, std::uint16_t v)
{
    at[0] = static_cast<std::uint8_t>(v >> 8);
    at[1] = static_cast<std::uint8_t>(v & 0xFF);
}

void PutBig32(std::uint8_t* at, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        at[i] = static_cast<std::uint8_t>(v >> (24 - 8 * i));
}

std::uint16_t Fold(std::uint32_t sum)
{
    while (sum >> 16)
        sum = (sum & 0xFFFF) + (sum >> 16);
    return static_cast<std::uint16_t>(sum);
}

std::tm LocalTime(std::int64_t microseconds, int& fraction)
{
    std::int64_t seconds = microseconds / 1000000;
    std::int64_t rest = microseconds % 1000000;
    if (rest < 0) {
        rest += 1000000;
        --seconds;
    }
    fraction = static_cast<int>(rest);
    const auto t = static_cast<std::time_t>(seconds);
    std::tm local{};
    ::localtime_r(&t, &local);
    return local;
}

} // namespace

std::uint32_t OnesComplementSum(const std::uint8_t* bytes, std::size_t size, std::uint32_t sum)
{
    std::uint64_t total = sum;
    std::size_t i = 0;
    for (; i + 1 < size; i += 2)
        total += static_cast<std::uint32_t>(bytes[i] << 8 | bytes[i + 1]);
    if (i < size)
        total += static_cast<std::uint32_t>(bytes[i] << 8);
    while (total >> 16)
        total = (total & 0xFFFF) + (total >> 16);
    return static_cast<std::uint32_t>(total);
}

std::vector<std::uint8_t> Ipv4UdpPacket(const TTrafficRecord& record, const TrafficEndpoint& local,
                                        std::uint16_t identification)
{
    const std::size_t payload = std::min(PayloadSize(record), MaxUdpPayload);
    // A received datagram's own destination (a group, a broadcast address) where the port knew it.
    const std::string& here = record.LocalAddress.empty() ? local.Address : record.LocalAddress;
    const std::uint32_t localAddress = ParseDottedAddress(here).value_or(0);
    const std::uint32_t peerAddress = ParseDottedAddress(record.PeerAddress).value_or(0);
    const bool out = IsOutgoing(record);
    const std::uint32_t source = out ? localAddress : peerAddress;
    const std::uint32_t destination = out ? peerAddress : localAddress;
    const std::uint16_t sourcePort = out ? local.Port : record.PeerPort;
    const std::uint16_t destinationPort = out ? record.PeerPort : local.Port;

    std::vector<std::uint8_t> packet(kIpHeader + kUdpHeader + payload);
    std::uint8_t* ip = packet.data();
    ip[0] = 0x45; // version 4, five words of header
    PutBig16(ip + 2, static_cast<std::uint16_t>(packet.size()));
    PutBig16(ip + 4, identification);
    PutBig16(ip + 6, 0x4000); // don't fragment: the datagram went as one
    ip[8] = 64;
    ip[9] = 17; // UDP
    PutBig32(ip + 12, source);
    PutBig32(ip + 16, destination);
    PutBig16(ip + 10, static_cast<std::uint16_t>(~Fold(OnesComplementSum(ip, kIpHeader)) & 0xFFFF));

    std::uint8_t* udp = ip + kIpHeader;
    const auto udpLength = static_cast<std::uint16_t>(kUdpHeader + payload);
    PutBig16(udp, sourcePort);
    PutBig16(udp + 2, destinationPort);
    PutBig16(udp + 4, udpLength);
    if (payload > 0)
        std::copy_n(record.Data.data(), payload, udp + kUdpHeader);
    // The pseudo-header: both addresses, the protocol and the UDP length.
    std::uint32_t sum = (source >> 16) + (source & 0xFFFF) + (destination >> 16) + (destination & 0xFFFF) + 17 +
                        udpLength;
    sum = OnesComplementSum(udp, udpLength, sum);
    std::uint16_t checksum = static_cast<std::uint16_t>(~Fold(sum) & 0xFFFF);
    if (checksum == 0)
        checksum = 0xFFFF; // zero on the wire means "no checksum"
    PutBig16(udp + 6, checksum);
    return packet;
}

TPcapngWriter::TPcapngWriter(const TrafficEndpoint& local) : m_local(local) {}

void TPcapngWriter::AppendHeader(std::string& out) const
{
    std::size_t at = StartBlock(out, kSectionHeaderBlock);
    Put32(out, kByteOrderMagic);
    Put16(out, 1); // version 1.0
    Put16(out, 0);
    Put32(out, 0xFFFFFFFF); // section length not given
    Put32(out, 0xFFFFFFFF);
    PutOption(out, kOptShbUserAppl, "Vorpex");
    PutOption(out, kOptEnd, {});
    FinishBlock(out, at);

    at = StartBlock(out, kInterfaceDescriptionBlock);
    Put16(out, kLinkTypeIpv4);
    Put16(out, 0);
    Put32(out, 0); // no snapshot limit: every datagram whole
    PutOption(out, kOptIfName, "vorpex " + m_local.Address + ':' + std::to_string(m_local.Port));
    PutOption(out, kOptEnd, {});
    FinishBlock(out, at);
}

void TPcapngWriter::AppendPacket(std::string& out, const TTrafficRecord& record, std::string_view commentUtf8)
{
    const std::vector<std::uint8_t> packet = Ipv4UdpPacket(record, m_local, m_identification++);
    const auto time = static_cast<std::uint64_t>(record.Time);
    const std::size_t at = StartBlock(out, kEnhancedPacketBlock);
    Put32(out, 0); // the one interface
    Put32(out, static_cast<std::uint32_t>(time >> 32));
    Put32(out, static_cast<std::uint32_t>(time & 0xFFFFFFFF));
    Put32(out, static_cast<std::uint32_t>(packet.size()));
    Put32(out, static_cast<std::uint32_t>(packet.size()));
    out.append(reinterpret_cast<const char*>(packet.data()), packet.size());
    Pad32(out, packet.size());
    // An option's length is 16 bits; a longer comment is cut on a character boundary.
    std::string_view comment = commentUtf8.substr(0, 0xFFFC);
    while (comment.size() < commentUtf8.size() && !comment.empty() &&
           (static_cast<unsigned char>(commentUtf8[comment.size()]) & 0xC0) == 0x80)
        comment.remove_suffix(1);
    if (!comment.empty())
        PutOption(out, kOptComment, comment);
    std::string flags;
    Put32(flags, IsOutgoing(record) ? kFlagOutbound : kFlagInbound);
    PutOption(out, kOptEpbFlags, flags);
    PutOption(out, kOptEnd, {});
    FinishBlock(out, at);
}

std::string ExportPcapng(const std::vector<const TTrafficRecord*>& records, const TrafficEndpoint& local)
{
    TPcapngWriter writer(local);
    std::string out;
    writer.AppendHeader(out);
    // A packet capture holds what was on the wire: an answer %DROP kept off it is not.
    for (const TTrafficRecord* record : records)
        if (record && !record->Dropped)
            writer.AppendPacket(out, *record, AnsiToUtf8(record->Comment));
    return out;
}

std::string FormatLogClock(std::int64_t microseconds)
{
    int fraction = 0;
    const std::tm t = LocalTime(microseconds, fraction);
    char text[64];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d.%03d", t.tm_hour, t.tm_min, t.tm_sec, fraction / 1000);
    return text;
}

std::string FormatLogDateTime(std::int64_t microseconds)
{
    int fraction = 0;
    const std::tm t = LocalTime(microseconds, fraction);
    char text[96];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d.%06d", t.tm_year + 1900, t.tm_mon + 1, t.tm_mday,
                  t.tm_hour, t.tm_min, t.tm_sec, fraction);
    return text;
}

const std::string& DirectionText(const TTrafficRecord& record, const TrafficTextNames& names)
{
    switch (record.Kind) {
    case tkReceivedMatched: return names.ReceivedMatched;
    case tkSent: return names.Sent;
    case tkAutoReplySent: return record.Dropped ? names.AutoReplyDropped : names.AutoReplySent;
    default: return names.Received;
    }
}

std::string CsvField(std::string_view text)
{
    // A spreadsheet takes a cell that begins like this for a formula and runs it:
    // a comment someone else typed must open as the text it is.
    const bool formula = !text.empty() && std::string_view("=+-@\t\r").find(text.front()) != std::string_view::npos;
    if (!formula && text.find_first_of(",\"\r\n") == std::string_view::npos)
        return std::string(text);
    std::string quoted = formula ? "\"'" : "\"";
    for (const char c : text) {
        if (c == '"')
            quoted.push_back('"');
        quoted.push_back(c);
    }
    quoted.push_back('"');
    return quoted;
}

std::string ExportCsv(const std::vector<const TTrafficRecord*>& records, const TrafficTextNames& names)
{
    std::string out = "\xEF\xBB\xBF";
    const auto line = [&out](const std::vector<std::string>& fields) {
        for (std::size_t i = 0; i < fields.size(); ++i) {
            if (i > 0)
                out.push_back(',');
            out += CsvField(fields[i]);
        }
        out += "\r\n";
    };
    line(names.CsvHeader);
    for (const TTrafficRecord* record : records) {
        if (!record)
            continue;
        line({FormatLogDateTime(record->Time), DirectionText(*record, names), record->PeerAddress,
              std::to_string(record->PeerPort), std::to_string(PayloadSize(*record)), HexBytes(record->Data.data(), PayloadSize(*record)),
              AnsiToUtf8(record->Comment), FieldsText(*record), record->Check});
    }
    return out;
}

std::string TrafficTextLine(const TTrafficRecord& record, const TrafficTextNames& names)
{
    std::string line = FormatLogDateTime(record.Time);
    line += '\t';
    line += DirectionText(record, names);
    line += '\t';
    line += record.PeerAddress;
    line += '\t';
    line += std::to_string(record.PeerPort);
    line += '\t';
    line += std::to_string(PayloadSize(record));
    line += '\t';
    AppendHexBytes(line, record.Data.data(), PayloadSize(record));
    line += '\t';
    line += AnsiToUtf8(record.Comment);
    line += '\t';
    line += FieldsText(record);
    line += '\t';
    line += record.Check;
    return line;
}

std::string TrafficTextLines(const std::vector<const TTrafficRecord*>& records, const TrafficTextNames& names)
{
    std::string text;
    for (const TTrafficRecord* record : records) {
        if (!record)
            continue;
        text += TrafficTextLine(*record, names);
        text += '\n';
    }
    return text;
}

} // namespace vpx
