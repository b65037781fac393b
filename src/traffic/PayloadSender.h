#pragma once

// The send logic without a window: compile the notation (once for a text sent
// again and again, as an auto-reply row is under a flood), put the bytes on the
// wire to the peer the providers name at that moment, and hand the record to
// the sink.

#include "notation/Notation.h"
#include "traffic/ReplySender.h"

#include <QString>

#include <functional>
#include <vector>

namespace vpx {

class TCustomUDPSock;
class TTrafficSink;

class TPayloadSender : public TReplySender {
public:
    // Read at the moment of every send. Either may raise, which leaves the send.
    using AddressProvider = std::function<AnsiString()>;
    using PortProvider = std::function<std::uint16_t()>;

    // Every reference must outlive this object.
    TPayloadSender(TCustomUDPSock& udp, TTrafficSink& sink, AddressProvider address, PortProvider port);

    // A text that yields no bytes sends and logs nothing. Nothing goes out and
    // nothing is logged while the port is closed or the peer is not set; OnNotice
    // then says why. A socket failure leaves by exception, unlogged.
    void SendPayload(std::uint8_t kind, bool textMode, std::uint8_t byteOrder, const AnsiString& text,
                     const AnsiString& comment) override;

    // As SendPayload, to address:port instead of the providers' peer.
    // `copies` datagrams go out, each logged; with `dropped`, none goes out and
    // one record, marked Dropped, says what would have.
    void SendPayloadTo(std::uint8_t kind, bool textMode, std::uint8_t byteOrder, const AnsiString& text,
                       const AnsiString& comment, AnsiString address, std::uint16_t port, std::uint32_t copies = 1,
                       bool dropped = false);
    // To the datagram's sender while ReplyToSender is on, else to the peer.
    void SendReply(std::uint8_t kind, bool textMode, std::uint8_t byteOrder, const AnsiString& text,
                   const AnsiString& comment, const AnsiString& fromAddress, std::uint16_t fromPort,
                   std::uint32_t copies, bool dropped) override;
    bool ReplyToSender() const noexcept { return m_replyToSender; }
    void SetReplyToSender(bool on) noexcept { m_replyToSender = on; }

    int GetDefaultByteOrder() const override { return m_defaultByteOrder; }
    // 0 little-endian, 1 big-endian. Other values leave the state as it is.
    void SetDefaultByteOrder(int byteOrder);

    // A one-line notice for the status bar: why a send did not go out, what a
    // send that went out left out of its notation, or an empty text once a later
    // send went out whole.
    std::function<void(const QString&)> OnNotice;

private:
    TCustomUDPSock& m_udp;
    TTrafficSink& m_sink;
    AddressProvider m_address;
    PortProvider m_port;
    int m_defaultByteOrder = 0;
    bool m_replyToSender = false;
    std::vector<std::int32_t> m_items; // reused: replies under a flood allocate nothing here
    // The text m_items was compiled from: an auto-reply row sends the same reply
    // for every datagram it answers, which is compiled once.
    AnsiString m_compiledText;
    std::uint8_t m_compiledOrder = 0;
    std::int32_t m_compiledCount = 0;
    std::vector<std::uint8_t> m_compiledBytes;
    QString m_refusal; // why m_compiledText does not compile, for the notice
    std::vector<CompileWarning> m_warnings;
    QString m_warning; // what m_compiledText leaves out, for the notice
    bool m_compiled = false;
    bool m_noticeShown = false;
    // SendBlockedReason for the peer and port state it was last asked about.
    AnsiString m_checkedAddress;
    std::uint16_t m_checkedPort = 0;
    bool m_checkedOpen = false;
    bool m_peerChecked = false;
    QString m_blockedReason;
};

// Why a datagram cannot go out, in the words of the status bar; empty when it can.
// The unset peer (0.0.0.0 or port 0) comes first: it is what a first start lacks.
QString SendBlockedReason(bool portOpen, const AnsiString& address, std::uint16_t port);

} // namespace vpx
