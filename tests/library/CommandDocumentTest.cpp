#include "LibraryTestUtil.h"

#include "library/CommandDocument.h"
#include "support/FakePrompts.h"

#include <gtest/gtest.h>

namespace vpx::test {
namespace {

const QString kQuestion = QStringLiteral("コマンドデータが変更されています。\r\n保存しますか？");

struct DocumentTest : ::testing::Test {
    FakePrompts prompts;
    CommandDocument doc{prompts};
    QTemporaryDir dir;
    int changes = 0;
    std::vector<bool> busy;

    void SetUp() override
    {
        doc.OnChanged = [this] { ++changes; };
        doc.OnBusy = [this](bool b) { busy.push_back(b); };
        doc.SetModified(false);
    }
    QString Path(const char* name) const { return dir.filePath(QString::fromUtf8(name)); }
    QString Sample()
    {
        const QString p = Path("sample.vpx");
        WriteBytes(p.toStdString(), "0 Device\r\n1 Read=2:0x01\r\n");
        return p;
    }
};

TEST_F(DocumentTest, CaptionInEveryState)
{
    EXPECT_EQ(doc.Caption(), QStringLiteral("Vorpex - 無題 "));
    doc.SetModified(true);
    EXPECT_EQ(doc.Caption(), QStringLiteral("Vorpex - 無題 (変更)"));
    ASSERT_TRUE(doc.OpenFromCommandLine(Sample()));
    EXPECT_EQ(doc.Caption(), QStringLiteral("Vorpex - sample.vpx "));
    doc.SetModified(true);
    EXPECT_EQ(doc.Caption(), QStringLiteral("Vorpex - sample.vpx (変更)"));
    EXPECT_GE(changes, 4);
}

TEST_F(DocumentTest, SaveEnabledOnlyWithAPathAndAChange)
{
    EXPECT_FALSE(doc.SaveEnabled());
    doc.SetModified(true);
    EXPECT_FALSE(doc.SaveEnabled()); // no path yet
    prompts.fileAnswers.push_back(Path("new.vpx"));
    ASSERT_TRUE(doc.SaveCommandFileAs());
    EXPECT_EQ(doc.FileName(), Path("new.vpx"));
    EXPECT_FALSE(doc.SaveEnabled()); // until the next edit
    doc.SetModified(true);
    EXPECT_TRUE(doc.SaveEnabled());
    doc.ActionSave();
    EXPECT_FALSE(doc.Modified());
    EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(DocumentTest, SaveAsDialogAndFailure)
{
    doc.Tree().AddGroup(nullptr, "G");
    doc.SetModified(true);
    prompts.fileAnswers.push_back(Path("no/such/folder/x.vpx"));
    EXPECT_FALSE(doc.SaveCommandFileAs());
    ASSERT_EQ(prompts.fileRequests.size(), 1u);
    const FileDialogRequest& r = prompts.fileRequests[0];
    EXPECT_EQ(r.filters, QStringList{QStringLiteral("ｺﾏﾝﾄﾞﾌｧｲﾙ(*.vpx)")});
    EXPECT_EQ(r.defaultSuffix, QStringLiteral("vpx"));
    EXPECT_TRUE(r.fileName.isEmpty());
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].text, QStringLiteral("コマンドファイルの作成に失敗しました"));
    EXPECT_EQ(prompts.messages[0].caption, QStringLiteral("エラー"));
    EXPECT_EQ(prompts.messages[0].icon, PromptIcon::Error);
    EXPECT_TRUE(doc.Modified());
    EXPECT_TRUE(doc.FileName().isEmpty());
    EXPECT_EQ(doc.Tree().RootCount(), 1);
    EXPECT_EQ(busy, (std::vector<bool>{true, false}));

    prompts.fileAnswers.push_back(std::nullopt); // cancelled
    EXPECT_FALSE(doc.SaveCommandFileAs());
    EXPECT_TRUE(doc.Modified());
}

TEST_F(DocumentTest, FailedSaveKeepsTheFlag)
{
    ASSERT_TRUE(doc.OpenFromCommandLine(Sample()));
    doc.SetModified(true);
    QFile::remove(doc.FileName());
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("sample.vpx"))); // now a folder: cannot be created
    doc.ActionSave();
    EXPECT_TRUE(doc.Modified());
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].text, QStringLiteral("コマンドファイルの作成に失敗しました"));
}

TEST_F(DocumentTest, YesAlwaysGoesThroughSaveAs)
{
    ASSERT_TRUE(doc.OpenFromCommandLine(Sample()));
    doc.SetModified(true);
    prompts.answers.push_back(PromptButton::Yes);
    prompts.fileAnswers.push_back(Path("other.vpx"));
    doc.ActionNew();
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].text, kQuestion);
    EXPECT_EQ(prompts.messages[0].caption, QStringLiteral("Vorpex"));
    EXPECT_EQ(prompts.messages[0].icon, PromptIcon::Question);
    EXPECT_EQ(prompts.messages[0].buttons, int(PromptButton::Yes) | int(PromptButton::No) | int(PromptButton::Cancel));
    ASSERT_EQ(prompts.fileRequests.size(), 1u);
    EXPECT_EQ(prompts.fileRequests[0].fileName, Path("sample.vpx")); // offered, not used silently
    EXPECT_EQ(ReadBytes(Path("other.vpx").toStdString()), "0 Device\r\n1 Read=2:0x01\r\n");
    // ...and the New went ahead.
    EXPECT_TRUE(doc.Tree().Empty());
    EXPECT_TRUE(doc.FileName().isEmpty());
    EXPECT_FALSE(doc.Modified());
}

TEST_F(DocumentTest, CancelAbandonsNewOpenAndClose)
{
    struct Case {
        const char* name;
        std::function<bool(CommandDocument&)> run; // whether the command went ahead
        std::deque<PromptButton> answers;
        std::deque<std::optional<QString>> files;
    };
    const Case cases[] = {
        {"New, Cancel", [](CommandDocument& d) { d.ActionNew(); return d.Tree().Empty(); }, {PromptButton::Cancel}, {}},
        {"Open, Cancel", [](CommandDocument& d) { d.ActionOpen(); return d.Tree().Empty(); }, {PromptButton::Cancel}, {}},
        {"close, Cancel", [](CommandDocument& d) { return d.CanClose(); }, {PromptButton::Cancel}, {}},
        {"close, Yes then cancelled Save As", [](CommandDocument& d) { return d.CanClose(); },
         {PromptButton::Yes}, {std::nullopt}},
        {"New, Yes then cancelled Save As", [](CommandDocument& d) { d.ActionNew(); return d.Tree().Empty(); },
         {PromptButton::Yes}, {std::nullopt}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakePrompts p;
        CommandDocument d(p);
        d.Tree().AddGroup(nullptr, "edited");
        d.SetModified(true);
        p.answers = c.answers;
        p.fileAnswers = c.files;
        EXPECT_FALSE(c.run(d));
        EXPECT_EQ(d.Tree().RootCount(), 1);
        EXPECT_TRUE(d.Modified());
        EXPECT_EQ(p.messages.size(), 1u);
        // Cancel at the prompt shows no file dialog for Open.
        EXPECT_EQ(p.fileRequests.size(), c.files.size());
    }
}

TEST_F(DocumentTest, NoDiscardsAndUnmodifiedDoesNotAsk)
{
    doc.Tree().AddGroup(nullptr, "edited");
    EXPECT_TRUE(doc.CanClose()); // not modified: no question
    EXPECT_TRUE(prompts.messages.empty());
    doc.SetModified(true);
    prompts.answers.push_back(PromptButton::No);
    EXPECT_TRUE(doc.CanClose());
    prompts.answers.push_back(PromptButton::No);
    doc.ActionNew();
    EXPECT_TRUE(doc.Tree().Empty());
    EXPECT_FALSE(doc.Modified());
}

TEST_F(DocumentTest, OpenReplacesTreeAndBecomesCurrent)
{
    const QString p = Sample();
    prompts.fileAnswers.push_back(p);
    doc.ActionOpen();
    ASSERT_EQ(prompts.fileRequests.size(), 1u);
    EXPECT_EQ(prompts.fileRequests[0].title, QStringLiteral("コマンドファイルの選択"));
    EXPECT_EQ(prompts.fileRequests[0].filters, QStringList{QStringLiteral("ｺﾏﾝﾄﾞﾌｧｲﾙ(*.vpx)")});
    EXPECT_EQ(doc.FileName(), p);
    EXPECT_EQ(Dump(doc.Tree()), "Device[0]{Read[9]=2:0x01}");
    EXPECT_EQ(busy, (std::vector<bool>{true, false}));
    // The dialog offers the current file next time.
    prompts.fileAnswers.push_back(std::nullopt);
    doc.ActionOpen();
    EXPECT_EQ(prompts.fileRequests[1].fileName, p);
    EXPECT_EQ(prompts.fileRequests[1].directory, dir.path());
    EXPECT_EQ(doc.Tree().RootCount(), 1); // a cancelled dialog keeps everything
}

TEST_F(DocumentTest, FailedOpenLeavesEmptyTreeAndTheOldCaption)
{
    ASSERT_TRUE(doc.OpenFromCommandLine(Sample()));
    const QString caption = doc.Caption();
    prompts.fileAnswers.push_back(Path("missing.vpx"));
    doc.ActionOpen();
    EXPECT_TRUE(doc.Tree().Empty());
    EXPECT_EQ(doc.Caption(), caption);
    EXPECT_EQ(doc.FileName(), Path("sample.vpx"));
    EXPECT_FALSE(doc.Modified());
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].text, QStringLiteral("コマンドファイルのオープンに失敗しました"));
    EXPECT_EQ(prompts.messages[0].caption, QStringLiteral("エラー"));
    EXPECT_EQ(prompts.messages[0].icon, PromptIcon::Error);
}

TEST_F(DocumentTest, CommandLineLoadFailureKeepsNoFile)
{
    EXPECT_FALSE(doc.OpenFromCommandLine(Path("missing.vpx")));
    EXPECT_TRUE(doc.FileName().isEmpty());
    EXPECT_EQ(prompts.messages.size(), 1u);
}

TEST_F(DocumentTest, WriteErrorEscapesWithTheFlagStillSet)
{
    if (!QFile::exists(QStringLiteral("/dev/full")))
        GTEST_SKIP() << "no /dev/full";
    doc.Tree().AddGroup(nullptr, std::string(100000, 'g'));
    doc.SetModified(true);
    prompts.fileAnswers.push_back(QStringLiteral("/dev/full"));
    EXPECT_THROW(doc.SaveCommandFileAs(), std::runtime_error);
    EXPECT_TRUE(doc.Modified());
    EXPECT_TRUE(doc.FileName().isEmpty());
    EXPECT_EQ(busy, (std::vector<bool>{true, false}));
}

} // namespace
} // namespace vpx::test
