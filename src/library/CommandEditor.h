#pragma once

// Editing the command library by hand: adding groups and commands, the properties
// dialogs, deleting, and what an in-place rename or a move means for the document.
// Every dialog and question runs through UserPrompts, so tests answer them.

#include "library/CommandTree.h"

#include <QMetaObject>
#include <QString>

#include <functional>
#include <vector>

class QAction;
class QMenu;
class QWidget;

namespace vpx {

class CommandDocument;
class TCommandTreeView;
class UserPrompts;

class TCommandEditor {
public:
    // The editor connects the view's rename and move signals to the document.
    // Dialogs are parented to dialogParent (the main window), centred on it.
    TCommandEditor(CommandDocument& document, TCommandTreeView& view, UserPrompts& prompts,
                   QWidget* dialogParent = nullptr);
    ~TCommandEditor();
    TCommandEditor(const TCommandEditor&) = delete;
    TCommandEditor& operator=(const TCommandEditor&) = delete;

    void ActionAddGroupExecute();
    void ActionAddCommandExecute();
    void ActionAddRootExecute();
    void ActionDeleteExecute();
    void ActionPropertyExecute();

    // tvCommandEdited: shows the new name in the selection panel and marks the
    // library modified, also when the name did not change.
    void tvCommandEdited(CommandNode* node, const QString& name);

    // ShowSelection(node, name) of the window: the selection panel during a rename.
    std::function<void(const CommandNode* node, const QString& name)> ShowSelection;
    // The default byte order at the moment a dialog opens (1 big-endian), for its preview.
    std::function<int()> DefaultByteOrder;

    // Connects the five actions' triggered signals to the handlers above, through
    // guarded() so that no exception reaches the event loop. Null actions are skipped.
    void ConnectActions(QAction* addGroup, QAction* addCommand, QAction* addRoot, QAction* deleteNode,
                        QAction* property);

    // Fills the tree's pop-up menu: send the selected command, a separator, the
    // submenu "新規作成(&N)" with the three add commands, then delete and properties.
    static void FillPopupMenu(QMenu& menu, QAction* sendSelected, QAction* addGroup, QAction* addCommand,
                              QAction* addRoot, QAction* deleteNode, QAction* property);

private:
    enum class NewNode { Group, Command };
    void AddNode(CommandNode* parent, NewNode kind);
    void EditCommand(CommandNode* node);
    void EditGroup(CommandNode* node);

    CommandDocument& m_document;
    TCommandTreeView& m_view;
    UserPrompts& m_prompts;
    QWidget* m_dialogParent;
    std::vector<QMetaObject::Connection> m_connections;
};

} // namespace vpx
