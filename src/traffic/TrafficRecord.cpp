#include "traffic/TrafficRecord.h"

#include <chrono>

namespace vpx {

TrafficRecordPtr NewTrafficRecord(std::int32_t length)
{
    auto record = std::make_unique<TTrafficRecord>();
    const std::int32_t size = length < 0 ? 0 : length;
    record->Data.assign(static_cast<std::size_t>(size), 0);
    record->Length = size;
    // Made the moment a datagram is read or just before it goes out: its time.
    record->Time = WallClockMicroseconds();
    return record;
}

TrafficRecordPtr NewTrafficRecord(const std::uint8_t* bytes, std::int32_t length)
{
    auto record = std::make_unique<TTrafficRecord>();
    const std::int32_t size = length < 0 || !bytes ? 0 : length;
    record->Data.assign(bytes, bytes + size);
    record->Length = size;
    record->Time = WallClockMicroseconds();
    return record;
}

std::int64_t WallClockMicroseconds() noexcept
{
    using namespace std::chrono;
    return duration_cast<microseconds>(system_clock::now().time_since_epoch()).count();
}

std::string FieldsText(const TTrafficRecord& record)
{
    std::string text;
    for (const auto& [name, value] : record.Fields) {
        if (!text.empty())
            text += ' ';
        text += name;
        text += '=';
        text += value;
    }
    return text;
}

void FreeTrafficRecord(TrafficRecordPtr record) noexcept
{
    record.reset();
}

} // namespace vpx
