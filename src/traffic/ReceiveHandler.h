#pragma once

// The handler of the UDP component's receive event: reads the datagram, logs it
// (matched or not, with what the row captured or why the nearest row refused
// it) and answers with the first matching enabled auto-reply row's reply, its
// captures and counter filled in and its fault keywords honoured.

#include "library/CommandFind.h"
#include "notation/ReplyTemplate.h"
#include "traffic/AutoReplyTable.h"
#include "traffic/TrafficRecord.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace vpx {

class CommandTree;
class TAutoReplySource;
class TCustomUDPSock;
class TReplySender;
class TTrafficSink;

class TReceiveHandler {
public:
    using Clock = std::chrono::steady_clock;

    // `tree` is the command tree lookup rows search. All must outlive the handler.
    TReceiveHandler(TAutoReplySource& autoReply, TReplySender& sender, TTrafficSink& log, const CommandTree& tree);

    // TCustomUDPSock::OnReceive: Size is the number of bytes waiting.
    void UDPControlReceive(TCustomUDPSock& Sender, std::int32_t Size);

    // For a caller that reads the socket itself: handles one datagram already
    // read, exactly as one read here would be. An empty datagram is dropped, as
    // the component drops it. `Destination` as TCustomUDPSock::LastDestination.
    void DatagramReceived(const std::uint8_t* Data, std::int32_t Size, const AnsiString& Address,
                          std::uint16_t Port, const AnsiString& Destination = AnsiString());

    // Replies a %DELAY holds back. Reception goes on meanwhile: whoever drives
    // the handler (the window's timer, the command line's read loop) asks how
    // long the first may wait and sends those due.
    bool HasHeldReplies() const noexcept { return !m_held.empty(); }
    // Milliseconds until the first held reply is due, 0 when one is due; -1 when none is held.
    int MsUntilHeldReply(Clock::time_point now = Clock::now()) const;
    // Sends the held replies due by `now`, in the order they fall due (and for
    // the same moment, in the order they were made). One whose send fails
    // leaves by exception and is not tried again; the rest stay held.
    void SendDueReplies(Clock::time_point now = Clock::now());
    // Forgets the held replies, for a port that closes.
    void DiscardHeldReplies() noexcept { m_held.clear(); }
    // Called each time a reply is held back, for a driver that arms a timer.
    std::function<void()> OnReplyHeld;

    // Datagrams read per receive event at most (the one announced and those waiting behind it).
    static constexpr int BatchLimit = 64;

private:
    struct THeldReply {
        Clock::time_point Due;
        std::uint64_t Order = 0;
        bool TextMode = false;
        std::uint8_t ByteOrder = 0;
        AnsiString Text;
        AnsiString Comment;
        AnsiString FromAddress;
        std::uint16_t FromPort = 0;
        std::uint32_t Copies = 1;
        bool Dropped = false;
    };
    // A lookup row's command compiled as a template against that row's captures,
    // kept while the row's pattern, the command and its byte order stay the same.
    struct TLookupTemplate {
        std::shared_ptr<const TCheckedPattern> Checked;
        AnsiString Text;
        std::uint8_t ByteOrder = 0;
        bool Compiled = false;
        TReplyTemplate Reply;
    };

    // The heap's order: the later due (or, at the same moment, the later made) sinks.
    static bool DueLater(const THeldReply& a, const THeldReply& b) noexcept;
    void ReceiveOne(TCustomUDPSock& Sender, std::int32_t Size);
    void MatchLogReply(TrafficRecordPtr record);
    void Answer(int index, const TReplyTemplate* reply, bool textMode, std::uint8_t byteOrder, const AnsiString& text,
                const AnsiString& comment, const AnsiString& fromAddress, std::uint16_t fromPort);
    const TReplyTemplate* LookupTemplate(int index, const TAutoReplyRow& row, const AnsiString& text,
                                         std::uint8_t byteOrder);

    TAutoReplySource& m_autoReply;
    TReplySender& m_sender;
    TTrafficSink& m_log;
    const CommandTree& m_tree;
    CommandNameLookup m_lookup;
    TAutoReplyHit m_hit; // reused for every datagram: matching allocates nothing once warmed up
    std::vector<TLookupTemplate> m_lookupTemplates; // by row index
    std::vector<THeldReply> m_held;                 // a heap: the first due on top
    std::uint64_t m_heldCount = 0;
};

} // namespace vpx
