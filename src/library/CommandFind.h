#pragma once

// Searching the command tree: the lookup of a command by name that auto-reply uses,
// and the forward and backward searches of the find commands. Every comparison is
// an exact code page 932 substring test that never starts on a trail byte.

#include "library/CommandTree.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>

namespace vpx {

// `text` occurs in `subject` starting on a character boundary. Empty text or an
// empty subject never matches.
bool ContainsText(std::string_view subject, std::string_view text) noexcept;

// The first command (groups skipped) in pre-order whose name contains text.
CommandNode* FindCommandByName(const CommandTree& tree, std::string_view text) noexcept;

// FindCommandByName's answers kept until the tree changes: a lookup row answers
// every datagram it matches, and a walk through a tree of thousands of commands
// per datagram would set the pace of the replies.
class CommandNameLookup {
public:
    const CommandNode* Find(const CommandTree& tree, std::string_view text);

private:
    const CommandTree* m_tree = nullptr;
    std::uint64_t m_revision = 0;
    std::unordered_map<std::string, const CommandNode*> m_found;
};

// The find targets, held as the bits of a byte.
using FindTargets = std::uint8_t;
inline constexpr FindTargets kFindGroupNames = 1;
inline constexpr FindTargets kFindCommandNames = 2;
inline constexpr FindTargets kFindCommandStrings = 4;
inline constexpr FindTargets kDefaultFindTargets = kFindGroupNames | kFindCommandNames;

enum class FindDirection { Forward, Backward };

// Whether one node matches. Searching backward, the group-name flag looks at the
// name of every node, commands included; forward only at groups.
bool NodeMatches(const CommandNode& node, std::string_view text, FindTargets targets,
                 FindDirection direction) noexcept;

// The node the search selects, or nullptr when there is none (no wrap-around;
// nothing selected means no search). The start is the selected node itself when
// includeCurrent is set, else the node after (before) it in pre-order.
CommandNode* FindForward(const CommandNode* selected, bool includeCurrent, std::string_view text,
                         FindTargets targets) noexcept;
CommandNode* FindBackward(const CommandNode* selected, bool includeCurrent, std::string_view text,
                          FindTargets targets) noexcept;

// What the find commands keep for the whole run.
struct FindState {
    AnsiString text;
    FindTargets targets = kDefaultFindTargets;
    bool done = false; // a search was started from the dialog; never cleared
};

} // namespace vpx
