#pragma once

// The command tree tvCommand: a QTreeView over CommandTreeModel that adds what
// the library's tree needs beyond Qt's defaults. Groups switch folder images as
// they are expanded and collapsed; the selected node stays highlighted while
// another control has the focus; names are edited in place; a right click opens
// the window's pop-up menu without touching the selection; and a left-button drag
// of a node onto another node opens the move menu popDD, which moves the node
// through the tree. The window hears about everything through the signals.

#include "library/CommandTree.h"

#include <QPersistentModelIndex>
#include <QPoint>
#include <QTreeView>

#include <functional>

class QAction;
class QMenu;
class QTimer;

namespace vpx {

class CommandTreeModel;

class TCommandTreeView : public QTreeView {
    Q_OBJECT

public:
    // How far the mouse must travel with the left button held before a drag starts.
    static constexpr int DragThreshold = 10;

    explicit TCommandTreeView(QWidget* parent = nullptr);
    ~TCommandTreeView() override;

    void SetCommandModel(CommandTreeModel* model);
    CommandTreeModel* CommandModel() const noexcept { return m_model; }

    // The selected node (the current one; the view keeps both together), or nullptr.
    CommandNode* Selected() const;
    // Selects the node, expanding its ancestors and scrolling to it; nullptr clears
    // the selection. The selection handler runs if the selection changed.
    void Select(CommandNode* node);
    // Expands the node's ancestors and scrolls to it.
    void MakeVisible(CommandNode* node);
    // Emits tvCommandChange for the selected node, changed or not.
    void RunSelectionHandler(bool fillDirectInput = true);
    // Removes the node with its subtree. The tree then selects a neighbour (or
    // nothing); the selection handler does not run during the removal.
    void DeleteNode(CommandNode* node);

    // The window's pop-up menu PopupMenu, opened by a right click; nullptr for none.
    void SetPopupMenu(QMenu* menu) noexcept { m_popupMenu = menu; }
    QMenu* PopupMenu() const noexcept { return m_popupMenu; }

    // The move menu and its entries; each entry's data is its tag (MoveChoice).
    QMenu* popDD() const noexcept { return m_popDD; }
    QAction* popMoveToGroup() const noexcept { return m_popMoveToGroup; }
    QAction* popMoveToBefore() const noexcept { return m_popMoveToBefore; }
    QAction* popMoveToAfter() const noexcept { return m_popMoveToAfter; }
    QAction* popMoveCancel() const noexcept { return m_popMoveCancel; }

    // Opens popDD at a screen position and returns the chosen entry (nullptr when
    // the menu is dismissed). Defaults to QMenu::exec; tests put a choice here.
    std::function<QAction*(QMenu& menu, const QPoint& globalPos)> ExecMoveMenu;

    // The pair the last drag and drop left, both null before the first one.
    CommandNode* DragNode() const;
    CommandNode* DropNode() const;
    bool Dragging() const noexcept { return m_dragging; }
    // The node whose icon or name lies under a viewport position, or an invalid index.
    QModelIndex NodeIndexAt(const QPoint& viewportPos) const;

public slots:
    // The shared handler of the move menu's entries, by tag: 0 into the drop node,
    // 1 before it, 2 after it, 3 cancel.
    void popMoveClick(int tag);

signals:
    // The selected node changed (nullptr: nothing is selected). fillDirectInput is
    // false only after a delete, when the direct-input box must stay as it is.
    void tvCommandChange(vpx::CommandNode* node, bool fillDirectInput);
    void tvCommandDblClick();
    // A key that yields a character was pressed in the tree; the tree handles the
    // key afterwards as usual.
    void tvCommandKeyPress(const QString& text);
    // An in-place rename was accepted; name is the node's new name (an empty text
    // has become the default word).
    void tvCommandEdited(vpx::CommandNode* node, const QString& name);
    // The tree was edited by a move (every move-menu choice but Cancel).
    void modified();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                         const QEvent* event = nullptr) const override;

private:
    void CreateMoveMenu();
    void OnCurrentChanged();
    void UpdateDropTarget(const QPoint& pos);
    void FinishDrag(const QPoint& pos, const QPoint& globalPos);
    void CancelDrag();
    void AutoScroll();
    void SelectCurrent();

    CommandTreeModel* m_model = nullptr;
    QMenu* m_popupMenu = nullptr;
    QMenu* m_popDD = nullptr;
    QAction* m_popMoveToGroup = nullptr;
    QAction* m_popMoveToBefore = nullptr;
    QAction* m_popMoveToAfter = nullptr;
    QAction* m_popMoveCancel = nullptr;
    QTimer* m_scrollTimer = nullptr;

    // Drag state: a press on a node arms a drag, travel past the threshold starts it.
    bool m_armed = false;
    bool m_dragging = false;
    QPoint m_pressPos;
    QPoint m_lastPos;
    QPersistentModelIndex m_dragNode;
    QPersistentModelIndex m_dropNode;
    QPersistentModelIndex m_dropTarget; // highlighted while dragging

    int m_suppressChange = 0;
    QPersistentModelIndex m_lastReported;
    bool m_reportedOnce = false;
};

} // namespace vpx
