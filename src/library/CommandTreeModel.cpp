#include "library/CommandTreeModel.h"

#include <QDataStream>
#include <QIODevice>
#include <QMimeData>

#include <vector>

namespace vpx {

QString CommandTreeModel::MimeType()
{
    return QStringLiteral("application/x-vorpex-command-node");
}

CommandTreeModel::CommandTreeModel(CommandTree& tree, QObject* parent)
    : QAbstractItemModel(parent), m_tree(tree)
{
    m_tree.SetObserver(this);
}

CommandTreeModel::~CommandTreeModel()
{
    m_tree.SetObserver(nullptr);
}

void CommandTreeModel::SetIconLookup(std::function<QIcon(int)> lookup)
{
    m_iconLookup = std::move(lookup);
    if (m_tree.Empty())
        return;
    // Every row of every level shows a new picture; a layout change repaints them all.
    emit layoutAboutToBeChanged();
    emit layoutChanged();
}

CommandNode* CommandTreeModel::NodeFromIndex(const QModelIndex& index) const noexcept
{
    if (!index.isValid() || index.model() != this)
        return nullptr;
    return static_cast<CommandNode*>(index.internalPointer());
}

QModelIndex CommandTreeModel::IndexFromNode(const CommandNode* node) const
{
    if (!node)
        return {};
    return createIndex(node->Row(), 0, const_cast<CommandNode*>(node));
}

void CommandTreeModel::SetExpanded(const QModelIndex& index, bool expanded)
{
    // A command keeps its own picture: only a group is drawn as a folder.
    CommandNode* node = NodeFromIndex(index);
    if (node && node->IsGroup())
        m_tree.SetImageIndex(node, expanded ? image::GroupExpanded : image::GroupCollapsed);
}

QModelIndex CommandTreeModel::index(int row, int column, const QModelIndex& parent) const
{
    if (column != 0 || row < 0)
        return {};
    CommandNode* child = nullptr;
    if (!parent.isValid()) {
        child = m_tree.Root(row);
    } else if (CommandNode* p = NodeFromIndex(parent); p && parent.column() == 0) {
        child = p->Child(row);
    }
    return child ? createIndex(row, 0, child) : QModelIndex();
}

QModelIndex CommandTreeModel::parent(const QModelIndex& child) const
{
    const CommandNode* node = NodeFromIndex(child);
    return node ? IndexFromNode(node->Parent()) : QModelIndex();
}

int CommandTreeModel::rowCount(const QModelIndex& parent) const
{
    if (!parent.isValid())
        return m_tree.RootCount();
    if (parent.column() != 0)
        return 0;
    const CommandNode* node = NodeFromIndex(parent);
    return node ? node->ChildCount() : 0;
}

int CommandTreeModel::columnCount(const QModelIndex&) const
{
    return 1;
}

bool CommandTreeModel::hasChildren(const QModelIndex& parent) const
{
    return rowCount(parent) > 0;
}

QVariant CommandTreeModel::data(const QModelIndex& index, int role) const
{
    const CommandNode* node = NodeFromIndex(index);
    if (!node)
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole: return FromAnsi(node->Name());
    case Qt::DecorationRole:
        if (m_iconLookup)
            return m_iconLookup(node->ImageIndex());
        return {};
    case ImageIndexRole: return node->ImageIndex();
    case IsCommandRole: return node->IsCommand();
    default: return {};
    }
}

bool CommandTreeModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    CommandNode* node = NodeFromIndex(index);
    if (!node || role != Qt::EditRole)
        return false;
    QString name = value.toString();
    if (name.isEmpty())
        name = node->IsCommand() ? QStringLiteral("ｺﾏﾝﾄﾞ") : QStringLiteral("ｸﾞﾙｰﾌﾟ");
    // The delegate commits even when nothing was typed: an untouched name keeps its bytes.
    m_tree.SetName(node, ToAnsiKeeping(name, node->Name()));
    emit nodeRenamed(index, FromAnsi(node->Name()));
    return true;
}

Qt::ItemFlags CommandTreeModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::ItemIsDropEnabled; // between root nodes; the viewport itself is refused below
    return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsEditable | Qt::ItemIsDragEnabled
           | Qt::ItemIsDropEnabled;
}

QStringList CommandTreeModel::mimeTypes() const
{
    return {MimeType()};
}

// A drag names its model and the node's row path from the root level down.
QMimeData* CommandTreeModel::mimeData(const QModelIndexList& indexes) const
{
    const CommandNode* node = nullptr;
    for (const QModelIndex& i : indexes)
        if ((node = NodeFromIndex(i)))
            break;
    if (!node)
        return nullptr;
    std::vector<qint32> rows;
    for (const CommandNode* p = node; p; p = p->Parent())
        rows.insert(rows.begin(), p->Row());
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out << quint64(reinterpret_cast<quintptr>(this)) << qint32(rows.size());
    for (qint32 r : rows)
        out << r;
    auto* mime = new QMimeData;
    mime->setData(MimeType(), bytes);
    return mime;
}

CommandNode* CommandTreeModel::NodeFromMimeData(const QMimeData* data) const
{
    if (!data || !data->hasFormat(MimeType()))
        return nullptr;
    QDataStream in(data->data(MimeType()));
    quint64 owner = 0;
    qint32 depth = 0;
    in >> owner >> depth;
    if (in.status() != QDataStream::Ok || owner != quint64(reinterpret_cast<quintptr>(this)) || depth <= 0)
        return nullptr;
    CommandNode* node = nullptr;
    for (qint32 i = 0; i < depth; ++i) {
        qint32 row = -1;
        in >> row;
        if (in.status() != QDataStream::Ok)
            return nullptr;
        node = node ? node->Child(row) : m_tree.Root(row);
        if (!node)
            return nullptr;
    }
    return node;
}

Qt::DropActions CommandTreeModel::supportedDragActions() const
{
    return Qt::MoveAction;
}

Qt::DropActions CommandTreeModel::supportedDropActions() const
{
    return Qt::MoveAction;
}

// A drop is welcome over any node, the dragged one and its descendants included;
// whether it moves anything is decided on the drop.
bool CommandTreeModel::canDropMimeData(const QMimeData* data, Qt::DropAction action, int row, int,
                                       const QModelIndex& parent) const
{
    if (action != Qt::MoveAction || !NodeFromMimeData(data))
        return false;
    if (row < 0)
        return parent.isValid();
    return rowCount(parent) > 0;
}

bool CommandTreeModel::dropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                                    const QModelIndex& parent)
{
    if (!canDropMimeData(data, action, row, column, parent))
        return false;
    CommandNode* drag = NodeFromMimeData(data);
    CommandNode* target = NodeFromIndex(parent);
    MoveChoice choice = MoveChoice::IntoGroup;
    if (row >= 0) {
        const int count = rowCount(parent);
        target = row < count ? (parent.isValid() ? target->Child(row) : m_tree.Root(row))
                             : (parent.isValid() ? target->Child(count - 1) : m_tree.Root(count - 1));
        choice = row < count ? MoveChoice::Before : MoveChoice::After;
    }
    if (!target || drag->Contains(target) || (choice == MoveChoice::IntoGroup && !target->IsGroup()))
        return false;
    ApplyMoveChoice(m_tree, drag, target, choice);
    emit nodeMoved(IndexFromNode(drag));
    // The node has moved itself; the view's follow-up removeRows (after a move it
    // takes for a copy) finds nothing to remove, since this model never removes rows
    // through that interface.
    return true;
}

void CommandTreeModel::BeginInsert(CommandNode* parent, int row)
{
    beginInsertRows(IndexFromNode(parent), row, row);
}

void CommandTreeModel::EndInsert()
{
    endInsertRows();
}

void CommandTreeModel::BeginRemove(CommandNode* parent, int row)
{
    beginRemoveRows(IndexFromNode(parent), row, row);
}

void CommandTreeModel::EndRemove()
{
    endRemoveRows();
}

void CommandTreeModel::BeginMove(CommandNode* from, int fromRow, CommandNode* to, int destRow)
{
    beginMoveRows(IndexFromNode(from), fromRow, fromRow, IndexFromNode(to), destRow);
}

void CommandTreeModel::EndMove()
{
    endMoveRows();
}

void CommandTreeModel::BeginReset()
{
    beginResetModel();
}

void CommandTreeModel::EndReset()
{
    endResetModel();
}

void CommandTreeModel::NodeChanged(CommandNode* node)
{
    const QModelIndex i = IndexFromNode(node);
    emit dataChanged(i, i);
}

} // namespace vpx
