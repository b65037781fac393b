#include "traffic/PayloadSender.h"

#include "library/PayloadPreview.h"
#include "notation/Notation.h"
#include "traffic/TrafficSink.h"
#include "platform/WinSock.h"
#include "transport/CommUDP.h"

#include <QCoreApplication>

#include <algorithm>

namespace vpx {

TPayloadSender::TPayloadSender(TCustomUDPSock& udp, TTrafficSink& sink, AddressProvider address, PortProvider port)
    : m_udp(udp), m_sink(sink), m_address(std::move(address)), m_port(std::move(port))
{
}

void TPayloadSender::SetDefaultByteOrder(int byteOrder)
{
    if (byteOrder == 0 || byteOrder == 1)
        m_defaultByteOrder = byteOrder;
}

void TPayloadSender::SendPayload(std::uint8_t kind, bool textMode, std::uint8_t byteOrder, const AnsiString& text,
                                 const AnsiString& comment)
{
    AnsiString address = m_address();
    const std::uint16_t port = m_port();
    SendPayloadTo(kind, textMode, byteOrder, text, comment, std::move(address), port);
}

void TPayloadSender::SendReply(std::uint8_t kind, bool textMode, std::uint8_t byteOrder, const AnsiString& text,
                               const AnsiString& comment, const AnsiString& fromAddress, std::uint16_t fromPort,
                               std::uint32_t copies, bool dropped)
{
    if (m_replyToSender) {
        SendPayloadTo(kind, textMode, byteOrder, text, comment, fromAddress, fromPort, copies, dropped);
    } else {
        AnsiString address = m_address();
        const std::uint16_t port = m_port();
        SendPayloadTo(kind, textMode, byteOrder, text, comment, std::move(address), port, copies, dropped);
    }
}

void TPayloadSender::SendPayloadTo(std::uint8_t kind, bool textMode, std::uint8_t byteOrder, const AnsiString& text,
                                   const AnsiString& comment, AnsiString address, std::uint16_t port,
                                   std::uint32_t copies, bool dropped)
{
    if (text.empty() || (copies == 0 && !dropped))
        return;

    std::int32_t count;
    if (textMode) {
        count = static_cast<std::int32_t>(text.size());
    } else {
        if (!m_compiled || byteOrder != m_compiledOrder || text != m_compiledText) {
            m_compiled = false; // a compilation that raises leaves nothing to reuse
            CompileError error;
            m_compiledCount = CompileCommand(byteOrder, text, m_items, false, error, &m_warnings);
            m_refusal = m_compiledCount < 0 ? DescribeRefusal(text, error).Text : QString();
            m_warning = CompileWarningsText(text, m_warnings);
            // The bytes on the wire, kept with the items: every reply copies them whole.
            m_compiledBytes.resize(static_cast<std::size_t>(std::max(m_compiledCount, 0)));
            for (std::size_t i = 0; i < m_compiledBytes.size(); ++i)
                m_compiledBytes[i] = static_cast<std::uint8_t>(m_items[i] & 0xFF);
            m_compiledText = text;
            m_compiledOrder = byteOrder;
            m_compiled = true;
        }
        count = m_compiledCount;
        if (count < 0) {
            // Still nothing on the wire and nothing in the log, but no longer a silent mystery.
            m_noticeShown = true;
            if (OnNotice)
                OnNotice(QCoreApplication::translate("TPayloadSender", "送信しませんでした（%1）").arg(m_refusal));
            return;
        }
        if (count == 0) {
            // What the notation left out may be all there was to send.
            if (!m_warning.isEmpty()) {
                m_noticeShown = true;
                if (OnNotice)
                    OnNotice(QCoreApplication::translate("TPayloadSender", "送信しませんでした（%1）").arg(m_warning));
            }
            return;
        }
    }

    // The peer rarely changes between replies: its address is parsed again only when it does.
    const bool open = m_udp.Active();
    if (!m_peerChecked || open != m_checkedOpen || port != m_checkedPort || address != m_checkedAddress) {
        m_peerChecked = false;
        m_blockedReason = SendBlockedReason(open, address, port);
        m_checkedAddress = address;
        m_checkedPort = port;
        m_checkedOpen = open;
        m_peerChecked = true;
    }
    if (const QString& reason = m_blockedReason; !reason.isEmpty()) {
        m_noticeShown = true;
        if (OnNotice)
            OnNotice(reason);
        return;
    }

    const std::uint8_t* bytes = textMode ? reinterpret_cast<const std::uint8_t*>(text.data()) : m_compiledBytes.data();
    // A dropped reply is kept off the wire on purpose: one record says what would
    // have gone where. Every copy of a duplicated one is a datagram of its own.
    const std::uint32_t records = dropped ? 1 : copies;
    for (std::uint32_t i = 0; i < records; ++i) {
        // The record's own buffer is what goes out: one allocation per datagram.
        TrafficRecordPtr record = NewTrafficRecord(bytes, count);
        if (!dropped)
            m_udp.Send(record->Data.data(), count, AnsiString(), address, port);
        if (i == 0 && !textMode && !m_warning.isEmpty()) {
            // It went out, but not all of what was written: the status bar says what was left out.
            m_noticeShown = true;
            if (OnNotice)
                OnNotice(QCoreApplication::translate("TPayloadSender", "送信しました（警告: %1）").arg(m_warning));
        } else if (i == 0 && m_noticeShown) {
            m_noticeShown = false; // the reason shown last no longer holds
            if (OnNotice)
                OnNotice(QString());
        }
        record->Kind = kind;
        record->Comment = comment;
        record->Dropped = dropped;
        record->PeerAddress = i + 1 == records ? std::move(address) : address;
        record->PeerPort = port;
        m_sink.AddTrafficRecord(std::move(record));
    }
}

QString SendBlockedReason(bool portOpen, const AnsiString& address, std::uint16_t port)
{
    // The socket layer would refuse these with a bare "invalid argument" box.
    const bool noAddress = ws::inet_addr(address) == 0;
    if (noAddress && port == 0)
        return QCoreApplication::translate("PayloadSender", "送信先のｱﾄﾞﾚｽとﾎﾟｰﾄを設定してください");
    if (noAddress)
        return QCoreApplication::translate("PayloadSender", "送信先のｱﾄﾞﾚｽを設定してください");
    if (port == 0)
        return QCoreApplication::translate("PayloadSender", "送信先のﾎﾟｰﾄを設定してください");
    if (!portOpen)
        return QCoreApplication::translate("PayloadSender", "ﾎﾟｰﾄが閉じているため送信しませんでした");
    return QString();
}

} // namespace vpx
