#pragma once

// The command file ("vpx"): one line per node in pre-order, "%d %s" for a group and
// "%d %s=%d:%s" for a command, code page 932 bytes as held, CR LF after every line.
// No GUI here: callers show the messages and the busy cursor.

#include "library/CommandTree.h"
#include "platform/TrNoop.h"

#include <string>
#include <string_view>
#include <vector>

namespace vpx {

enum class CommandFileStatus { Ok, OpenFailed, CreateFailed };

inline constexpr const char* kCommandFileOpenFailed = VPX_TR_NOOP("CommandFile", "コマンドファイルのオープンに失敗しました");
inline constexpr const char* kCommandFileCreateFailed = VPX_TR_NOOP("CommandFile", "コマンドファイルの作成に失敗しました");

// The message for a failed status (UTF-8), empty for Ok.
const char* CommandFileMessage(CommandFileStatus status) noexcept;

// Splits file bytes into lines of their own: CR LF, a lone LF and a lone CR each
// end a line, and the first NUL ends the text (nothing after it is read). No empty
// line is added after a final line end.
std::vector<AnsiString> SplitLinesUpToNul(std::string_view text);
// The same lines as views into `text`; without `stopAtNul` the text after a NUL is
// split too (to count what the reader never sees).
std::vector<std::string_view> LineViews(std::string_view text, bool stopAtNul = true);

// One parsed line. `info` is empty for a group line.
struct ParsedLine {
    int level = 0;
    AnsiString name;
    std::optional<TCommandInfo> info;
};
// nullopt for a line the reader skips.
std::optional<ParsedLine> ParseCommandLine(std::string_view line);

// The recursive step of the reader over `lines`, sharing `index` across depths.
// `level` is the depth of `current` in the tree (0 when there is none).
void ReadTreeLevel(CommandTree& tree, const std::vector<AnsiString>& lines, CommandNode* current,
                   int level, std::size_t& index);

// The tree the lines stand for, built into `tree` (which should be empty).
void ReadTree(CommandTree& tree, const std::vector<AnsiString>& lines);

// The file's bytes for the tree: empty for an empty tree.
std::string FormatCommandFile(const CommandTree& tree);

// Replaces the tree with the file's contents. The tree is emptied first, so it
// stays empty when the file cannot be read.
CommandFileStatus LoadCommandFile(const std::string& path, CommandTree& tree);

// Writes the tree, creating the file or replacing its contents. A write that fails
// after the file was created throws std::runtime_error.
CommandFileStatus SaveCommandFile(const std::string& path, const CommandTree& tree);

} // namespace vpx
