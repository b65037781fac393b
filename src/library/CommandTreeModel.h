#pragma once

// Shows a CommandTree in the QTreeView tvCommand. The tree stays the one source of
// truth: the model hears every change of it as an observer, and in-place rename
// comes back to it through setData. Moving a node by dragging is the view's own
// (it asks the move menu first), so the model offers no drag and drop of its own.

#include "library/CommandTree.h"

#include <QAbstractItemModel>
#include <QIcon>

#include <functional>

namespace vpx {

class CommandTreeModel : public QAbstractItemModel, private CommandTree::Observer {
    Q_OBJECT

public:
    enum Role {
        ImageIndexRole = Qt::UserRole + 1, // int: the node's index into the image list
        IsCommandRole,                     // bool: the node holds a TCommandInfo
    };

    explicit CommandTreeModel(CommandTree& tree, QObject* parent = nullptr);
    ~CommandTreeModel() override;

    // The image list lives with the main window; without a lookup there is no decoration.
    void SetIconLookup(std::function<QIcon(int imageIndex)> lookup);

    CommandTree& Tree() const noexcept { return m_tree; }
    CommandNode* NodeFromIndex(const QModelIndex& index) const noexcept;
    QModelIndex IndexFromNode(const CommandNode* node) const;

    // tvCommandExpanded / tvCommandCollapsed: a group shows the open or closed folder.
    void SetExpanded(const QModelIndex& index, bool expanded);

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    bool hasChildren(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

signals:
    // An in-place rename was accepted; name is what the node is now called (an
    // empty text has become the default word). The window shows the selection and
    // marks the library modified, also when the name did not change.
    void nodeRenamed(const QModelIndex& index, const QString& name);

private:
    void BeginInsert(CommandNode* parent, int row) override;
    void EndInsert() override;
    void BeginRemove(CommandNode* parent, int row) override;
    void EndRemove() override;
    void BeginMove(CommandNode* from, int fromRow, CommandNode* to, int destRow) override;
    void EndMove() override;
    void BeginReset() override;
    void EndReset() override;
    void NodeChanged(CommandNode* node) override;

    CommandTree& m_tree;
    std::function<QIcon(int)> m_iconLookup;
};

} // namespace vpx
