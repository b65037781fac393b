#include "LibraryTestUtil.h"

#include "library/CommandFile.h"

#include <QElapsedTimer>

#include <gtest/gtest.h>

namespace vpx::test {
namespace {

// A file of more than 10 MB that is one chain of groups, each inside the one
// before, with a command at the bottom: neither the reader nor the writer may
// need stack or time in proportion to depth times size.
TEST(CommandFileFaults, TenMegabyteChainReadsWritesAndReleases)
{
    std::string text;
    text.reserve(12u << 20);
    int depth = 0;
    while (text.size() < (10u << 20))
        text += std::to_string(depth++) + " g\r\n";
    text += std::to_string(depth) + " bottom=3:%LENS, 1, %BSLENE\r\n";

    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string path = dir.filePath(QStringLiteral("deep.vpx")).toStdString();
    WriteBytes(path, text);

    const std::size_t liveBefore = CommandNode::LiveCount();
    QElapsedTimer timer;
    timer.start();
    {
        CommandTree tree;
        ASSERT_EQ(LoadCommandFile(path, tree), CommandFileStatus::Ok);
        ASSERT_EQ(tree.RootCount(), 1);
        EXPECT_EQ(tree.NodeCount(), static_cast<std::size_t>(depth) + 1);
        const CommandNode* bottom = tree.Last();
        ASSERT_NE(bottom, nullptr);
        EXPECT_EQ(bottom->Name(), "bottom");
        ASSERT_TRUE(bottom->IsCommand());
        EXPECT_EQ(bottom->Info()->ByteOrder, 1);

        EXPECT_EQ(FormatCommandFile(tree), text);
        const std::string copy = dir.filePath(QStringLiteral("copy.vpx")).toStdString();
        ASSERT_EQ(SaveCommandFile(copy, tree), CommandFileStatus::Ok);
        EXPECT_EQ(ReadBytes(copy), text);
    }
    EXPECT_EQ(CommandNode::LiveCount(), liveBefore);
    // Generous for a sanitizer build on a busy machine; quadratic work would take minutes.
    EXPECT_LT(timer.elapsed(), 20000);
}

// Deep chains one after another, with lines the reader skips and a climb back to
// the top between them: every chain ends up as its own root.
TEST(CommandFileFaults, RepeatedDeepChainsClimbBackToTheTop)
{
    const int chains = 4, depth = 50000;
    std::string text;
    for (int c = 0; c < chains; ++c) {
        for (int level = 0; level < depth; ++level) {
            text += std::to_string(level) + " g" + std::to_string(c) + "\r\n";
            if (level % 1000 == 999)
                text += "x not a level\r\n";
        }
    }
    CommandTree tree;
    ReadTree(tree, SplitLinesUpToNul(text));
    ASSERT_EQ(tree.RootCount(), chains);
    EXPECT_EQ(tree.NodeCount(), static_cast<std::size_t>(chains) * depth);
    for (int c = 0; c < chains; ++c)
        EXPECT_EQ(tree.Root(c)->Name(), "g" + std::to_string(c));
}

} // namespace
} // namespace vpx::test
