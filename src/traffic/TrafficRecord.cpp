#include "traffic/TrafficRecord.h"

namespace vpx {

TrafficRecordPtr NewTrafficRecord(std::int32_t length)
{
    auto record = std::make_unique<TTrafficRecord>();
    const std::int32_t size = length < 0 ? 0 : length;
    record->Data.assign(static_cast<std::size_t>(size), 0);
    record->Length = size;
    return record;
}

void FreeTrafficRecord(TrafficRecordPtr record) noexcept
{
    record.reset();
}

} // namespace vpx
