#include "library/CommandFile.h"

#include "platform/SafeFile.h"

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <memory>
#include <stdexcept>

namespace vpx {

const char* CommandFileMessage(CommandFileStatus status) noexcept
{
    switch (status) {
    case CommandFileStatus::Ok: return "";
    case CommandFileStatus::OpenFailed: return kCommandFileOpenFailed;
    case CommandFileStatus::CreateFailed: return kCommandFileCreateFailed;
    }
    return "";
}

std::vector<std::string_view> LineViews(std::string_view text, bool stopAtNul)
{
    if (const std::size_t nul = text.find('\0'); stopAtNul && nul != std::string_view::npos)
        text = text.substr(0, nul);
    std::vector<std::string_view> lines;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t end = text.find_first_of("\r\n", pos);
        if (end == std::string_view::npos) {
            lines.push_back(text.substr(pos));
            break;
        }
        lines.push_back(text.substr(pos, end - pos));
        pos = end + 1;
        if (text[end] == '\r' && pos < text.size() && text[pos] == '\n')
            ++pos;
    }
    return lines;
}

std::vector<AnsiString> SplitLinesUpToNul(std::string_view text)
{
    const std::vector<std::string_view> views = LineViews(text);
    return {views.begin(), views.end()};
}

namespace {

// First occurrence of an ASCII byte, stepping over double-byte characters.
std::size_t FindChar(std::string_view text, char c, std::size_t from = 0) noexcept
{
    for (std::size_t i = from; i < text.size();) {
        if (text[i] == c)
            return i;
        i += (IsLeadByte(text[i]) && i + 1 < text.size()) ? 2 : 1;
    }
    return std::string_view::npos;
}

// Plain decimal with an optional minus sign, within int.
std::optional<int> ParseInt(std::string_view text) noexcept
{
    if (text.empty() || text == "-")
        return std::nullopt;
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

} // namespace

std::optional<ParsedLine> ParseCommandLine(std::string_view line)
{
    const std::size_t blank = FindChar(line, ' ');
    if (blank == std::string_view::npos)
        return std::nullopt;
    const std::optional<int> level = ParseInt(line.substr(0, blank));
    if (!level)
        return std::nullopt;
    const std::string_view rest = line.substr(blank + 1);
    ParsedLine parsed;
    parsed.level = *level;
    const std::size_t equals = FindChar(rest, '=');
    if (equals == std::string_view::npos) {
        parsed.name = AnsiString(rest);
        return parsed;
    }
    const std::size_t colon = FindChar(rest, ':', equals + 1);
    if (colon == std::string_view::npos)
        return std::nullopt;
    const std::optional<int> code = ParseInt(rest.substr(equals + 1, colon - equals - 1));
    if (!code)
        return std::nullopt;
    parsed.info = InfoFromModeCode(*code, AnsiString(rest.substr(colon + 1)));
    if (!parsed.info)
        return std::nullopt;
    parsed.name = AnsiString(rest.substr(0, equals));
    return parsed;
}

void ReadTreeLevel(CommandTree& tree, const std::vector<AnsiString>& lines, CommandNode* current,
                   int level, std::size_t& index)
{
    // Each group read opens a nested level. The levels are kept on the heap, not
    // as recursive calls: a file may nest groups a million deep.
    struct Level {
        CommandNode* current;
        int level;
    };
    std::vector<Level> levels{{current, level}};
    while (!levels.empty()) {
        Level& at = levels.back();
        const int L = at.current ? at.level : 0;
        if (index >= lines.size() || lines[index].empty())
            return;
        std::optional<ParsedLine> line = ParseCommandLine(lines[index]);
        if (!line) {
            ++index;
            continue;
        }
        const bool isGroup = !line->info;
        if (line->level > L) {
            CommandNode* node = tree.Insert(at.current, -1, std::move(line->name), std::move(line->info));
            ++index;
            if (isGroup) {
                // Read the group's own level; this one goes on when that one ends.
                levels.push_back({node, at.current ? L + 1 : 0});
                continue;
            }
        } else if (line->level == L) {
            CommandNode* parent = at.current ? at.current->Parent() : nullptr;
            at.current = tree.Insert(parent, -1, std::move(line->name), std::move(line->info));
            ++index;
        } else {
            levels.pop_back(); // the line belongs to an outer level
        }
        // A level whose current node is gone ends (only the outermost can have none).
        if (!levels.empty() && !levels.back().current)
            levels.pop_back();
    }
}

void ReadTree(CommandTree& tree, const std::vector<AnsiString>& lines)
{
    std::size_t index = 0;
    ReadTreeLevel(tree, lines, nullptr, 0, index);
}

std::string FormatCommandFile(const CommandTree& tree)
{
    std::string out;
    // Pre-order with each node's depth carried along: asking every node for its
    // depth would cost depth times size on a deeply nested tree.
    std::vector<std::pair<const CommandNode*, int>> pending;
    for (int row = tree.RootCount() - 1; row >= 0; --row)
        pending.emplace_back(tree.Root(row), 0);
    while (!pending.empty()) {
        const auto [node, level] = pending.back();
        pending.pop_back();
        for (int row = node->ChildCount() - 1; row >= 0; --row)
            pending.emplace_back(node->Child(row), level + 1);
        out += std::to_string(level);
        out += ' ';
        out += node->Name();
        if (const TCommandInfo* info = node->Info()) {
            out += '=';
            out += std::to_string(ModeCode(*info));
            out += ':';
            out += info->Command;
        }
        out += "\r\n";
    }
    return out;
}

namespace {

struct FileCloser {
    void operator()(std::FILE* f) const noexcept { std::fclose(f); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

} // namespace

CommandFileStatus LoadCommandFile(const std::string& path, CommandTree& tree)
{
    tree.Clear();
    FilePtr file(std::fopen(path.c_str(), "rb"));
    if (!file)
        return CommandFileStatus::OpenFailed;
    std::string bytes;
    char buffer[65536];
    std::size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, file.get())) > 0)
        bytes.append(buffer, n);
    if (std::ferror(file.get()))
        return CommandFileStatus::OpenFailed; // a folder, or a read error: nothing usable
    CommandTree loaded;
    ReadTree(loaded, SplitLinesUpToNul(bytes));
    tree.ReplaceWith(loaded);
    return CommandFileStatus::Ok;
}

CommandFileStatus SaveCommandFile(const std::string& path, const CommandTree& tree)
{
    // The library is the user's work of months: the old file stays until the new
    // one is completely written.
    if (ReplaceFileContents(path, FormatCommandFile(tree)) == ReplaceStatus::CannotCreate)
        return CommandFileStatus::CreateFailed;
    return CommandFileStatus::Ok;
}

} // namespace vpx
