#include "traffic/ReceiveHandler.h"

#include "library/CommandFind.h"
#include "traffic/AutoReplySource.h"
#include "traffic/AutoReplyTable.h"
#include "traffic/ReplySender.h"
#include "traffic/TrafficSink.h"
#include "transport/CommUDP.h"

#include <algorithm>

namespace vpx {

TReceiveHandler::TReceiveHandler(TAutoReplySource& autoReply, TReplySender& sender, TTrafficSink& log,
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
        if (table.FindMatch(record->Data.data(), record->Data.size(), m_hit)) {
            row = m_hit.Row;
            record->Kind = tkReceivedMatched;
            record->Comment = row->ReceiveComment;
            // Only a row with captures costs more than its comment.
            if (!m_hit.Match.Captures.empty()) {
                record->Fields.reserve(m_hit.Match.Captures.size());
                for (const TCapture& capture : m_hit.Match.Captures)
                    record->Fields.emplace_back(std::string(capture.Name), CaptureValueText(m_hit.Match, capture));
                if (!record->Comment.empty())
                    record->Comment += ' ';
                record->Comment += FieldsText(*record);
            }
        } else if (m_hit.NearRow) {
            // Unmatched, but the user wants to know it was only the check.
            record->Check = m_hit.Match.Note.Text();
            record->Comment = record->Check;
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

    const int index = m_hit.Index;
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
        // A text-mode command goes out as it stands; a notation is a template of the row's captures.
        const TReplyTemplate* reply = info.Mode != 0 ? nullptr : LookupTemplate(index, *row, info.Command, byteOrder);
        Answer(index, reply, info.Mode != 0, byteOrder, info.Command, node->Name(), fromAddress, fromPort);
    } else {
        if (row->SendData.empty())
            return;
        // A reply that never compiled goes to the sender as written, which says why it does not go out.
        Answer(index, row->ReplyCompiled ? &row->Reply : nullptr, false, 0, row->SendData, row->SendComment,
               fromAddress, fromPort);
    }
}

const TReplyTemplate* TReceiveHandler::LookupTemplate(int index, const TAutoReplyRow& row, const AnsiString& text,
                                                      std::uint8_t byteOrder)
{
    if (m_lookupTemplates.size() <= static_cast<std::size_t>(index))
        m_lookupTemplates.resize(static_cast<std::size_t>(index) + 1);
    TLookupTemplate& entry = m_lookupTemplates[static_cast<std::size_t>(index)];
    if (entry.Checked != row.Checked || entry.ByteOrder != byteOrder || entry.Text != text) {
        CompileError error;
        entry.Compiled = entry.Reply.Compile(text, byteOrder, row.Captures(), error);
        entry.Checked = row.Checked;
        entry.Text = text;
        entry.ByteOrder = byteOrder;
    }
    // A command that does not compile as a template is sent as written: the sender says why it does not go out.
    return entry.Compiled ? &entry.Reply : nullptr;
}

void TReceiveHandler::Answer(int index, const TReplyTemplate* reply, bool textMode, std::uint8_t byteOrder,
                             const AnsiString& text, const AnsiString& comment, const AnsiString& fromAddress,
                             std::uint16_t fromPort)
{
    static const TReplyFaults kNoFaults;
    const TReplyFaults& faults = reply ? reply->Faults() : kNoFaults;
    const TAutoReplyAnswer answer = m_autoReply.NextAnswer(index, faults);
    // A reply without inserts or faults is its own text: the sender compiles it once for every answer.
    const bool fill = reply && (reply->HasInserts() || faults != kNoFaults);
    if (faults.DelayMs == 0) {
        if (fill)
            m_sender.SendReply(tkAutoReplySent, textMode, byteOrder, reply->FillText(&m_hit.Match, answer.Counter),
                               comment, fromAddress, fromPort, faults.Copies, answer.Dropped);
        else
            m_sender.SendReply(tkAutoReplySent, textMode, byteOrder, text, comment, fromAddress, fromPort, 1,
                               answer.Dropped);
        return;
    }
    THeldReply held;
    held.Due = Clock::now() + std::chrono::milliseconds(faults.DelayMs);
    held.Order = m_heldCount++;
    held.TextMode = textMode;
    held.ByteOrder = byteOrder;
    held.Text = fill ? reply->FillText(&m_hit.Match, answer.Counter) : text;
    held.Comment = comment;
    held.FromAddress = fromAddress;
    held.FromPort = fromPort;
    held.Copies = faults.Copies;
    held.Dropped = answer.Dropped;
    m_held.push_back(std::move(held));
    std::push_heap(m_held.begin(), m_held.end(), DueLater);
    if (OnReplyHeld)
        OnReplyHeld();
}

bool TReceiveHandler::DueLater(const THeldReply& a, const THeldReply& b) noexcept
{
    return a.Due != b.Due ? a.Due > b.Due : a.Order > b.Order;
}

int TReceiveHandler::MsUntilHeldReply(Clock::time_point now) const
{
    if (m_held.empty())
        return -1;
    const auto left = m_held.front().Due - now;
    if (left <= Clock::duration::zero())
        return 0;
    // Rounded up: a driver that waits this long finds the reply due.
    return static_cast<int>(std::chrono::ceil<std::chrono::milliseconds>(left).count());
}

void TReceiveHandler::SendDueReplies(Clock::time_point now)
{
    while (!m_held.empty() && m_held.front().Due <= now) {
        std::pop_heap(m_held.begin(), m_held.end(), DueLater);
        const THeldReply held = std::move(m_held.back());
        m_held.pop_back();
        m_sender.SendReply(tkAutoReplySent, held.TextMode, held.ByteOrder, held.Text, held.Comment, held.FromAddress,
                           held.FromPort, held.Copies, held.Dropped);
    }
}

} // namespace vpx
