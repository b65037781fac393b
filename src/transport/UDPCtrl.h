#pragma once

// The UDP endpoint the program uses: TCustomUDPSock plus a trace of the port's
// activity (opening, closing, every datagram sent or read) while WriteLog is on.

#include "transport/CommUDP.h"

#include <QByteArray>

#include <cstdint>

namespace vpx {

class TUDPControl : public TCustomUDPSock {
public:
    TUDPControl() = default;
    ~TUDPControl() override;

    void Open() override;
    void Close() override;
    std::int32_t Send(const void* Buf, std::int32_t Size, const AnsiString& HostName, const AnsiString& Address,
                      std::uint16_t Port) override;
    std::int32_t Receive(void* Buf, std::int32_t Size, AnsiString& Address, std::uint16_t& Port,
                         bool Peek) override;
    std::int32_t ReceiveNext(void* Buf, std::int32_t Size, AnsiString& Address, std::uint16_t& Port,
                             bool wait = false) override;
    // Traced as it is handed out, so a reply's line still follows its request's.
    const TDatagram* NextDatagram() override;

private:
    void TraceReceived(const void* Buf, std::int32_t Size, const AnsiString& Address, std::uint16_t Port);
};

// Trace line contents (without time stamp and line end), in code page 932.
// "01h,0Ah,FFh" for the bytes 01 0A FF.
QByteArray TraceHexList(const std::uint8_t* data, std::int32_t size);
QByteArray TracePortLine(std::uint16_t port, bool connected);
// `send` chooses "Send … → …" or "Recv … ← …"; null when `type` is neither form.
QByteArray TraceDataLine(bool send, TLogType type, const AnsiString& localAddress, std::uint16_t localPort,
                         const AnsiString& peerAddress, std::uint16_t peerPort, const std::uint8_t* data,
                         std::int32_t size);

} // namespace vpx
