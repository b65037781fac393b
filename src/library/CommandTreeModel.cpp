#include "library/CommandTreeModel.h"
#include <QCoreApplication>

namespace vpx {

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
    // A stray blank is no name: it would be saved and read back as one.
    if (!name.isEmpty() && name.trimmed().isEmpty())
        return false;
    if (name.isEmpty())
        name = node->IsCommand() ? QCoreApplication::translate("CommandTreeModel", "ｺﾏﾝﾄﾞ") : QCoreApplication::translate("CommandTreeModel", "ｸﾞﾙｰﾌﾟ");
    // The delegate commits even when nothing was typed: an untouched name keeps its bytes.
    m_tree.SetName(node, ToAnsiKeeping(name, node->Name()));
    emit nodeRenamed(index, FromAnsi(node->Name()));
    return true;
}

Qt::ItemFlags CommandTreeModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsEditable;
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
