#pragma once

// Where the engine hands every datagram it sent or received: the window's
// traffic log, or the command line's printer. The sink owns the record from then on.

#include "traffic/TrafficRecord.h"

namespace vpx {

class TTrafficSink {
public:
    virtual ~TTrafficSink() = default;
    virtual void AddTrafficRecord(TrafficRecordPtr record) = 0;
};

} // namespace vpx
