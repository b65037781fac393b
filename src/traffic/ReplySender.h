#pragma once

// How the receive handler answers: send a payload to the peer and log it, in the
// byte order a command without its own takes. The window answers through its
// send controller (the peer in its address boxes, the order its menu shows);
// the command line through a TPayloadSender of its own.

#include "platform/CodePage.h"

#include <cstdint>

namespace vpx {

class TReplySender {
public:
    virtual ~TReplySender() = default;
    // Compiles (or, in text mode, takes the bytes of) text, sends them to the peer
    // and hands the record with kind and comment to the traffic sink.
    virtual void SendPayload(std::uint8_t kind, bool textMode, std::uint8_t byteOrder, const AnsiString& text,
                             const AnsiString& comment) = 0;
    // An automatic reply to the datagram that came from fromAddress:fromPort. It
    // goes to the peer as every send does unless the sender answers senders.
    // It goes out `copies` times, each logged; a `dropped` reply (a device that
    // loses answers on purpose) does not go out and is logged once, marked dropped.
    virtual void SendReply(std::uint8_t kind, bool textMode, std::uint8_t byteOrder, const AnsiString& text,
                           const AnsiString& comment, const AnsiString& fromAddress, std::uint16_t fromPort,
                           std::uint32_t copies, bool dropped)
    {
        (void)fromAddress;
        (void)fromPort;
        if (dropped)
            return;
        for (std::uint32_t i = 0; i < copies; ++i)
            SendPayload(kind, textMode, byteOrder, text, comment);
    }
    // 0 little-endian, 1 big-endian.
    virtual int GetDefaultByteOrder() const = 0;
};

} // namespace vpx
