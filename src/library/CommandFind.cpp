#include "library/CommandFind.h"

namespace vpx {

bool ContainsText(std::string_view subject, std::string_view text) noexcept
{
    if (text.empty() || subject.empty())
        return false;
    return FindOnCharBoundary(subject, text) != std::string_view::npos;
}

CommandNode* FindCommandByName(const CommandTree& tree, std::string_view text) noexcept
{
    for (CommandNode* node = tree.First(); node; node = CommandTree::Next(node))
        if (node->IsCommand() && ContainsText(node->Name(), text))
            return node;
    return nullptr;
}

const CommandNode* CommandNameLookup::Find(const CommandTree& tree, std::string_view text)
{
    // As many texts as the table has lookup rows; a table rewritten many times over
    // starts afresh rather than keeping names no row asks for.
    if (m_tree != &tree || m_revision != tree.Revision() || m_found.size() >= 1024) {
        m_found.clear();
        m_tree = &tree;
        m_revision = tree.Revision();
    }
    const std::string key(text);
    if (const auto it = m_found.find(key); it != m_found.end())
        return it->second;
    const CommandNode* node = FindCommandByName(tree, text);
    m_found.emplace(key, node);
    return node;
}

bool NodeMatches(const CommandNode& node, std::string_view text, FindTargets targets,
                 FindDirection direction) noexcept
{
    if (targets & kFindGroupNames) {
        const bool looks = node.IsGroup() || direction == FindDirection::Backward;
        if (looks && ContainsText(node.Name(), text))
            return true;
    }
    if (const TCommandInfo* info = node.Info()) {
        if ((targets & kFindCommandNames) && ContainsText(node.Name(), text))
            return true;
        if ((targets & kFindCommandStrings) && ContainsText(info->Command, text))
            return true;
    }
    return false;
}

CommandNode* FindForward(const CommandNode* selected, bool includeCurrent, std::string_view text,
                         FindTargets targets) noexcept
{
    if (!selected)
        return nullptr;
    CommandNode* node = includeCurrent ? const_cast<CommandNode*>(selected) : CommandTree::Next(selected);
    for (; node; node = CommandTree::Next(node))
        if (NodeMatches(*node, text, targets, FindDirection::Forward))
            return node;
    return nullptr;
}

CommandNode* FindBackward(const CommandNode* selected, bool includeCurrent, std::string_view text,
                          FindTargets targets) noexcept
{
    if (!selected)
        return nullptr;
    CommandNode* node = includeCurrent ? const_cast<CommandNode*>(selected) : CommandTree::Prev(selected);
    for (; node; node = CommandTree::Prev(node))
        if (NodeMatches(*node, text, targets, FindDirection::Backward))
            return node;
    return nullptr;
}

} // namespace vpx
