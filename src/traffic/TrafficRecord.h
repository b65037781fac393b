#pragma once

// One logged datagram: its bytes exactly as sent or received, who the peer
// was and why it was logged. The record owns its bytes and texts.

#include "platform/CodePage.h"

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace vpx {

enum TTrafficKind : std::uint8_t {
    tkReceived = 0,        // received, no auto-reply row matched
    tkReceivedMatched = 1, // received and matched an enabled auto-reply row
    tkSent = 2,            // sent by the user
    tkAutoReplySent = 3,   // the automatic reply to a matched datagram
};

struct TTrafficRecord {
    std::vector<std::uint8_t> Data; // the payload
    std::int32_t Length = 0;        // bytes in Data
    std::uint8_t Kind = tkReceived; // a TTrafficKind
    AnsiString Comment;             // code page 932; may be empty
    std::string PeerAddress;        // dotted IPv4
    std::uint16_t PeerPort = 0;
    // Where a received datagram was sent when that is not simply this port's
    // address (a group, a broadcast address, one of the host's addresses for a
    // port on every address); empty otherwise.
    std::string LocalAddress;
    // Wall-clock time the datagram was sent or received: microseconds since
    // 1970-01-01 00:00 UTC. Set when the record is made.
    std::int64_t Time = 0;
    // A received datagram that matched a row with captures: each capture's name
    // and value as the log writes it ("reg", "7"), in the row's order. Empty for
    // every other record, which therefore costs no allocation for it.
    std::vector<std::pair<std::string, std::string>> Fields;
    // A received datagram that fitted the nearest row but for a checked field:
    // "CRC-16/MODBUS: 12 34 received, C5 CD expected".
    std::string Check;
    // tkAutoReplySent only: an answer that %DROP kept off the wire. Its bytes are
    // what would have gone out, to the peer it would have gone to.
    bool Dropped = false;
};

// "reg=7 seq=12": a record's fields as the log and the exports write them.
std::string FieldsText(const TTrafficRecord& record);

using TrafficRecordPtr = std::unique_ptr<TTrafficRecord>;

// A record with `length` zero bytes (a negative length counts as 0), stamped
// with the current time; the caller fills in the payload and the other fields.
TrafficRecordPtr NewTrafficRecord(std::int32_t length);
// A record holding a copy of `length` bytes, stamped as above: the bytes are
// written once, not zeroed first.
TrafficRecordPtr NewTrafficRecord(const std::uint8_t* bytes, std::int32_t length);

// The wall clock in microseconds since 1970-01-01 00:00 UTC.
std::int64_t WallClockMicroseconds() noexcept;

// Releases a record; given none, does nothing.
void FreeTrafficRecord(TrafficRecordPtr record) noexcept;

// The bytes of a record that may be read: never more than Data holds, whatever Length says.
inline std::size_t PayloadSize(const TTrafficRecord& record) noexcept
{
    const auto length = record.Length < 0 ? std::size_t{0} : static_cast<std::size_t>(record.Length);
    return length < record.Data.size() ? length : record.Data.size();
}

} // namespace vpx
