#include "LibraryTestUtil.h"

#include "library/CommandFile.h"

#include <gtest/gtest.h>

#include <random>

namespace vpx::test {
namespace {

TEST(CommandFile, JapaneseFileReadsAndWritesBackByteForByte)
{
    const std::string original = ReadBytes(DataPath("japanese.vpx"));
    ASSERT_FALSE(original.empty());
    CommandTree tree;
    ASSERT_EQ(LoadCommandFile(DataPath("japanese.vpx"), tree), CommandFileStatus::Ok);
    EXPECT_EQ(tree.NodeCount(), 14u);
    EXPECT_EQ(FormatCommandFile(tree), original);

    QTemporaryDir dir;
    const std::string out = dir.filePath(QStringLiteral("copy.vpx")).toStdString();
    ASSERT_EQ(SaveCommandFile(out, tree), CommandFileStatus::Ok);
    EXPECT_EQ(ReadBytes(out), original);
}

TEST(CommandFile, JapaneseFileKeepsSplitCharactersWhole)
{
    CommandTree tree;
    ASSERT_EQ(LoadCommandFile(DataPath("japanese.vpx"), tree), CommandFileStatus::Ok);
    // 装置 > 状態表示 > ソフト: name before the first "=", string after the first ":".
    const CommandNode* soft = tree.Root(0)->Child(0)->Child(1);
    ASSERT_TRUE(soft && soft->IsCommand());
    EXPECT_EQ(FromAnsi(soft->Name()), QStringLiteral("ソフト"));
    EXPECT_EQ(FromAnsi(soft->Info()->Command), QStringLiteral("\"ポート=1: 表示\""));
    EXPECT_EQ(soft->Info()->Mode, 0);
    EXPECT_EQ(soft->Info()->ByteOrder, 1);
    EXPECT_EQ(soft->ImageIndex(), image::CommandMixedBig);

    const CommandNode* reset = tree.Root(0)->Child(1);
    EXPECT_EQ(FromAnsi(reset->Info()->Command), QStringLiteral("RESET = 1 : ソ ポ 表"));
    EXPECT_EQ(reset->ImageIndex(), image::CommandText);
    EXPECT_EQ(tree.Root(0)->Child(2)->ImageIndex(), image::CommandEmpty);
    EXPECT_EQ(FromAnsi(tree.Root(0)->Child(3)->Name()), QStringLiteral("コロン: 名前 付き"));
    EXPECT_EQ(FromAnsi(tree.Root(1)->Name()), QStringLiteral("ルート コマンド"));
    EXPECT_EQ(tree.Root(1)->Info()->ByteOrder, -1);
}

TEST(CommandFile, LineEndsOfEveryKindReadTheSame)
{
    CommandTree reference;
    ASSERT_EQ(LoadCommandFile(DataPath("small_crlf.vpx"), reference), CommandFileStatus::Ok);
    ASSERT_EQ(reference.NodeCount(), 5u);
    for (const char* name : {"small_lf.vpx", "small_cr.vpx", "small_cr_no_final_end.vpx"}) {
        SCOPED_TRACE(name);
        CommandTree tree;
        ASSERT_EQ(LoadCommandFile(DataPath(name), tree), CommandFileStatus::Ok);
        EXPECT_TRUE(EqualTrees(tree, reference));
        EXPECT_EQ(FormatCommandFile(tree), ReadBytes(DataPath("small_crlf.vpx")));
    }
}

TEST(CommandFile, SkippedLinesLeaveTheRestIntact)
{
    CommandTree tree;
    ASSERT_EQ(LoadCommandFile(DataPath("skipped_lines.vpx"), tree), CommandFileStatus::Ok);
    EXPECT_EQ(Dump(tree), "Top[0]{Kept[8]=0:0x01 a[7]=1:b Empty[11]=0:}");
}

TEST(CommandFile, LevelRulesFromFiles)
{
    struct Case {
        const char* file;
        const char* tree;
        const char* saved;
    } cases[] = {
        {"level_gap.vpx", "A[0]{B[0]}", "0 A\r\n1 B\r\n"},
        {"first_line_level_one.vpx", "G[0]{H[0]{I[8]=0:x} J[0]}", "0 G\r\n1 H\r\n2 I=0:x\r\n1 J\r\n"},
        {"empty_line_middle.vpx", "A[0]{B[8]=0:x}", "0 A\r\n1 B=0:x\r\n"},
        {"empty.vpx", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        CommandTree tree;
        ASSERT_EQ(LoadCommandFile(DataPath(c.file), tree), CommandFileStatus::Ok);
        EXPECT_EQ(Dump(tree), c.tree);
        EXPECT_EQ(FormatCommandFile(tree), c.saved);
    }
}

TEST(CommandFile, ParseLineCases)
{
    struct Case {
        const char* line;
        bool usable;
        int level;
        const char* name;
        int code; // -1 for a group line
        const char* command;
    } cases[] = {
        {"0 Device", true, 0, "Device", -1, ""},
        {"0 two  words  ", true, 0, "two  words  ", -1, ""},
        {"0 ", true, 0, "", -1, ""},
        {"3 Read=2:0x01,0x03", true, 3, "Read", 2, "0x01,0x03"},
        {"0 a:b=3:x=y:z w", true, 0, "a:b", 3, "x=y:z w"},
        {"0 name=0:", true, 0, "name", 0, ""},
        {"-2 A", true, -2, "A", -1, ""},
        {"0 A=7:x", false, 0, "", 0, ""},
        {"0 A=-1:x", false, 0, "", 0, ""},
        {"0 A=x", false, 0, "", 0, ""},
        {"0 A=:x", false, 0, "", 0, ""},
        {"X A", false, 0, "", 0, ""},
        {"0A", false, 0, "", 0, ""},
        {" 0 A", false, 0, "", 0, ""},
        {"+1 A", false, 0, "", 0, ""},
        {"99999999999 A", false, 0, "", 0, ""},
        {"- A", false, 0, "", 0, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        const auto parsed = ParseCommandLine(c.line);
        ASSERT_EQ(parsed.has_value(), c.usable);
        if (!parsed)
            continue;
        EXPECT_EQ(parsed->level, c.level);
        EXPECT_EQ(parsed->name, c.name);
        EXPECT_EQ(parsed->info.has_value(), c.code >= 0);
        if (parsed->info) {
            EXPECT_EQ(ModeCode(*parsed->info), c.code);
            EXPECT_EQ(parsed->info->Command, c.command);
        }
    }
}

TEST(CommandFile, SplitStepsOverDoubleByteCharacters)
{
    // A lead byte swallows the byte after it, so an "=" right behind a lone lead
    // byte belongs to that character and the line is a group line.
    const auto parsed = ParseCommandLine("0 \x81=0:x");
    ASSERT_TRUE(parsed);
    EXPECT_FALSE(parsed->info);
    EXPECT_EQ(parsed->name, "\x81=0:x");
}

TEST(CommandFile, LevelWalk)
{
    struct Case {
        std::initializer_list<const char*> lines;
        const char* tree;
    } cases[] = {
        // Siblings after a deeper subtree return to their own level.
        {{"0 A", "1 B", "2 C=0:c", "1 D", "0 E"}, "A[0]{B[0]{C[8]=0:c} D[0]} E[0]"},
        // A line below a command added as a child goes to that command's parent.
        {{"0 A", "1 C=0:x", "2 D=0:y"}, "A[0]{C[8]=0:x D[8]=0:y}"},
        // A command can get children from a file when it became the current node.
        {{"0 C=0:x", "1 D=0:y", "1 E"}, "C[8]=0:x{D[8]=0:y E[0]}"},
        // A first line above level 0 is taken as a root, then the reading stops.
        {{"1 A=0:x", "0 B"}, "A[8]=0:x"},
        // ...inside the first node's own read, a level-0 line is still its sibling.
        {{"1 A", "0 B", "-1 C", "0 D"}, "A[0] B[0]"},
        // A negative level at the top ends the reading.
        {{"0 A", "-1 B", "0 C"}, "A[0]"},
        // An empty line ends the reading at every depth.
        {{"0 A", "1 B", "2 C", "", "0 D"}, "A[0]{B[0]{C[0]}}"},
        {{"", "0 A"}, ""},
        // Skipped lines are passed over without ending anything.
        {{"0 A", "junk", "1 B", "0 C=9:x", "0 D"}, "A[0]{B[0]} D[0]"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.tree);
        EXPECT_EQ(DumpLines(c.lines), c.tree);
    }
}

TEST(CommandFile, SplitLinesHandlesEveryLineEndAndNul)
{
    using V = std::vector<AnsiString>;
    EXPECT_EQ(SplitLinesUpToNul(""), V{});
    EXPECT_EQ(SplitLinesUpToNul("a"), V{"a"});
    EXPECT_EQ(SplitLinesUpToNul("a\r\nb\nc\rd"), (V{"a", "b", "c", "d"}));
    EXPECT_EQ(SplitLinesUpToNul("a\r\n"), V{"a"});
    EXPECT_EQ(SplitLinesUpToNul("a\r\n\r\n"), (V{"a", ""}));
    EXPECT_EQ(SplitLinesUpToNul("a\n\rb"), (V{"a", "", "b"}));
    EXPECT_EQ(SplitLinesUpToNul(std::string_view("a\r\nb\0c\r\n", 9)), (V{"a", "b"}));
}

TEST(CommandFile, ModeCodesTheWriterChooses)
{
    struct Case {
        std::uint8_t mode;
        int byteOrder;
        int code;
        int readBack;
    } cases[] = {{0, -1, 0, -1}, {0, 0, 2, 0}, {0, 1, 3, 1}, {0, 7, 3, 1}, {1, -1, 1, -1}, {1, 0, 1, -1}, {1, 1, 1, -1}};
    for (const Case& c : cases) {
        CommandTree tree;
        tree.AddCommand(nullptr, "C", TCommandInfo{"x", c.mode, c.byteOrder});
        const std::string text = FormatCommandFile(tree);
        EXPECT_EQ(text, "0 C=" + std::to_string(c.code) + ":x\r\n");
        CommandTree back;
        ReadTree(back, SplitLinesUpToNul(text));
        ASSERT_EQ(back.RootCount(), 1);
        EXPECT_EQ(back.Root(0)->Info()->Mode, c.mode);
        EXPECT_EQ(back.Root(0)->Info()->ByteOrder, c.readBack);
    }
}

TEST(CommandFile, GroupNamesWithEqualsDoNotSurviveTheFile)
{
    CommandTree tree;
    tree.AddGroup(nullptr, "a=b");
    tree.AddGroup(nullptr, "a=1:b");
    CommandTree back;
    ReadTree(back, SplitLinesUpToNul(FormatCommandFile(tree)));
    EXPECT_EQ(Dump(back), "a[7]=1:b");
}

// Groups and commands at random depths, every mode code, names and strings with
// blanks, ":", "=" in strings and double-byte characters with awkward trail bytes.
void BuildRandomTree(CommandTree& tree, std::mt19937& rng, int nodes)
{
    const char* pieces[] = {"A", " ", ":", "\x95\x5c", "\x83\x7c", "\x83\x5c", "x", "0x01", "\x88\xa2"};
    auto text = [&](bool allowEquals) {
        std::string s;
        const int n = static_cast<int>(rng() % 6);
        for (int i = 0; i < n; ++i)
            s += pieces[rng() % std::size(pieces)];
        if (allowEquals && rng() % 3 == 0)
            s += "=";
        return s;
    };
    std::vector<CommandNode*> groups{nullptr};
    for (int i = 0; i < nodes; ++i) {
        CommandNode* parent = groups[rng() % groups.size()];
        if (rng() % 3 == 0) {
            groups.push_back(tree.AddGroup(parent, "G" + text(false)));
        } else {
            const int code = static_cast<int>(rng() % 4);
            tree.AddCommand(parent, text(false), *InfoFromModeCode(code, text(true)));
        }
    }
}

TEST(CommandFile, RandomTreeRoundTripsThroughAFile)
{
    QTemporaryDir dir;
    const std::string path = dir.filePath(QStringLiteral("random.vpx")).toStdString();
    for (unsigned seed : {1u, 2u, 3u}) {
        SCOPED_TRACE(seed);
        std::mt19937 rng(seed);
        CommandTree tree;
        BuildRandomTree(tree, rng, 3000);
        ASSERT_EQ(SaveCommandFile(path, tree), CommandFileStatus::Ok);
        CommandTree back;
        back.AddGroup(nullptr, "old");
        ASSERT_EQ(LoadCommandFile(path, back), CommandFileStatus::Ok);
        EXPECT_EQ(back.NodeCount(), 3000u);
        EXPECT_TRUE(EqualTrees(tree, back));
        EXPECT_EQ(FormatCommandFile(back), ReadBytes(path));
    }
}

TEST(CommandFile, EmptyTreeWritesZeroBytes)
{
    QTemporaryDir dir;
    const std::string path = dir.filePath(QStringLiteral("empty.vpx")).toStdString();
    WriteBytes(path, "0 old\r\n");
    CommandTree tree;
    ASSERT_EQ(SaveCommandFile(path, tree), CommandFileStatus::Ok);
    EXPECT_EQ(ReadBytes(path), "");
}

TEST(CommandFile, FailuresReportTheirStatusAndLeaveTheTreeEmptyOnRead)
{
    QTemporaryDir dir;
    CommandTree tree;
    tree.AddGroup(nullptr, "kept until the read");
    EXPECT_EQ(LoadCommandFile(dir.filePath(QStringLiteral("missing.vpx")).toStdString(), tree),
              CommandFileStatus::OpenFailed);
    EXPECT_TRUE(tree.Empty());

    tree.AddGroup(nullptr, "x");
    EXPECT_EQ(LoadCommandFile(dir.path().toStdString(), tree), CommandFileStatus::OpenFailed);
    EXPECT_TRUE(tree.Empty());

    tree.AddGroup(nullptr, "y");
    EXPECT_EQ(SaveCommandFile(dir.filePath(QStringLiteral("no/such/folder.vpx")).toStdString(), tree),
              CommandFileStatus::CreateFailed);
    EXPECT_EQ(SaveCommandFile(dir.path().toStdString(), tree), CommandFileStatus::CreateFailed);
    EXPECT_EQ(tree.RootCount(), 1);

    EXPECT_STREQ(CommandFileMessage(CommandFileStatus::OpenFailed), "コマンドファイルのオープンに失敗しました");
    EXPECT_STREQ(CommandFileMessage(CommandFileStatus::CreateFailed), "コマンドファイルの作成に失敗しました");
}

TEST(CommandFile, WriteErrorAfterCreationIsNotReportedAsSuccess)
{
    if (!QFile::exists(QStringLiteral("/dev/full")))
        GTEST_SKIP() << "no /dev/full";
    CommandTree tree;
    tree.AddGroup(nullptr, std::string(100000, 'g'));
    EXPECT_THROW(SaveCommandFile("/dev/full", tree), std::runtime_error);
}

TEST(CommandFile, DeepChainIsReadAndReleasedWithoutRecursionTrouble)
{
    std::string text;
    const int depth = 5000;
    for (int i = 0; i < depth; ++i)
        text += std::to_string(i) + " g\r\n";
    CommandTree tree;
    ReadTree(tree, SplitLinesUpToNul(text));
    EXPECT_EQ(tree.NodeCount(), static_cast<std::size_t>(depth));
    EXPECT_EQ(FormatCommandFile(tree), text);
}

} // namespace
} // namespace vpx::test
