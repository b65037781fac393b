#include "library/FindCommands.h"

#include "library/CommandTreeView.h"
#include "library/FindDlg.h"
#include "platform/UserPrompts.h"

#include <QAction>
#include <QLineEdit>
#include <QWidget>

namespace vpx {

TFindCommands::TFindCommands(TCommandTreeView& view, UserPrompts& prompts, Controls controls, QWidget* dialogParent)
    : m_view(view), m_prompts(prompts), m_controls(controls), m_dialog(new TfrmFind(dialogParent))
{
    const std::pair<QAction*, void (TFindCommands::*)()> table[] = {
        {m_controls.ActionGoFind, &TFindCommands::ActionGoFindExecute},
        {m_controls.ActionFindPrev, &TFindCommands::ActionFindPrevExecute},
        {m_controls.ActionFindNext, &TFindCommands::ActionFindNextExecute},
    };
    for (const auto& [action, handler] : table) {
        if (!action)
            continue;
        m_connections.push_back(QObject::connect(action, &QAction::triggered, action,
                                                 guarded(m_prompts, [this, handler = handler](bool) { (this->*handler)(); })));
    }
}

TFindCommands::~TFindCommands()
{
    for (const QMetaObject::Connection& c : m_connections)
        QObject::disconnect(c);
    delete m_dialog.data(); // null when the window has already taken it down

}

void TFindCommands::ActionGoFindExecute()
{
    if (!m_view.Selected())
        return;
    m_dialog->SetFindTargets(m_state.targets);
    m_dialog->edtFindText->setText(FromAnsi(m_state.text));
    const int result = m_prompts.Exec(*m_dialog);
    if (result != TfrmFind::ResultUp && result != TfrmFind::ResultDown)
        return;
    if (!DialogUsable())
        return; // no text or no box: nothing is searched or stored
    m_state.targets = m_dialog->GetFindTargets();
    m_state.text = ToAnsiKeeping(m_dialog->edtFindText->text(), m_state.text);
    if (result == TfrmFind::ResultUp)
        FindBackward(true);
    else
        FindForward(true);
    m_state.done = true;
    for (QAction* a : {m_controls.ActionGoFind, m_controls.ActionFindPrev, m_controls.ActionFindNext})
        if (a)
            a->setEnabled(true);
    if (m_controls.tbSearch)
        m_controls.tbSearch->setEnabled(true);
}

// The repeats read the dialog as the user last left it, which after a Cancel may
// differ from the stored find state.
bool TFindCommands::DialogUsable() const
{
    return m_dialog->GetFindTargets() != 0 && !m_dialog->edtFindText->text().isEmpty();
}

void TFindCommands::ActionFindPrevExecute()
{
    if (m_view.Selected() && DialogUsable())
        FindBackward(false);
}

void TFindCommands::ActionFindNextExecute()
{
    if (m_view.Selected() && DialogUsable())
        FindForward(false);
}

void TFindCommands::FindForward(bool includeCurrent)
{
    Found(vpx::FindForward(m_view.Selected(), includeCurrent, m_state.text, m_state.targets));
}

void TFindCommands::FindBackward(bool includeCurrent)
{
    Found(vpx::FindBackward(m_view.Selected(), includeCurrent, m_state.text, m_state.targets));
}

void TFindCommands::Found(CommandNode* node)
{
    if (node)
        m_view.Select(node);
}

} // namespace vpx
