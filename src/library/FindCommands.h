#pragma once

// The find commands: the dialog search (ActionGoFind), the repeats upward
// (ActionFindPrev, Shift+F3) and downward (ActionFindNext, F3), the find state kept
// for the whole run and the dialog, created once and kept. The window reads
// FindDone() when it decides whether the repeats are enabled for a selection.

#include "library/CommandFind.h"
#include "library/FindDlg.h"

#include <QMetaObject>
#include <QPointer>

#include <vector>

class QAction;
class QWidget;

namespace vpx {

class TCommandTreeView;
class UserPrompts;

class TFindCommands {
public:
    // The controls a successful search enables; any may be null.
    struct Controls {
        QAction* ActionGoFind = nullptr;
        QAction* ActionFindPrev = nullptr;
        QAction* ActionFindNext = nullptr;
        QWidget* tbSearch = nullptr; // the menu-bar button "検索(&S)"
    };

    // Creates the dialog (parented to dialogParent, centred on it) and connects the
    // three actions' triggered signals to the commands, through guarded().
    TFindCommands(TCommandTreeView& view, UserPrompts& prompts, Controls controls, QWidget* dialogParent = nullptr);
    ~TFindCommands();
    TFindCommands(const TFindCommands&) = delete;
    TFindCommands& operator=(const TFindCommands&) = delete;

    void ActionGoFindExecute();
    void ActionFindPrevExecute();
    void ActionFindNextExecute();

    // Search from the selected node with the stored text and targets; the node
    // found is made visible and selected (the selection handler runs). Nothing
    // happens without a match.
    void FindForward(bool includeCurrent);
    void FindBackward(bool includeCurrent);

    const FindState& State() const noexcept { return m_state; }
    bool FindDone() const noexcept { return m_state.done; }
    TfrmFind& Dialog() const noexcept { return *m_dialog; }

private:
    bool DialogUsable() const;
    void Found(CommandNode* node);

    TCommandTreeView& m_view;
    UserPrompts& m_prompts;
    Controls m_controls;
    QPointer<TfrmFind> m_dialog; // parented to the window, which may go first
    FindState m_state;
    std::vector<QMetaObject::Connection> m_connections;
};

} // namespace vpx
