#include "library/CommandEditor.h"

#include "library/CommandDocument.h"
#include "library/CommandPropDlg.h"
#include "library/CommandTreeView.h"
#include "library/GroupPropDlg.h"
#include "library/RadioGroup.h"
#include "platform/UserPrompts.h"

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QCoreApplication>

namespace vpx {

TCommandEditor::TCommandEditor(CommandDocument& document, TCommandTreeView& view, UserPrompts& prompts,
                               QWidget* dialogParent)
    : m_document(document), m_view(view), m_prompts(prompts), m_dialogParent(dialogParent)
{
    m_connections.push_back(QObject::connect(&m_view, &TCommandTreeView::tvCommandEdited, &m_view,
                                             guarded(m_prompts, [this](CommandNode* node, const QString& name) {
                                                 tvCommandEdited(node, name);
                                             })));
    m_connections.push_back(QObject::connect(&m_view, &TCommandTreeView::modified, &m_view,
                                             guarded(m_prompts, [this] { m_document.SetModified(true); })));
}

TCommandEditor::~TCommandEditor()
{
    for (const QMetaObject::Connection& c : m_connections)
        QObject::disconnect(c);
}

void TCommandEditor::ConnectActions(QAction* addGroup, QAction* addCommand, QAction* addRoot, QAction* deleteNode,
                                    QAction* property)
{
    const std::pair<QAction*, void (TCommandEditor::*)()> table[] = {
        {addGroup, &TCommandEditor::ActionAddGroupExecute},   {addCommand, &TCommandEditor::ActionAddCommandExecute},
        {addRoot, &TCommandEditor::ActionAddRootExecute},     {deleteNode, &TCommandEditor::ActionDeleteExecute},
        {property, &TCommandEditor::ActionPropertyExecute},
    };
    for (const auto& [action, handler] : table) {
        if (!action)
            continue;
        m_connections.push_back(QObject::connect(action, &QAction::triggered, action,
                                                 guarded(m_prompts, [this, handler = handler](bool) { (this->*handler)(); })));
    }
}

void TCommandEditor::FillPopupMenu(QMenu& menu, QAction* sendSelected, QAction* addGroup, QAction* addCommand,
                                   QAction* addRoot, QAction* deleteNode, QAction* property)
{
    menu.addAction(sendSelected);
    menu.addSeparator();
    QMenu* add = menu.addMenu(QCoreApplication::translate("CommandEditor", "新規作成(&N)"));
    add->setObjectName(QStringLiteral("mnuPopupNew"));
    add->addAction(addGroup);
    add->addAction(addCommand);
    add->addAction(addRoot);
    menu.addAction(deleteNode);
    menu.addAction(property);
}

void TCommandEditor::ActionAddGroupExecute()
{
    CommandNode* selected = m_view.Selected();
    if (selected && selected->IsCommand())
        return; // a command never gets children from an edit (the action is disabled then)
    AddNode(selected, NewNode::Group);
}

void TCommandEditor::ActionAddCommandExecute()
{
    CommandNode* selected = m_view.Selected();
    if (selected && selected->IsCommand())
        return;
    AddNode(selected, NewNode::Command);
}

void TCommandEditor::ActionAddRootExecute()
{
    AddNode(nullptr, NewNode::Group);
}

void TCommandEditor::AddNode(CommandNode* parent, NewNode kind)
{
    CommandTree& tree = m_document.Tree();
    CommandNode* node = kind == NewNode::Group
                            ? tree.AddGroup(parent, ToAnsi(QCoreApplication::translate("CommandEditor", "新しいｸﾞﾙｰﾌﾟ")))
                            : tree.AddCommand(parent, ToAnsi(QCoreApplication::translate("CommandEditor", "新しいｺﾏﾝﾄﾞ")), TCommandInfo{});
    // Whatever happens in the dialog, the node is there: the library has changed.
    try {
        m_view.Select(node);
        m_view.setFocus();
        ActionPropertyExecute();
    } catch (...) {
        m_document.SetModified(true);
        throw;
    }
    m_document.SetModified(true);
}

void TCommandEditor::ActionPropertyExecute()
{
    CommandNode* node = m_view.Selected();
    if (!node)
        return;
    if (node->IsCommand())
        EditCommand(node);
    else
        EditGroup(node);
}

void TCommandEditor::EditCommand(CommandNode* node)
{
    TfrmCommandProp dialog(m_dialogParent);
    if (DefaultByteOrder)
        dialog.SetDefaultByteOrder(DefaultByteOrder());
    const AnsiString oldName = node->Name();
    const TCommandInfo old = *node->Info();
    dialog.edtCommandName->setText(FromAnsi(oldName));
    dialog.edtCommand->setText(FromAnsi(old.Command));
    dialog.rdgMode->SetItemIndex(old.Mode);
    dialog.rdgByteOrder->SetItemIndex(old.ByteOrder + 1);
    if (m_prompts.Exec(dialog) != QDialog::Accepted)
        return;

    const QString typedName = dialog.edtCommandName->text();
    const AnsiString name = typedName.trimmed().isEmpty() ? oldName : ToAnsiKeeping(typedName, oldName);
    TCommandInfo info;
    info.Command = ToAnsiKeeping(dialog.edtCommand->text(), old.Command);
    // A group left without a checked item keeps what the record held.
    const int mode = dialog.rdgMode->ItemIndex();
    info.Mode = mode < 0 ? old.Mode : static_cast<std::uint8_t>(mode);
    const int order = dialog.rdgByteOrder->ItemIndex();
    info.ByteOrder = order < 0 ? old.ByteOrder : order - 1;

    CommandTree& tree = m_document.Tree();
    if (name != oldName)
        tree.SetName(node, name);
    if (name != oldName || !(info == old))
        m_document.SetModified(true);
    tree.SetInfo(node, std::move(info)); // the image follows the new values
    m_view.RunSelectionHandler(true);
}

void TCommandEditor::EditGroup(CommandNode* node)
{
    TfrmGroupProp dialog(m_dialogParent);
    const AnsiString oldName = node->Name();
    dialog.edtGroupName->setText(FromAnsi(oldName));
    if (m_prompts.Exec(dialog) != QDialog::Accepted)
        return;
    const QString typedName = dialog.edtGroupName->text();
    const AnsiString name = typedName.trimmed().isEmpty() ? oldName : ToAnsiKeeping(typedName, oldName);
    if (name != oldName) {
        m_document.Tree().SetName(node, name);
        m_document.SetModified(true);
    }
    m_view.RunSelectionHandler(true);
}

void TCommandEditor::ActionDeleteExecute()
{
    CommandNode* node = m_view.Selected();
    if (!node)
        return;
    const QString question = QCoreApplication::translate("CommandEditor", "'%1'を削除します。\r\nよろしいですか？").arg(FromAnsi(node->Name()));
    const PromptButtons buttons = static_cast<int>(PromptButton::Yes) | static_cast<int>(PromptButton::No);
    if (m_prompts.Message(question, QStringLiteral("Vorpex"), buttons, PromptIcon::Question) != PromptButton::Yes)
        return;
    m_view.DeleteNode(node);
    // The commands follow the node the tree chose, but the direct-input box keeps its text.
    m_view.RunSelectionHandler(false);
    m_document.SetModified(true);
}

void TCommandEditor::tvCommandEdited(CommandNode* node, const QString& name)
{
    if (ShowSelection) {
        const CommandNode* selected = m_view.Selected();
        ShowSelection(selected, selected == node ? name : (selected ? FromAnsi(selected->Name()) : QString()));
    }
    m_document.SetModified(true);
}

} // namespace vpx
