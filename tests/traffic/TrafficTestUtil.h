#pragma once

#include "traffic/TrafficRecord.h"

#include <cstdint>
#include <string>
#include <vector>

namespace vpx::test {

inline TrafficRecordPtr MakeRecord(const std::vector<std::uint8_t>& bytes, std::uint8_t kind = tkReceived,
                                   const std::string& address = "192.168.1.20", std::uint16_t port = 53,
                                   const AnsiString& comment = {})
{
    TrafficRecordPtr record = NewTrafficRecord(static_cast<std::int32_t>(bytes.size()));
    record->Data = bytes;
    record->Kind = kind;
    record->PeerAddress = address;
    record->PeerPort = port;
    record->Comment = comment;
    return record;
}

inline std::vector<std::uint8_t> Counting(int n)
{
    std::vector<std::uint8_t> bytes;
    for (int i = 0; i < n; ++i)
        bytes.push_back(static_cast<std::uint8_t>(i));
    return bytes;
}

} // namespace vpx::test
