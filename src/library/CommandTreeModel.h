#pragma once

// Shows a CommandTree in the QTreeView tvCommand. The tree stays the one source of
// truth: the model hears every change of it as an observer, and in-place rename and
// drag and drop come back to it through setData and dropMimeData.

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

    // The mime type of a dragged node; only this model's own drags are accepted.
    static QString MimeType();

    explicit CommandTreeModel(CommandTree& tree, QObject* parent = nullptr);
    ~CommandTreeModel() override;

    // The image list lives with the main window; without a lookup there is no decoration.
    void SetIconLookup(std::function<QIcon(int imageIndex)> lookup);

    CommandTree& Tree() const noexcept { return m_tree; }
    CommandNode* NodeFromIndex(const QModelIndex& index) const noexcept;
    QModelIndex IndexFromNode(const CommandNode* node) const;

    // tvCommandExpanded / tvCommandCollapsed: a group shows the open or closed folder.
    void SetExpanded(const QModelIndex& index, bool expanded);

    // The node a drag of this model carries, or nullptr.
    CommandNode* NodeFromMimeData(const QMimeData* data) const;

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    bool hasChildren(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QModelIndexList& indexes) const override;
    Qt::DropActions supportedDragActions() const override;
    Qt::DropActions supportedDropActions() const override;
    bool canDropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                         const QModelIndex& parent) const override;
    bool dropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                      const QModelIndex& parent) override;

signals:
    // An in-place rename was accepted; name is what the node is now called (an
    // empty text has become the default word). The window shows the selection and
    // marks the library modified, also when the name did not change.
    void nodeRenamed(const QModelIndex& index, const QString& name);
    // A drop moved a node; the window expands its new parent and marks the library
    // modified.
    void nodeMoved(const QModelIndex& index);

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
