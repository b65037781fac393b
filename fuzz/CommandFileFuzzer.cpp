// The command file reader: SplitLinesUpToNul, ReadTreeLevel through ReadTree, and
// LoadCommandFile on the same bytes in a real file; what it reads is written
// back and read again.

#include "FuzzCheck.h"

#include "library/CommandFile.h"
#include "library/CommandTree.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <unistd.h>

namespace {

// One scratch file per process, so parallel fuzzers never share it.
const std::string& ScratchPath()
{
    static const std::string path = [] {
        const char* dir = std::getenv("TMPDIR");
        return std::string(dir && *dir ? dir : "/tmp") + "/vpx-fuzz-command-file-" + std::to_string(getpid()) + ".vpx";
    }();
    return path;
}

bool HasGroupNamedWithEquals(const vpx::CommandTree& tree)
{
    for (const vpx::CommandNode* node = tree.First(); node; node = vpx::CommandTree::Next(node))
        if (node->IsGroup() && node->Name().find('=') != std::string::npos)
            return true;
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(bytes), size);
    const std::vector<vpx::AnsiString> lines = vpx::SplitLinesUpToNul(text);
    for (const vpx::AnsiString& line : lines)
        VPX_FUZZ_CHECK(line.find_first_of(std::string_view("\r\n\0", 3)) == std::string::npos);

    vpx::CommandTree tree;
    vpx::ReadTree(tree, lines);
    VPX_FUZZ_CHECK(tree.NodeCount() <= lines.size());
    const std::string written = vpx::FormatCommandFile(tree);

    // The file path reads exactly what the in-memory path reads.
    if (std::FILE* f = std::fopen(ScratchPath().c_str(), "wb")) {
        const bool ok = std::fwrite(bytes, 1, size, f) == size;
        std::fclose(f);
        if (ok) {
            vpx::CommandTree loaded;
            loaded.AddGroup(nullptr, "stale");
            VPX_FUZZ_CHECK(vpx::LoadCommandFile(ScratchPath(), loaded) == vpx::CommandFileStatus::Ok);
            VPX_FUZZ_CHECK(vpx::FormatCommandFile(loaded) == written);
        }
    }

    // What the writer wrote reads back as the same tree, unless a group's name
    // holds "=", which the format cannot carry.
    if (!HasGroupNamedWithEquals(tree)) {
        vpx::CommandTree reread;
        vpx::ReadTree(reread, vpx::SplitLinesUpToNul(written));
        VPX_FUZZ_CHECK(vpx::FormatCommandFile(reread) == written);
        VPX_FUZZ_CHECK(vpx::EqualTrees(tree, reread));
    }
    return 0;
}
