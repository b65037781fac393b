#pragma once

#include "library/CommandFile.h"
#include "library/CommandTree.h"

#include <QDir>
#include <QTemporaryDir>

#include <fstream>
#include <iterator>
#include <string>

namespace vpx::test {

inline std::string DataPath(const char* name)
{
    return std::string(VPX_TEST_DATA_DIR) + "/library/" + name;
}

inline std::string ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void WriteBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

// A compact picture of a tree: name, image in brackets, a command's mode code and
// string after "=", children in braces.
inline std::string Dump(const CommandNode* node)
{
    std::string s;
    for (; node; node = node->NextSibling()) {
        if (!s.empty())
            s += ' ';
        s += node->Name() + '[' + std::to_string(node->ImageIndex()) + ']';
        if (const TCommandInfo* info = node->Info())
            s += '=' + std::to_string(ModeCode(*info)) + ':' + info->Command;
        if (node->ChildCount() > 0)
            s += '{' + Dump(node->Child(0)) + '}';
    }
    return s;
}

inline std::string Dump(const CommandTree& tree)
{
    return Dump(tree.First());
}

inline std::string DumpLines(std::initializer_list<const char*> lines)
{
    CommandTree tree;
    std::vector<AnsiString> v(lines.begin(), lines.end());
    ReadTree(tree, v);
    return Dump(tree);
}

} // namespace vpx::test
