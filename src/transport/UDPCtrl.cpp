#include "transport/UDPCtrl.h"

#include "platform/HexText.h"

#include <string>

namespace vpx {

namespace {

// The arrows → and ← in code page 932.
constexpr char kRightArrow[] = "\x81\xA8";
constexpr char kLeftArrow[] = "\x81\xA9";

QByteArray Number(unsigned value)
{
    return QByteArray::number(value);
}

void Output(TCustomDebugLog& log, const QByteArray& line)
{
    log.OutputLog(reinterpret_cast<const std::uint8_t*>(line.constData()), static_cast<std::int32_t>(line.size()));
}

} // namespace

QByteArray TraceHexList(const std::uint8_t* data, std::int32_t size)
{
    QByteArray list;
    if (data == nullptr || size <= 0)
        return list;
    // "XXh" per byte and a comma between two: written in place, as a traced
    // flood formats a few thousand of these a second.
    list.resize(static_cast<qsizetype>(size) * 4 - 1);
    char* out = list.data();
    for (std::int32_t i = 0; i < size; ++i) {
        if (i > 0)
            *out++ = ',';
        *out++ = HexDigits[data[i] >> 4];
        *out++ = HexDigits[data[i] & 0x0F];
        *out++ = 'h';
    }
    return list;
}

QByteArray TracePortLine(std::uint16_t port, bool connected)
{
    return QByteArray("Port(") + Number(port) + (connected ? ") Connected" : ") Disconnected");
}

QByteArray TraceDataLine(bool send, TLogType type, const AnsiString& localAddress, std::uint16_t localPort,
                         const AnsiString& peerAddress, std::uint16_t peerPort, const std::uint8_t* data,
                         std::int32_t size)
{
    if (type != ltHexList && type != ltAscii)
        return QByteArray();
    QByteArray line(send ? "Send " : "Recv ");
    line += QByteArray::fromStdString(localAddress) + ':' + Number(localPort);
    line += ' ';
    line += send ? kRightArrow : kLeftArrow;
    line += ' ';
    line += QByteArray::fromStdString(peerAddress) + ':' + Number(peerPort) + " [";
    if (type == ltHexList)
        line += TraceHexList(data, size);
    else if (data != nullptr && size > 0)
        line.append(reinterpret_cast<const char*>(data), size);
    line += ']';
    return line;
}

TUDPControl::~TUDPControl()
{
    // Closed here rather than in the base so that the closing is traced.
    if (Active()) {
        try {
            Close();
        } catch (...) {
        }
    }
}

void TUDPControl::Open()
{
    const bool wasActive = Active();
    TCustomUDPSock::Open();
    if (!wasActive && Active() && WriteLog())
        Output(*this, TracePortLine(BoundPort(), true)); // the port in use, the system's choice for 0
}

void TUDPControl::Close()
{
    const bool wasActive = Active();
    const std::uint16_t port = BoundPort(); // Port() again once closed
    TCustomUDPSock::Close();
    if (wasActive && !Active() && WriteLog())
        Output(*this, TracePortLine(port, false));
}

std::int32_t TUDPControl::Send(const void* Buf, std::int32_t Size, const AnsiString& HostName,
                               const AnsiString& Address, std::uint16_t Port)
{
    const std::int32_t sent = TCustomUDPSock::Send(Buf, Size, HostName, Address, Port);
    if (sent > 0 && WriteLog()) {
        const QByteArray line = TraceDataLine(true, LogType(), LocalAddress(), BoundPort(), Address, Port,
                                              static_cast<const std::uint8_t*>(Buf), Size);
        if (!line.isNull())
            Output(*this, line);
    }
    return sent;
}

std::int32_t TUDPControl::Receive(void* Buf, std::int32_t Size, AnsiString& Address, std::uint16_t& Port,
                                  bool Peek)
{
    const std::int32_t read = TCustomUDPSock::Receive(Buf, Size, Address, Port, Peek);
    if (read > 0 && !Peek && Size != -1)
        TraceReceived(Buf, read, Address, Port);
    return read;
}

std::int32_t TUDPControl::ReceiveNext(void* Buf, std::int32_t Size, AnsiString& Address, std::uint16_t& Port,
                                      bool wait)
{
    // An empty datagram leaves no trace line, as it leaves none through Receive.
    const std::int32_t read = TCustomUDPSock::ReceiveNext(Buf, Size, Address, Port, wait);
    if (read > 0)
        TraceReceived(Buf, read, Address, Port);
    return read;
}

const TCustomUDPSock::TDatagram* TUDPControl::NextDatagram()
{
    const TDatagram* d = TCustomUDPSock::NextDatagram();
    if (d && d->Size > 0)
        TraceReceived(d->Data, d->Size, d->Address, d->Port);
    return d;
}

void TUDPControl::TraceReceived(const void* Buf, std::int32_t Size, const AnsiString& Address, std::uint16_t Port)
{
    if (!WriteLog())
        return;
    const QByteArray line = TraceDataLine(false, LogType(), LocalAddress(), BoundPort(), Address, Port,
                                          static_cast<const std::uint8_t*>(Buf), Size);
    if (!line.isNull())
        Output(*this, line);
}

} // namespace vpx
