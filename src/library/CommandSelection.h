#pragma once

// What selecting a node in the command tree means for the window: which actions
// are enabled, what goes into the direct-input box and what the selection panel
// says. The main window only applies the answer to its widgets.

#include "library/CommandTree.h"

#include <QString>

#include <optional>
#include <string_view>

namespace vpx {

struct SelectionActions {
    bool send = false;         // ActionSend
    bool sendSelected = false; // ActionSendSelected
    bool property = false;     // ActionProperty
    bool addGroup = false;     // ActionAddGroup
    bool addCommand = false;   // ActionAddCommand
    bool deleteNode = false;   // ActionDelete
    bool goFind = false;       // ActionGoFind
    bool findPrev = false;     // ActionFindPrev
    bool findNext = false;     // ActionFindNext
    bool search = false;       // the menu-bar button tbSearch
    // The text to put into cboCommand; nullopt leaves the box as it is.
    std::optional<AnsiString> directInput;

    friend bool operator==(const SelectionActions&, const SelectionActions&) = default;
};

// The table of tvCommandChange. `directInputEmpty` is whether cboCommand is empty
// now; `findDone` whether a search was started from the find dialog.
SelectionActions ActionsForSelection(const CommandNode* node, bool directInputEmpty, bool findDone);

// The text of the selection panel pnlSelected. `name` is the node's name, or the
// newly typed one during an in-place rename.
QString SelectionText(const CommandNode* node, std::string_view name);
inline QString SelectionText(const CommandNode* node)
{
    return SelectionText(node, node ? std::string_view(node->Name()) : std::string_view());
}

} // namespace vpx
