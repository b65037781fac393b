#include "library/CommandFileCheck.h"

#include "platform/Utf8Cp932.h"

#include <algorithm>
#include <cstdio>
#include <memory>

namespace vpx {

namespace {

struct FileCloser {
    void operator()(std::FILE* f) const noexcept { std::fclose(f); }
};

bool HoldsOffset(const std::vector<std::size_t>& sorted, std::size_t from, std::size_t to)
{
    const auto it = std::lower_bound(sorted.begin(), sorted.end(), from);
    return it != sorted.end() && *it < to;
}

} // namespace

CommandFileStatus ReadFileBytes(const std::string& path, std::string& bytes)
{
    bytes.clear();
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file)
        return CommandFileStatus::OpenFailed;
    char buffer[65536];
    std::size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, file.get())) > 0)
        bytes.append(buffer, n);
    if (std::ferror(file.get())) {
        bytes.clear();
        return CommandFileStatus::OpenFailed;
    }
    return CommandFileStatus::Ok;
}

std::size_t ReadCommandText(std::string_view text, CommandTree& tree, const std::vector<std::size_t>& missing)
{
    const std::vector<std::string_view> views = LineViews(text);
    {
        const std::vector<AnsiString> lines(views.begin(), views.end());
        CommandTree loaded;
        ReadTree(loaded, lines);
        tree.ReplaceWith(loaded);
    }
    // The reader takes the parsable lines in order until it stops (at an empty
    // line, or where the levels end the reading), one node each: the first
    // NodeCount() parsable lines are the ones read.
    std::size_t unread = tree.NodeCount();
    std::size_t notShown = 0;
    bool stopped = false;
    for (const std::string_view line : views) {
        if (line.empty()) {
            stopped = true;
            continue;
        }
        if (stopped || unread == 0 || !ParseCommandLine(line)) {
            ++notShown;
            continue;
        }
        --unread;
        const auto from = static_cast<std::size_t>(line.data() - text.data());
        if (!IsValidCp932(line) || HoldsOffset(missing, from, from + line.size()))
            ++notShown;
    }
    if (const std::size_t nul = text.find('\0'); nul != std::string_view::npos) {
        for (const std::string_view line : LineViews(text.substr(nul + 1), false))
            notShown += line.empty() ? 0 : 1;
    }
    return notShown;
}

} // namespace vpx
