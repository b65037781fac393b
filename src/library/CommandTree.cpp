#include "library/CommandTree.h"

#include <algorithm>
#include <atomic>

namespace vpx {

namespace {
std::atomic<std::size_t> g_liveNodes{0};
} // namespace

CommandNode::CommandNode()
{
    ++g_liveNodes;
}

std::size_t CommandNode::LiveCount() noexcept
{
    return g_liveNodes.load();
}

CommandNode::~CommandNode()
{
    --g_liveNodes;
    // A deep chain read from a file must not exhaust the stack: unlink the
    // descendants into a flat list before they are destroyed.
    std::vector<std::unique_ptr<CommandNode>> pending = std::move(m_children);
    while (!pending.empty()) {
        std::unique_ptr<CommandNode> node = std::move(pending.back());
        pending.pop_back();
        for (auto& child : node->m_children)
            pending.push_back(std::move(child));
        node->m_children.clear();
    }
}

CommandNode* CommandNode::Parent() const noexcept
{
    return (m_parent && m_parent->m_parent) ? m_parent : nullptr;
}

CommandNode* CommandNode::Child(int row) const noexcept
{
    if (row < 0 || row >= ChildCount())
        return nullptr;
    return m_children[static_cast<std::size_t>(row)].get();
}

void CommandNode::RenumberChildren(std::size_t from) noexcept
{
    for (std::size_t i = from; i < m_children.size(); ++i)
        m_children[i]->m_row = static_cast<int>(i);
}

int CommandNode::Level() const noexcept
{
    int level = 0;
    for (const CommandNode* p = Parent(); p; p = p->Parent())
        ++level;
    return level;
}

bool CommandNode::Contains(const CommandNode* other) const noexcept
{
    for (; other; other = other->m_parent)
        if (other == this)
            return true;
    return false;
}

CommandNode* CommandNode::NextSibling() const noexcept
{
    return m_parent ? m_parent->Child(Row() + 1) : nullptr;
}

CommandNode* CommandNode::PrevSibling() const noexcept
{
    return m_parent ? m_parent->Child(Row() - 1) : nullptr;
}

CommandTree::CommandTree() : m_top(new CommandNode) {}

CommandTree::~CommandTree() = default;

std::size_t CommandTree::NodeCount() const noexcept
{
    std::size_t n = 0;
    for (const CommandNode* p = First(); p; p = Next(p))
        ++n;
    return n;
}

CommandNode* CommandTree::Last() const noexcept
{
    CommandNode* node = m_top->m_children.empty() ? nullptr : m_top->m_children.back().get();
    while (node && !node->m_children.empty())
        node = node->m_children.back().get();
    return node;
}

CommandNode* CommandTree::Next(const CommandNode* node) noexcept
{
    if (!node)
        return nullptr;
    if (!node->m_children.empty())
        return node->m_children.front().get();
    for (; node; node = node->Parent())
        if (CommandNode* sibling = node->NextSibling())
            return sibling;
    return nullptr;
}

CommandNode* CommandTree::Prev(const CommandNode* node) noexcept
{
    if (!node)
        return nullptr;
    CommandNode* p = node->PrevSibling();
    if (!p)
        return node->Parent();
    while (!p->m_children.empty())
        p = p->m_children.back().get();
    return p;
}

CommandNode* CommandTree::Insert(CommandNode* parent, int row, AnsiString name,
                                 std::optional<TCommandInfo> info)
{
    ++m_revision;
    CommandNode* owner = Parent(parent);
    if (row < 0 || row > owner->ChildCount())
        row = owner->ChildCount();
    std::unique_ptr<CommandNode> node(new CommandNode);
    node->m_name = std::move(name);
    node->m_image = info ? CommandImageIndex(*info) : image::GroupCollapsed;
    node->m_info = std::move(info);
    node->m_parent = owner;
    CommandNode* raw = node.get();
    if (m_observer)
        m_observer->BeginInsert(parent, row);
    owner->m_children.insert(owner->m_children.begin() + row, std::move(node));
    owner->RenumberChildren(static_cast<std::size_t>(row));
    if (m_observer)
        m_observer->EndInsert();
    return raw;
}

void CommandTree::Remove(CommandNode* node)
{
    if (!node || node == m_top.get())
        return;
    ++m_revision;
    CommandNode* owner = node->m_parent;
    const int row = node->Row();
    if (m_observer)
        m_observer->BeginRemove(Outer(owner), row);
    std::unique_ptr<CommandNode> gone = std::move(owner->m_children[static_cast<std::size_t>(row)]);
    owner->m_children.erase(owner->m_children.begin() + row);
    owner->RenumberChildren(static_cast<std::size_t>(row));
    gone.reset();
    if (m_observer)
        m_observer->EndRemove();
}

void CommandTree::Clear()
{
    ++m_revision;
    if (m_observer)
        m_observer->BeginReset();
    m_top->m_children.clear();
    if (m_observer)
        m_observer->EndReset();
}

void CommandTree::ReplaceWith(CommandTree& other)
{
    if (&other == this)
        return;
    ++m_revision;
    if (m_observer)
        m_observer->BeginReset();
    m_top->m_children = std::move(other.m_top->m_children);
    other.m_top->m_children.clear();
    ++other.m_revision;
    for (auto& root : m_top->m_children)
        root->m_parent = m_top.get();
    m_top->RenumberChildren();
    if (m_observer)
        m_observer->EndReset();
    if (other.m_observer) {
        other.m_observer->BeginReset();
        other.m_observer->EndReset();
    }
}

bool CommandTree::Move(CommandNode* node, CommandNode* newParent, int row)
{
    CommandNode* to = Parent(newParent);
    if (!node || node == m_top.get() || node->Contains(to))
        return false;
    CommandNode* from = node->m_parent;
    const int fromRow = node->Row();
    if (row < 0 || row > to->ChildCount())
        row = to->ChildCount();
    if (from == to && (row == fromRow || row == fromRow + 1))
        return true; // already there
    ++m_revision;
    if (m_observer)
        m_observer->BeginMove(Outer(from), fromRow, Outer(to), row);
    std::unique_ptr<CommandNode> moving = std::move(from->m_children[static_cast<std::size_t>(fromRow)]);
    from->m_children.erase(from->m_children.begin() + fromRow);
    if (from == to && row > fromRow)
        --row;
    moving->m_parent = to;
    to->m_children.insert(to->m_children.begin() + row, std::move(moving));
    from->RenumberChildren(static_cast<std::size_t>(from == to ? std::min(row, fromRow) : fromRow));
    if (from != to)
        to->RenumberChildren(static_cast<std::size_t>(row));
    if (m_observer)
        m_observer->EndMove();
    return true;
}

void CommandTree::SetName(CommandNode* node, AnsiString name)
{
    ++m_revision;
    node->m_name = std::move(name);
    if (m_observer)
        m_observer->NodeChanged(node);
}

void CommandTree::SetInfo(CommandNode* node, TCommandInfo info)
{
    ++m_revision;
    node->m_image = CommandImageIndex(info);
    node->m_info = std::move(info);
    if (m_observer)
        m_observer->NodeChanged(node);
}

void CommandTree::SetImageIndex(CommandNode* node, int imageIndex)
{
    if (node->m_image == imageIndex)
        return;
    node->m_image = imageIndex;
    if (m_observer)
        m_observer->NodeChanged(node);
}

bool EqualTrees(const CommandTree& a, const CommandTree& b)
{
    const CommandNode* p = a.First();
    const CommandNode* q = b.First();
    for (; p && q; p = CommandTree::Next(p), q = CommandTree::Next(q)) {
        if (p->Name() != q->Name() || p->ImageIndex() != q->ImageIndex() || p->Level() != q->Level()
            || p->IsCommand() != q->IsCommand() || (p->IsCommand() && !(*p->Info() == *q->Info())))
            return false;
    }
    return !p && !q;
}

bool ApplyMoveChoice(CommandTree& tree, CommandNode* drag, CommandNode* drop, MoveChoice choice)
{
    if (choice == MoveChoice::Cancel)
        return false;
    if (!drag || !drop)
        return true;
    CommandNode* oldParent = drag->Parent();
    bool moved = false;
    switch (choice) {
    case MoveChoice::IntoGroup:
        moved = drop->IsGroup() && tree.Move(drag, drop, -1);
        break;
    case MoveChoice::Before:
        moved = !drag->Contains(drop) && tree.Move(drag, drop->Parent(), drop->Row());
        break;
    case MoveChoice::After:
        moved = !drag->Contains(drop) && tree.Move(drag, drop->Parent(), drop->Row() + 1);
        break;
    case MoveChoice::Cancel:
        break;
    }
    if (moved) {
        if (CommandNode* newParent = drag->Parent(); newParent && newParent->IsGroup())
            tree.SetImageIndex(newParent, image::GroupExpanded);
        if (oldParent && oldParent->IsGroup() && oldParent->ChildCount() == 0)
            tree.SetImageIndex(oldParent, image::GroupCollapsed);
    }
    return true;
}

} // namespace vpx
