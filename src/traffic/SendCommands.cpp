#include "traffic/SendCommands.h"

#include "library/CommandTree.h"
#include "library/PreviewLine.h"
#include "platform/UserPrompts.h"
#include "traffic/TrafficRecord.h"

#include <QAction>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSignalBlocker>

namespace vpx {

TSendCommands::TSendCommands(TCustomUDPSock& udp, TTrafficSink& log, UserPrompts& prompts,
                             const Controls& controls, AddressProvider address, PortProvider port,
                             SelectionProvider selected, QObject* parent)
    : QObject(parent),
      m_prompts(prompts),
      m_controls(controls),
      m_selected(std::move(selected)),
      m_box(controls.cboCommand),
      m_payload(udp, log, std::move(address), std::move(port))
{
    m_payload.OnNotice = [this](const QString& text) {
        if (OnNotice)
            OnNotice(text);
    };
    QComboBox* box = m_controls.cboCommand;
    box->setEditable(true);
    // The history is ours: the box must neither add typed lines itself nor complete them.
    box->setInsertPolicy(QComboBox::NoInsert);
    box->setCompleter(nullptr);
    box->installEventFilter(this);
    box->lineEdit()->installEventFilter(this);
    connect(box, &QComboBox::editTextChanged, this, [this] { cboCommandChange(); });
    // A pick from the list (by mouse or arrow keys) fills the box with an entry.
    connect(box, &QComboBox::activated, this, [this](int index) { HistoryEntryChosen(index); });
    connect(box, &QComboBox::currentIndexChanged, this, [this](int index) { HistoryEntryChosen(index); });
    if (m_controls.Preview) {
        m_preview = new TPreviewLine(TPreviewLine::Source{box->lineEdit(), [this] { return BoxText(); },
                                                          [this] { return GetSendMode() == 1; },
                                                          [this] { return GetDefaultByteOrder(); }},
                                     m_controls.Preview, this);
        for (QAction* action : {m_controls.ActionMix, m_controls.ActionText, m_controls.ActionLittleEndian,
                                m_controls.ActionBigEndian})
            connect(action, &QAction::toggled, m_preview, [this](bool on) {
                if (on)
                    m_preview->Refresh();
            });
    }
    connect(m_controls.ActionSend, &QAction::triggered, this,
            guarded(m_prompts, [this](bool) { ActionSendExecute(); }));
    connect(m_controls.ActionSendSelected, &QAction::triggered, this,
            guarded(m_prompts, [this](bool) { ActionSendSelectedExecute(); }));
}

TSendCommands::~TSendCommands()
{
    if (m_box) {
        m_box->removeEventFilter(this);
        if (QLineEdit* edit = m_box->lineEdit())
            edit->removeEventFilter(this);
    }
}

void TSendCommands::SendPayload(std::uint8_t kind, bool textMode, std::uint8_t byteOrder, const AnsiString& text,
                                const AnsiString& comment)
{
    m_payload.SendPayload(kind, textMode, byteOrder, text, comment);
}

void TSendCommands::SendReply(std::uint8_t kind, bool textMode, std::uint8_t byteOrder, const AnsiString& text,
                              const AnsiString& comment, const AnsiString& fromAddress, std::uint16_t fromPort,
                              std::uint32_t copies, bool dropped)
{
    m_payload.SendReply(kind, textMode, byteOrder, text, comment, fromAddress, fromPort, copies, dropped);
}


int TSendCommands::GetSendMode() const
{
    return m_controls.ActionText->isChecked() ? 1 : 0;
}

void TSendCommands::SetSendMode(int mode)
{
    if (mode != 0 && mode != 1)
        return;
    m_controls.ActionMix->setChecked(mode == 0);
    m_controls.ActionText->setChecked(mode == 1);
}

int TSendCommands::GetDefaultByteOrder() const
{
    return m_controls.ActionBigEndian->isChecked() ? 1 : 0;
}

void TSendCommands::SetDefaultByteOrder(int byteOrder)
{
    if (byteOrder != 0 && byteOrder != 1)
        return;
    m_controls.ActionLittleEndian->setChecked(byteOrder == 0);
    m_controls.ActionBigEndian->setChecked(byteOrder == 1);
}

void TSendCommands::ActionSendExecute()
{
    DirectInput(false);
}

bool TSendCommands::cboCommandEnter()
{
    if (m_controls.cboCommand->currentText().isEmpty())
        return false;
    DirectInput(true);
    return true;
}

void TSendCommands::SetDirectInput(const AnsiString& bytes)
{
    m_controls.cboCommand->setEditText(FromAnsi(bytes));
    m_boxBytes = bytes;
    if (m_preview)
        m_preview->Refresh(); // the edit described the text before it knew its bytes
}

AnsiString TSendCommands::BoxText() const
{
    return ToAnsiKeeping(m_controls.cboCommand->currentText(), m_boxBytes);
}

void TSendCommands::HistoryEntryChosen(int index)
{
    const std::vector<AnsiString>& entries = m_history.Entries();
    if (index >= 0 && static_cast<std::size_t>(index) < entries.size())
        m_boxBytes = entries[static_cast<std::size_t>(index)];
}

void TSendCommands::DirectInput(bool enterKey)
{
    const AnsiString text = BoxText();
    if (text.empty())
        return;
    SendPayload(tkSent, GetSendMode() == 1, static_cast<std::uint8_t>(GetDefaultByteOrder()), text, AnsiString());

    const auto result = m_history.Add(text);
    ShowHistory();
    if (enterKey && result != TCommandHistory::AddResult::Rejected) {
        m_controls.cboCommand->setCurrentIndex(0); // shows the entry as the history holds it
        HistoryEntryChosen(0);                     // also when the index was 0 already
    }
}

void TSendCommands::ActionSendSelectedExecute()
{
    const CommandNode* node = m_selected ? m_selected() : nullptr;
    if (!node || !node->Info() || node->Info()->Command.empty())
        return;
    const TCommandInfo& info = *node->Info();
    const std::uint8_t byteOrder = info.ByteOrder != -1 ? static_cast<std::uint8_t>(info.ByteOrder & 0xFF)
                                                        : static_cast<std::uint8_t>(GetDefaultByteOrder());
    SendPayload(tkSent, info.Mode != 0, byteOrder, info.Command, node->Name());
}

void TSendCommands::cboCommandChange()
{
    m_controls.ActionSend->setEnabled(!m_controls.cboCommand->currentText().isEmpty());
}

void TSendCommands::SetHistory(const std::vector<AnsiString>& entries)
{
    m_history.Assign(entries);
    ShowHistory();
}

void TSendCommands::ShowHistory()
{
    QComboBox* box = m_controls.cboCommand;
    // Rebuilding the list must not disturb what the user typed.
    const QString typed = box->currentText();
    {
        const QSignalBlocker blocker(box);
        box->clear();
        for (const AnsiString& entry : m_history.Entries())
            box->addItem(FromAnsi(entry));
        box->setEditText(typed);
    }
}

bool TSendCommands::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            try {
                return cboCommandEnter();
            } catch (const std::exception& e) {
                m_prompts.ShowException(e);
                return true;
            }
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace vpx
