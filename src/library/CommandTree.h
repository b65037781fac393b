#pragma once

// The command library as plain data: groups (nodes without a record) and commands
// (nodes owning a TCommandInfo) in the user's order. Every change goes through
// CommandTree so that one observer (the Qt model) hears about it; the reader, the
// writer and find work on this alone.

#include "library/CommandInfo.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace vpx {

class CommandTree;

class CommandNode {
public:
    CommandNode(const CommandNode&) = delete;
    CommandNode& operator=(const CommandNode&) = delete;
    ~CommandNode();

    const AnsiString& Name() const noexcept { return m_name; }
    bool IsGroup() const noexcept { return !m_info.has_value(); }
    bool IsCommand() const noexcept { return m_info.has_value(); }
    const TCommandInfo* Info() const noexcept { return m_info ? &*m_info : nullptr; }
    int ImageIndex() const noexcept { return m_image; }

    // nullptr for a root node.
    CommandNode* Parent() const noexcept;
    int ChildCount() const noexcept { return static_cast<int>(m_children.size()); }
    CommandNode* Child(int row) const noexcept;
    // Position among the siblings (among the root nodes for a root node). Kept
    // by the tree on every edit, so asking costs nothing: the pre-order walk asks
    // it for every step, and a lookup by name walks the whole tree.
    int Row() const noexcept { return m_row; }
    // Depth: 0 for root nodes.
    int Level() const noexcept;
    // True when this node is `other` or one of its ancestors.
    bool Contains(const CommandNode* other) const noexcept;

    CommandNode* NextSibling() const noexcept;
    CommandNode* PrevSibling() const noexcept;

    // Nodes alive in the whole program (every tree's hidden top included); a node
    // owns its record, so this also tells whether records are released.
    static std::size_t LiveCount() noexcept;

private:
    friend class CommandTree;
    CommandNode();

    AnsiString m_name;
    std::optional<TCommandInfo> m_info;
    int m_image = image::GroupCollapsed;
    CommandNode* m_parent = nullptr; // the tree's hidden top for root nodes
    int m_row = 0;                     // index in m_parent->m_children
    std::vector<std::unique_ptr<CommandNode>> m_children;

    // Sets m_row of the children from `from` to the end.
    void RenumberChildren(std::size_t from = 0) noexcept;
};

class CommandTree {
public:
    // Hears every change; the begin/end pairs bracket the change itself. A null
    // parent means the root level.
    class Observer {
    public:
        virtual ~Observer() = default;
        virtual void BeginInsert(CommandNode* parent, int row) = 0;
        virtual void EndInsert() = 0;
        virtual void BeginRemove(CommandNode* parent, int row) = 0;
        virtual void EndRemove() = 0;
        // destRow counts the destination's children before the node leaves its place.
        virtual void BeginMove(CommandNode* from, int fromRow, CommandNode* to, int destRow) = 0;
        virtual void EndMove() = 0;
        virtual void BeginReset() = 0;
        virtual void EndReset() = 0;
        virtual void NodeChanged(CommandNode* node) = 0;
    };

    CommandTree();
    ~CommandTree();
    CommandTree(const CommandTree&) = delete;
    CommandTree& operator=(const CommandTree&) = delete;

    void SetObserver(Observer* observer) noexcept { m_observer = observer; }

    // Changes with every insertion, removal, move, rename or new command text, so
    // that what was found in the tree can be known to be still true.
    std::uint64_t Revision() const noexcept { return m_revision; }

    int RootCount() const noexcept { return m_top->ChildCount(); }
    CommandNode* Root(int row) const noexcept { return m_top->Child(row); }
    bool Empty() const noexcept { return m_top->m_children.empty(); }
    std::size_t NodeCount() const noexcept;

    // Pre-order walk, every group treated as expanded; nullptr past either end.
    CommandNode* First() const noexcept { return Root(0); }
    CommandNode* Last() const noexcept;
    static CommandNode* Next(const CommandNode* node) noexcept;
    static CommandNode* Prev(const CommandNode* node) noexcept;

    // A new node as child `row` of parent (a root node for a null parent); row -1
    // or past the end appends. A group gets image 0, a command the image of its record.
    CommandNode* Insert(CommandNode* parent, int row, AnsiString name, std::optional<TCommandInfo> info);
    CommandNode* AddGroup(CommandNode* parent, AnsiString name) { return Insert(parent, -1, std::move(name), {}); }
    CommandNode* AddCommand(CommandNode* parent, AnsiString name, TCommandInfo info)
    {
        return Insert(parent, -1, std::move(name), std::move(info));
    }

    // Removes the node with its whole subtree; every record in it goes with it.
    void Remove(CommandNode* node);
    void Clear();
    // Takes over the other tree's nodes, dropping this tree's own; one reset.
    void ReplaceWith(CommandTree& other);

    // Moves the node with its subtree so that it stands before the child now at
    // `row` of newParent (appended for -1 or past the end). Refused (false, nothing
    // changes) when newParent is the node itself or lies inside its subtree.
    bool Move(CommandNode* node, CommandNode* newParent, int row);

    void SetName(CommandNode* node, AnsiString name);
    // Stores the record and sets the image by the command image rule.
    void SetInfo(CommandNode* node, TCommandInfo info);
    void SetImageIndex(CommandNode* node, int imageIndex);

private:
    CommandNode* Parent(CommandNode* parent) const noexcept { return parent ? parent : m_top.get(); }
    CommandNode* Outer(CommandNode* node) const noexcept { return node == m_top.get() ? nullptr : node; }

    std::unique_ptr<CommandNode> m_top; // hidden parent of the root nodes
    Observer* m_observer = nullptr;
    std::uint64_t m_revision = 0;
};

// Same shape, names, records and images.
bool EqualTrees(const CommandTree& a, const CommandTree& b);

// The move menu's choices, by their tags.
enum class MoveChoice { IntoGroup = 0, Before = 1, After = 2, Cancel = 3 };

// Carries out one choice of the move menu for the dragged node and the node it was
// dropped on. Into-group needs a group as target. A move onto the node itself or
// into its own subtree changes nothing. When the move happens, the new parent group
// shows as expanded and a group left without children as collapsed. Returns
// whether the choice counts as an edit (every choice but Cancel).
bool ApplyMoveChoice(CommandTree& tree, CommandNode* drag, CommandNode* drop, MoveChoice choice);

} // namespace vpx
