#pragma once

// The handler of the UDP component's receive event: reads the datagram, logs it
// (matched or not) and sends the first matching enabled auto-reply row's reply.

#include "library/CommandFind.h"
#include "traffic/TrafficRecord.h"

#include <cstdint>
#include <vector>

namespace vpx {

class CommandTree;
class TAutoReplySource;
class TCustomUDPSock;
class TReplySender;
class TTrafficSink;

class TReceiveHandler {
public:
    // `tree` is the command tree lookup rows search. All must outlive the handler.
    TReceiveHandler(const TAutoReplySource& autoReply, TReplySender& sender, TTrafficSink& log,
                    const CommandTree& tree);

    // TCustomUDPSock::OnReceive: Size is the number of bytes waiting.
    void UDPControlReceive(TCustomUDPSock& Sender, std::int32_t Size);

    // For a caller that reads the socket itself: handles one datagram already
    // read, exactly as one read here would be. An empty datagram is dropped, as
    // the component drops it. `Destination` as TCustomUDPSock::LastDestination.
    void DatagramReceived(const std::uint8_t* Data, std::int32_t Size, const AnsiString& Address,
                          std::uint16_t Port, const AnsiString& Destination = AnsiString());

    // Datagrams read per receive event at most (the one announced and those waiting behind it).
    static constexpr int BatchLimit = 64;

private:
    void ReceiveOne(TCustomUDPSock& Sender, std::int32_t Size);
    void MatchLogReply(TrafficRecordPtr record);

    const TAutoReplySource& m_autoReply;
    TReplySender& m_sender;
    TTrafficSink& m_log;
    const CommandTree& m_tree;
    CommandNameLookup m_lookup;
};

} // namespace vpx
