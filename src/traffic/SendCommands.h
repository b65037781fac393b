#pragma once

// Everything that puts a datagram on the wire: SendPayload, the direct-input box
// with its history (Enter and ActionSend), sending the selected command, the send
// mode for direct input and the default byte order. The window creates the
// widgets and actions; this class drives them.

#include "platform/CodePage.h"
#include "traffic/CommandHistory.h"
#include "traffic/PayloadSender.h"
#include "traffic/ReplySender.h"

#include <QObject>
#include <QPointer>

#include <cstdint>
#include <functional>
#include <vector>

class QAction;
class QComboBox;
class QLabel;

namespace vpx {

class CommandNode;
class TPreviewLine;
class TCustomUDPSock;
class TTrafficSink;
class UserPrompts;

class TSendCommands : public QObject, public TReplySender {
    Q_OBJECT

public:
    struct Controls {
        QComboBox* cboCommand = nullptr;
        QAction* ActionSend = nullptr;
        QAction* ActionSendSelected = nullptr;
        QAction* ActionMix = nullptr; // ActionMix and ActionText: the send mode of direct input
        QAction* ActionText = nullptr;
        QAction* ActionLittleEndian = nullptr; // the default byte order
        QAction* ActionBigEndian = nullptr;
        // Optional: the line under the box that shows what the box will send.
        QLabel* Preview = nullptr;
    };
    // Read at the moment of every send: the tool bar's address box (dotted text)
    // and port box. Either may raise the boxes' range error, which leaves the send.
    using AddressProvider = TPayloadSender::AddressProvider;
    using PortProvider = TPayloadSender::PortProvider;
    // The command tree's selected node, or nullptr.
    using SelectionProvider = std::function<const CommandNode*()>;

    // Connects ActionSend, ActionSendSelected, Enter in the box and the box's text
    // changes (ActionSend enabled exactly while the box holds text); handlers
    // report their failures through the prompts. The window must not connect
    // these again. Every reference must outlive this object.
    TSendCommands(TCustomUDPSock& udp, TTrafficSink& log, UserPrompts& prompts, const Controls& controls,
                  AddressProvider address, PortProvider port, SelectionProvider selected,
                  QObject* parent = nullptr);
    ~TSendCommands() override;

    // Compiles (or, in text mode, takes the bytes of) text, sends the bytes to the
    // tool bar's address and port and logs them with kind and comment. A text
    // that yields no bytes sends and logs nothing. Nothing goes out and nothing
    // is logged while the port is closed or the peer is not set; OnNotice then
    // says why. A socket failure leaves by exception, unlogged.
    void SendPayload(std::uint8_t kind, bool textMode, std::uint8_t byteOrder, const AnsiString& text,
                     const AnsiString& comment) override;

    // An automatic reply: to the datagram's sender while ReplyToSender is on
    // (the 自動返信 menu's choice), else to the tool bar's peer.
    void SendReply(std::uint8_t kind, bool textMode, std::uint8_t byteOrder, const AnsiString& text,
                   const AnsiString& comment, const AnsiString& fromAddress, std::uint16_t fromPort,
                   std::uint32_t copies, bool dropped) override;
    bool ReplyToSender() const noexcept { return m_payload.ReplyToSender(); }
    void SetReplyToSender(bool on) noexcept { m_payload.SetReplyToSender(on); }

    // 0 mixed, 1 text. Other values leave the state as it is.
    int GetSendMode() const;
    void SetSendMode(int mode);
    // 0 little-endian, 1 big-endian. Other values leave the state as it is.
    int GetDefaultByteOrder() const override;
    void SetDefaultByteOrder(int byteOrder);

    // Fills the box with a command string (the selection handler's direct input).
    // Sent without an edit, the box sends these very bytes.
    void SetDirectInput(const AnsiString& bytes);

    // Sends the box's text and records it in the history.
    void ActionSendExecute();
    // Enter in the box: as ActionSend, and the box then shows the top history
    // entry. Returns whether the key was used (not for an empty box).
    bool cboCommandEnter();
    // Sends the selected command with its own mode and byte order (or the default).
    void ActionSendSelectedExecute();
    void cboCommandChange();

    const TCommandHistory& History() const noexcept { return m_history; }
    // The bytes the box's text stands for.
    AnsiString BoxText() const;
    // The preview line's controller, nullptr without Controls::Preview.
    TPreviewLine* Preview() const noexcept { return m_preview; }

    // A one-line notice for the status bar: why a send did not go out, or an
    // empty text once a later send did.
    std::function<void(const QString&)> OnNotice;
    // Stored entries, most recent first (the settings' "Command%d" values).
    void SetHistory(const std::vector<AnsiString>& entries);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void DirectInput(bool enterKey);
    void ShowHistory();
    void HistoryEntryChosen(int index);

    UserPrompts& m_prompts;
    Controls m_controls;
    SelectionProvider m_selected;
    QPointer<QComboBox> m_box; // the filters come off only if the box is still there
    TCommandHistory m_history;
    // The bytes the box was last filled with, from a command or a history entry:
    // its text, while unchanged, stands for them.
    AnsiString m_boxBytes;
    TPayloadSender m_payload; // what goes on the wire; the window only decides what and how
    TPreviewLine* m_preview = nullptr;
};

} // namespace vpx
