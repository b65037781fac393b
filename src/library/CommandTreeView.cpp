#include "library/CommandTreeView.h"

#include "library/CommandTreeModel.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTimer>
#include <QCoreApplication>

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace vpx {

namespace {

constexpr int kAutoScrollMargin = 16;
constexpr int kAutoScrollInterval = 50; // ms

} // namespace

TCommandTreeView::TCommandTreeView(QWidget* parent) : QTreeView(parent)
{
    setObjectName(QStringLiteral("tvCommand"));
    setHeaderHidden(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::SelectedClicked | QAbstractItemView::EditKeyPressed);
    // The drag is this view's own: Qt's drag machinery would move the node on the
    // drop, before the user has said where it should go.
    setDragEnabled(false);
    setAcceptDrops(false);
    setDragDropMode(QAbstractItemView::NoDragDrop);
    setContextMenuPolicy(Qt::DefaultContextMenu);

    // The selected node stays visible while the find dialog or another control has the focus.
    QPalette pal = palette();
    for (QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText})
        pal.setColor(QPalette::Inactive, role, pal.color(QPalette::Active, role));
    setPalette(pal);

    CreateMoveMenu();
    ExecMoveMenu = [](QMenu& menu, const QPoint& globalPos) { return menu.exec(globalPos); };

    m_scrollTimer = new QTimer(this);
    m_scrollTimer->setInterval(kAutoScrollInterval);
    connect(m_scrollTimer, &QTimer::timeout, this, &TCommandTreeView::AutoScroll);

    connect(this, &QTreeView::expanded, this, [this](const QModelIndex& index) {
        if (m_model)
            m_model->SetExpanded(index, true);
    });
    connect(this, &QTreeView::collapsed, this, [this](const QModelIndex& index) {
        if (m_model)
            m_model->SetExpanded(index, false);
    });
}

TCommandTreeView::~TCommandTreeView() = default;

void TCommandTreeView::CreateMoveMenu()
{
    m_popDD = new QMenu(this);
    m_popDD->setObjectName(QStringLiteral("popDD"));
    auto entry = [this](const char* name, const QString& caption, MoveChoice tag) {
        QAction* a = m_popDD->addAction(caption);
        a->setObjectName(QString::fromLatin1(name));
        a->setData(static_cast<int>(tag));
        return a;
    };
    m_popMoveToGroup = entry("popMoveToGroup", QCoreApplication::translate("CommandTreeView", "このｸﾞﾙｰﾌﾟに移動(&M)"), MoveChoice::IntoGroup);
    m_popMoveToBefore = entry("popMoveToBefore", QCoreApplication::translate("CommandTreeView", "この項目の前に移動(&B)"), MoveChoice::Before);
    m_popMoveToAfter = entry("popMoveToAfter", QCoreApplication::translate("CommandTreeView", "この項目の後ろに移動(&A)"), MoveChoice::After);
    m_popDD->addSeparator();
    m_popMoveCancel = entry("popMoveCancel", QCoreApplication::translate("CommandTreeView", "ｷｬﾝｾﾙ(&C)"), MoveChoice::Cancel);
}

void TCommandTreeView::SetCommandModel(CommandTreeModel* model)
{
    if (m_model)
        disconnect(m_model, nullptr, this, nullptr);
    m_model = model;
    setModel(model);
    if (!model)
        return;
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex&, const QModelIndex&) { OnCurrentChanged(); });
    // A reset (New, Open) drops the selection without a currentChanged.
    connect(model, &QAbstractItemModel::modelReset, this, [this] { OnCurrentChanged(); });
    connect(model, &CommandTreeModel::nodeRenamed, this, [this](const QModelIndex& index, const QString& name) {
        if (CommandNode* node = m_model->NodeFromIndex(index))
            emit tvCommandEdited(node, name);
    });
}

CommandNode* TCommandTreeView::Selected() const
{
    return m_model ? m_model->NodeFromIndex(currentIndex()) : nullptr;
}

void TCommandTreeView::MakeVisible(CommandNode* node)
{
    if (!m_model || !node)
        return;
    std::vector<CommandNode*> ancestors;
    for (CommandNode* p = node->Parent(); p; p = p->Parent())
        ancestors.push_back(p);
    for (auto it = ancestors.rbegin(); it != ancestors.rend(); ++it)
        expand(m_model->IndexFromNode(*it));
    scrollTo(m_model->IndexFromNode(node));
}

void TCommandTreeView::Select(CommandNode* node)
{
    if (!m_model)
        return;
    if (!node) {
        selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::Clear);
        return;
    }
    MakeVisible(node);
    selectionModel()->setCurrentIndex(m_model->IndexFromNode(node), QItemSelectionModel::ClearAndSelect);
}

void TCommandTreeView::RunSelectionHandler(bool fillDirectInput)
{
    emit tvCommandChange(Selected(), fillDirectInput);
}

void TCommandTreeView::OnCurrentChanged()
{
    if (m_suppressChange == 0)
        emit tvCommandChange(Selected(), true);
}

void TCommandTreeView::SelectCurrent()
{
    const QModelIndex current = currentIndex();
    if (current.isValid() && !selectionModel()->isSelected(current))
        selectionModel()->select(current, QItemSelectionModel::ClearAndSelect);
}

void TCommandTreeView::DeleteNode(CommandNode* node)
{
    if (!m_model || !node)
        return;
    ++m_suppressChange;
    m_model->Tree().Remove(node);
    // The selection model has moved the current index to a neighbour; show it selected.
    SelectCurrent();
    --m_suppressChange;
}

CommandNode* TCommandTreeView::DragNode() const
{
    return m_model ? m_model->NodeFromIndex(m_dragNode) : nullptr;
}

CommandNode* TCommandTreeView::DropNode() const
{
    return m_model ? m_model->NodeFromIndex(m_dropNode) : nullptr;
}

QModelIndex TCommandTreeView::NodeIndexAt(const QPoint& viewportPos) const
{
    const QModelIndex index = indexAt(viewportPos);
    if (!index.isValid())
        return {};
    // Only the icon and the name count, not the rest of the row.
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    const QRect row = visualRect(index);
    const int width = itemDelegateForIndex(index)->sizeHint(option, index).width();
    QRect content = row;
    content.setWidth(std::min(width, row.width()));
    return content.contains(viewportPos) ? index : QModelIndex();
}

QItemSelectionModel::SelectionFlags TCommandTreeView::selectionCommand(const QModelIndex& index,
                                                                       const QEvent* event) const
{
    // Like the tree this replaces, a click never leaves the tree without a selection.
    const auto flags = QTreeView::selectionCommand(index, event);
    if (flags & (QItemSelectionModel::Deselect | QItemSelectionModel::Toggle))
        return QItemSelectionModel::NoUpdate;
    return flags;
}

void TCommandTreeView::mousePressEvent(QMouseEvent* event)
{
    if (m_dragging || event->button() != Qt::LeftButton) {
        // A right click opens the pop-up menu (contextMenuEvent) and keeps the selection.
        event->accept();
        return;
    }
    QTreeView::mousePressEvent(event);
    const QPoint pos = event->position().toPoint();
    const QModelIndex index = NodeIndexAt(pos);
    m_armed = index.isValid();
    if (m_armed) {
        m_dragNode = index;
        m_pressPos = pos;
    }
}

void TCommandTreeView::mouseMoveEvent(QMouseEvent* event)
{
    if (!(event->buttons() & Qt::LeftButton)) {
        QTreeView::mouseMoveEvent(event);
        return;
    }
    // With the button held the tree neither drags a selection nor a rubber band.
    const QPoint pos = event->position().toPoint();
    m_lastPos = pos;
    if (m_armed && !m_dragging
        && (std::abs(pos.x() - m_pressPos.x()) >= DragThreshold
            || std::abs(pos.y() - m_pressPos.y()) >= DragThreshold)) {
        m_dragging = true;
        m_scrollTimer->start();
    }
    if (m_dragging)
        UpdateDropTarget(pos);
    event->accept();
}

void TCommandTreeView::mouseReleaseEvent(QMouseEvent* event)
{
    if (m_dragging) {
        if (event->button() == Qt::LeftButton)
            FinishDrag(event->position().toPoint(), event->globalPosition().toPoint());
        event->accept();
        return;
    }
    m_armed = false;
    if (event->button() != Qt::LeftButton) {
        event->accept();
        return;
    }
    QTreeView::mouseReleaseEvent(event);
}

void TCommandTreeView::mouseDoubleClickEvent(QMouseEvent* event)
{
    QTreeView::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton)
        emit tvCommandDblClick();
}

void TCommandTreeView::keyPressEvent(QKeyEvent* event)
{
    if (m_dragging && event->key() == Qt::Key_Escape) {
        CancelDrag();
        event->accept();
        return;
    }
    if (!event->text().isEmpty())
        emit tvCommandKeyPress(event->text());
    QTreeView::keyPressEvent(event);
}

void TCommandTreeView::contextMenuEvent(QContextMenuEvent* event)
{
    if (m_popupMenu)
        m_popupMenu->popup(event->globalPos());
    event->accept();
}

void TCommandTreeView::focusOutEvent(QFocusEvent* event)
{
    if (m_dragging)
        CancelDrag();
    QTreeView::focusOutEvent(event);
}

void TCommandTreeView::paintEvent(QPaintEvent* event)
{
    QTreeView::paintEvent(event);
    if (!m_dragging || !m_dropTarget.isValid())
        return;
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    QRect rect = visualRect(m_dropTarget);
    rect.setWidth(std::min(itemDelegateForIndex(m_dropTarget)->sizeHint(option, m_dropTarget).width(), rect.width()));
    QPainter painter(viewport());
    painter.setPen(QPen(palette().color(QPalette::Active, QPalette::Highlight), 1, Qt::DotLine));
    painter.drawRect(rect.adjusted(0, 0, -1, -1));
}

void TCommandTreeView::UpdateDropTarget(const QPoint& pos)
{
    const QModelIndex target = NodeIndexAt(pos);
    if (target != QModelIndex(m_dropTarget)) {
        m_dropTarget = target;
        viewport()->update();
    }
    viewport()->setCursor(target.isValid() ? Qt::DragMoveCursor : Qt::ForbiddenCursor);
}

void TCommandTreeView::CancelDrag()
{
    m_dragging = false;
    m_armed = false;
    m_scrollTimer->stop();
    m_dropTarget = QModelIndex();
    viewport()->unsetCursor();
    setState(NoState);
    viewport()->update();
}

void TCommandTreeView::AutoScroll()
{
    if (!m_dragging) {
        m_scrollTimer->stop();
        return;
    }
    QScrollBar* bar = verticalScrollBar();
    if (m_lastPos.y() < kAutoScrollMargin)
        bar->setValue(bar->value() - bar->singleStep());
    else if (m_lastPos.y() > viewport()->height() - kAutoScrollMargin)
        bar->setValue(bar->value() + bar->singleStep());
    else
        return;
    UpdateDropTarget(m_lastPos);
}

void TCommandTreeView::FinishDrag(const QPoint& pos, const QPoint& globalPos)
{
    const QModelIndex drop = NodeIndexAt(pos);
    CancelDrag();
    if (!drop.isValid() || !m_dragNode.isValid())
        return;
    m_dropNode = drop;
    const CommandNode* dropNode = DropNode();
    m_popMoveToGroup->setEnabled(dropNode && dropNode->IsGroup());
    m_popMoveToBefore->setEnabled(true);
    m_popMoveToAfter->setEnabled(true);
    m_popMoveCancel->setEnabled(true);
    QAction* chosen = ExecMoveMenu ? ExecMoveMenu(*m_popDD, globalPos) : nullptr;
    if (chosen && chosen->isEnabled())
        popMoveClick(chosen->data().toInt());
}

void TCommandTreeView::popMoveClick(int tag)
{
    if (tag < static_cast<int>(MoveChoice::IntoGroup) || tag >= static_cast<int>(MoveChoice::Cancel) || !m_model)
        return;
    const auto choice = static_cast<MoveChoice>(tag);
    CommandNode* drag = DragNode();
    CommandNode* drop = DropNode();
    if (!drag || !drop || (choice == MoveChoice::IntoGroup && !drop->IsGroup()))
        return;
    CommandNode* oldParent = drag->Parent();
    ++m_suppressChange;
    const bool edited = ApplyMoveChoice(m_model->Tree(), drag, drop, choice);
    // Keep the view's expanded state in line with the folder images the move set.
    if (CommandNode* newParent = drag->Parent(); newParent && newParent->IsGroup())
        expand(m_model->IndexFromNode(newParent));
    if (oldParent && oldParent->IsGroup() && oldParent->ChildCount() == 0)
        collapse(m_model->IndexFromNode(oldParent));
    --m_suppressChange;
    if (edited)
        emit modified();
}

} // namespace vpx
