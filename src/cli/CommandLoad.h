#pragma once

// Reading a command file for the command line (kept apart from the auto-reply
// file's reader: the two files' line splitters share a name).

#include "library/CommandTree.h"

#include <string>

namespace vpx::cli {

// Fills `tree` from the file; CliError (exit 2) when it cannot be read.
void LoadCommands(const std::string& path, CommandTree& tree);

} // namespace vpx::cli
