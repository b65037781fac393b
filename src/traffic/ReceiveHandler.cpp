#include "traffic/ReceiveHandler.h"

#include "library/CommandFind.h"
#include "traffic/AutoReplySource.h"
#include "traffic/AutoReplyTable.h"
#include "traffic/ReplySender.h"
#include "traffic/TrafficSink.h"
#include "transport/CommUDP.h"

#include <algorithm>

namespace vpx {

TReceiveHandler::TReceiveHandler(const TAutoReplySource& autoReply, TReplySender& sender, TTrafficSink& log,
                                 const CommandTree& tree)
    : m_autoReply(autoReply), m_sender(sender), m_log(log), m_tree(tree)
{
}

void TReceiveHandler::UDPControlReceive(TCustomUDPSock& Sender, std::int32_t Size)
{
    if (Size <= 0)
        return;
    ReceiveOne(Sender, Size);
    // Each notification costs a hand-over between threads; under a flood the
    // socket's queue would overflow while the watcher waits for its turn. So the
    // datagrams already waiting are taken in now, many to a system call, a
    // bounded number per event so that painting and user input keep their turn.
    // Every one fetched is handled before the next fetch.
    int taken = 1;
    while (taken < BatchLimit && Sender.FetchDatagrams(BatchLimit - taken) > 0) {
        while (const TCustomUDPSock::TDatagram* d = Sender.NextDatagram()) {
            ++taken;
            DatagramReceived(d->Data, d->Size, d->Address, d->Port, d->Destination);
        }
    }
}

void TReceiveHandler::ReceiveOne(TCustomUDPSock& Sender, std::int32_t Size)
{
    // The datagram is read straight into the record that will hold it.
    TrafficRecordPtr record = NewTrafficRecord(Size);
    std::uint16_t port = 0;
    const std::int32_t n = Sender.Receive(record->Data.data(), Size, record->PeerAddress, port, false);
    if (n <= 0)
        return;
    if (n < Size) {
        record->Data.resize(static_cast<std::size_t>(n));
        record->Length = n;
    }
    record->PeerPort = port;
    record->LocalAddress = Sender.LastDestination();
    MatchLogReply(std::move(record));
}

void TReceiveHandler::DatagramReceived(const std::uint8_t* Data, std::int32_t Size, const AnsiString& Address,
                                       std::uint16_t Port, const AnsiString& Destination)
{
    if (Size <= 0)
        return;
    TrafficRecordPtr record = NewTrafficRecord(Data, Size);
    record->PeerAddress = Address;
    record->PeerPort = Port;
    record->LocalAddress = Destination;
    MatchLogReply(std::move(record));
}

void TReceiveHandler::MatchLogReply(TrafficRecordPtr record)
{
    record->Kind = tkReceived;
    const TAutoReplyRow* row = nullptr;
    const TAutoReplyTable& table = m_autoReply.Table();
    if (m_autoReply.IsAutoReplyOn() && !table.Empty()) {
        // Matched on the bytes as read: widening each to an item first would cost more than the match.
        row = table.FindMatchingRow(record->Data.data(), record->Data.size());
        if (row) {
            record->Comment = row->ReceiveComment;
            record->Kind = tkReceivedMatched;
        }
    }

    if (!row) {
        m_log.AddTrafficRecord(std::move(record));
        return;
    }
    // Kept for a reply that answers whoever sent the datagram.
    const AnsiString fromAddress = record->PeerAddress;
    const std::uint16_t fromPort = record->PeerPort;
    m_log.AddTrafficRecord(std::move(record));

    if (row->RowType == rtLookup) {
        if (row->SendComment.empty())
            return;
        const CommandNode* node = m_lookup.Find(m_tree, row->SendComment);
        if (!node || node->Info()->Command.empty())
            return;
        const TCommandInfo& info = *node->Info();
        const std::uint8_t byteOrder = info.ByteOrder != -1
                                           ? static_cast<std::uint8_t>(info.ByteOrder & 0xFF)
                                           : static_cast<std::uint8_t>(m_sender.GetDefaultByteOrder());
        m_sender.SendReply(tkAutoReplySent, info.Mode != 0, byteOrder, info.Command, node->Name(), fromAddress,
                           fromPort);
    } else {
        if (row->SendData.empty())
            return;
        m_sender.SendReply(tkAutoReplySent, false, 0, row->SendData, row->SendComment, fromAddress, fromPort);
    }
}

} // namespace vpx
