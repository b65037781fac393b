#pragma once

// Reading a command file with an account of what the tree cannot show: lines the
// reader skips or never reaches, text after a NUL byte, and lines whose bytes are
// not code page 932 characters. A file that is not a command file (a binary, a
// file in another encoding) is then told apart from one that is, before a save
// writes over what the user never saw. Plain C++, no Qt.

#include "library/CommandFile.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace vpx {

// The whole file; OpenFailed when it cannot be opened or read (a folder, say).
CommandFileStatus ReadFileBytes(const std::string& path, std::string& bytes);

// Replaces `tree` with the nodes `text` (code page 932) stands for, read exactly as
// LoadCommandFile reads a file, and returns the number of lines not shown as they
// stand: non-empty lines not read, non-empty lines after a NUL, and lines read
// whose bytes are not all code page 932 characters or that hold one of the
// `missing` offsets (characters a conversion could not keep, sorted).
std::size_t ReadCommandText(std::string_view text, CommandTree& tree,
                            const std::vector<std::size_t>& missing = {});

} // namespace vpx
