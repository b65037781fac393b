#include "SendTestRig.h"

#include "platform/CodePage.h"

#include <QAbstractItemModelTester>
#include <QFile>
#include <QHeaderView>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace vpx::test {
namespace {

QString Fixture(const char* name)
{
    return QStringLiteral(VPX_TEST_DATA_DIR "/autoreply/") + QString::fromLatin1(name);
}

const QString kTitle = QStringLiteral("自動返信ﾃﾞｰﾀ");

// The widgets the auto-reply commands drive; no socket needed.
struct AutoRig {
    FakePrompts prompts;
    QAction ActionAutoReturn{QStringLiteral("自動返信(&A)")};
    QAction ActionAutoReturnOpen{QStringLiteral("開く(&O)...")};
    QAction ActionAutoReturnReload{QStringLiteral("リロード(&R)")};
    QLabel title;
    QTreeView view;
    TAutoReplyCommands commands{prompts, {&ActionAutoReturn, &ActionAutoReturnOpen, &ActionAutoReturnReload, &title,
                                          &view}};
    QAbstractItemModelTester tester{&commands.Model(), QAbstractItemModelTester::FailureReportingMode::Fatal};

    void Open(const QString& path)
    {
        prompts.fileAnswers.push_back(path);
        ActionAutoReturnOpen.trigger();
    }
    QString Cell(int row, int column) const
    {
        return commands.Model().index(row, column).data().toString();
    }
    Qt::CheckState Check(int row) const
    {
        return commands.Model().index(row, 0).data(Qt::CheckStateRole).value<Qt::CheckState>();
    }
};

TEST(AutoReplyCommands, StartState)
{
    AutoRig rig;
    EXPECT_EQ(rig.title.text(), kTitle);
    EXPECT_FALSE(rig.ActionAutoReturn.isEnabled());
    EXPECT_FALSE(rig.ActionAutoReturn.isChecked());
    EXPECT_FALSE(rig.ActionAutoReturnReload.isEnabled());
    EXPECT_EQ(rig.commands.Model().rowCount(), 0);
    const QAbstractItemModel& m = rig.commands.Model();
    QStringList headers;
    for (int c = 0; c < m.columnCount(); ++c)
        headers << m.headerData(c, Qt::Horizontal).toString();
    EXPECT_EQ(headers, (QStringList{QStringLiteral("種別"), QStringLiteral("比較ﾃﾞｰﾀ"), QStringLiteral("受信ｺﾒﾝﾄ"),
                                    QStringLiteral("送信ｺﾒﾝﾄ"), QStringLiteral("送信ﾃﾞｰﾀ")}));
    EXPECT_EQ(rig.view.header()->sectionSize(0), 55);
    EXPECT_FALSE(rig.view.header()->sectionsClickable());
    EXPECT_EQ(rig.view.editTriggers(), QAbstractItemView::NoEditTriggers);
    EXPECT_EQ(rig.view.selectionBehavior(), QAbstractItemView::SelectRows);
}

TEST(AutoReplyCommands, OpenShowsTheDialogAndLoadsTheRulesOfTheFile)
{
    AutoRig rig;
    rig.Open(Fixture("rules.vpa"));
    ASSERT_EQ(rig.prompts.fileRequests.size(), 1u);
    const FileDialogRequest& request = rig.prompts.fileRequests[0];
    EXPECT_EQ(request.title, QStringLiteral("自動返信ファイルの選択"));
    EXPECT_EQ(request.filters, QStringList{QStringLiteral("自動返信ﾌｧｲﾙ(*.vpa)")});
    EXPECT_EQ(request.defaultSuffix, QStringLiteral("vpa"));
    EXPECT_TRUE(rig.prompts.messages.empty());

    const TAutoReplyTable& table = rig.commands.Table();
    ASSERT_EQ(table.Count(), 6);
    EXPECT_EQ(rig.Cell(0, 0), QStringLiteral("検索"));
    EXPECT_EQ(rig.Cell(0, 1), QStringLiteral("01"));
    EXPECT_EQ(rig.Cell(1, 0), QStringLiteral("指定"));
    EXPECT_EQ(table.Row(1).SendData, "");
    EXPECT_EQ(table.Row(2).SendData, "00"); // the leading blank row
    EXPECT_EQ(rig.Cell(3, 1), QStringLiteral("BS1"));
    EXPECT_EQ(rig.Cell(3, 2), QStringLiteral("表示ソ")); // code page 932, trail bytes 5C included
    EXPECT_EQ(rig.Cell(3, 3), QStringLiteral("PING"));
    EXPECT_EQ(table.Row(3).Pattern, (std::vector<std::int32_t>{0, 1}));
    EXPECT_EQ(table.Row(4).Pattern, (std::vector<std::int32_t>{1, 0}));
    EXPECT_EQ(rig.Cell(5, 1), QStringLiteral("0x01, ?, *"));
    EXPECT_EQ(rig.Cell(5, 2), QStringLiteral("要求"));
    EXPECT_EQ(rig.Cell(5, 3), QStringLiteral("応答"));
    EXPECT_EQ(rig.Cell(5, 4), QStringLiteral("0x81, 0x00"));
    for (int r = 0; r < table.Count(); ++r)
        EXPECT_EQ(rig.Check(r), Qt::Checked);

    EXPECT_EQ(rig.title.text(), QStringLiteral("自動返信ﾃﾞｰﾀ - rules.vpa"));
    EXPECT_TRUE(rig.ActionAutoReturnReload.isEnabled());
    EXPECT_TRUE(rig.ActionAutoReturn.isEnabled());
    EXPECT_FALSE(rig.commands.IsAutoReplyOn()); // the user turns it on

    // The next dialog starts at the current file.
    rig.prompts.fileAnswers.push_back(std::nullopt);
    rig.ActionAutoReturnOpen.trigger();
    EXPECT_EQ(rig.prompts.fileRequests.back().fileName, QStringLiteral("rules.vpa"));
    EXPECT_EQ(table.Count(), 6); // cancelled: nothing changes
}

TEST(AutoReplyCommands, EveryLineEndGivesTheSameRows)
{
    for (const char* name : {"crlf.vpa", "lf.vpa", "cr.vpa"}) {
        SCOPED_TRACE(name);
        AutoRig rig;
        ASSERT_TRUE(rig.commands.LoadAutoReplyFile(Fixture(name)));
        const TAutoReplyTable& t = rig.commands.Table();
        ASSERT_EQ(t.Count(), 2);
        EXPECT_EQ(rig.Cell(0, 2), QStringLiteral("受信"));
        EXPECT_EQ(t.Row(0).SendData, "81");
        EXPECT_EQ(t.Row(1).SendComment, "PING"); // the last line has no line end
    }
    AutoRig rig;
    ASSERT_TRUE(rig.commands.LoadAutoReplyFile(Fixture("mixed_ends.vpa")));
    ASSERT_EQ(rig.commands.Table().Count(), 4);
    EXPECT_EQ(rig.commands.Table().Row(3).SendComment, "PONG");
}

TEST(AutoReplyCommands, FileWithoutRowsIsReportedAndDisablesTheSwitch)
{
    AutoRig rig;
    rig.Open(Fixture("crlf.vpa"));
    rig.ActionAutoReturn.trigger();
    ASSERT_TRUE(rig.commands.IsAutoReplyOn());
    rig.Open(Fixture("no_rows.vpa"));
    ASSERT_EQ(rig.prompts.messages.size(), 1u);
    EXPECT_EQ(rig.prompts.messages[0].text, QStringLiteral("有効なデータがありませんでした"));
    EXPECT_EQ(rig.prompts.messages[0].caption, QStringLiteral("自動返信データ"));
    EXPECT_EQ(rig.prompts.messages[0].icon, PromptIcon::Information);
    EXPECT_EQ(rig.commands.Model().rowCount(), 0);
    EXPECT_FALSE(rig.ActionAutoReturn.isEnabled());
    EXPECT_FALSE(rig.commands.IsAutoReplyOn());
    EXPECT_EQ(rig.title.text(), QStringLiteral("自動返信ﾃﾞｰﾀ - no_rows.vpa"));
    EXPECT_TRUE(rig.ActionAutoReturnReload.isEnabled());
}

TEST(AutoReplyCommands, UnreadableFileEmptiesTheTableAndResetsTheTitle)
{
    AutoRig rig;
    rig.Open(Fixture("crlf.vpa"));
    rig.ActionAutoReturn.trigger();
    rig.Open(Fixture("missing.vpa"));
    ASSERT_EQ(rig.prompts.messages.size(), 1u);
    EXPECT_EQ(rig.prompts.messages[0].text, QStringLiteral("自動返信ファイルのオープンに失敗しました"));
    EXPECT_EQ(rig.prompts.messages[0].caption, QStringLiteral("エラー"));
    EXPECT_EQ(rig.prompts.messages[0].icon, PromptIcon::Error);
    EXPECT_EQ(rig.commands.Model().rowCount(), 0);
    EXPECT_FALSE(rig.commands.IsAutoReplyOn());
    EXPECT_TRUE(rig.ActionAutoReturn.isEnabled()); // left as it was
    EXPECT_EQ(rig.title.text(), kTitle);
    EXPECT_FALSE(rig.ActionAutoReturnReload.isEnabled());
}

TEST(AutoReplyCommands, ReloadKeepsTheSwitchAndChecksEveryRowAgain)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("live.vpa"));
    ASSERT_TRUE(QFile::copy(Fixture("crlf.vpa"), path));
    AutoRig rig;
    rig.Open(path);
    rig.ActionAutoReturn.trigger();
    ASSERT_TRUE(rig.commands.IsAutoReplyOn());
    ASSERT_TRUE(rig.commands.Model().setData(rig.commands.Model().index(0, 0), Qt::Unchecked, Qt::CheckStateRole));
    EXPECT_FALSE(rig.commands.Table().Row(0).Enabled);

    // The file grows a row; reload reads it, with the switch still on.
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::Append));
        f.write("\r\n1\t05\tr\ts\t85\r\n");
    }
    rig.ActionAutoReturnReload.trigger();
    EXPECT_TRUE(rig.prompts.messages.empty());
    ASSERT_EQ(rig.commands.Table().Count(), 3);
    EXPECT_EQ(rig.Check(0), Qt::Checked);
    EXPECT_TRUE(rig.commands.IsAutoReplyOn());
    EXPECT_EQ(rig.title.text(), QStringLiteral("自動返信ﾃﾞｰﾀ - live.vpa"));

    // Reload with the switch off keeps it off.
    rig.ActionAutoReturn.trigger();
    rig.ActionAutoReturnReload.trigger();
    EXPECT_FALSE(rig.commands.IsAutoReplyOn());
}

TEST(AutoReplyCommands, ReloadOfADeletedFileKeepsTheRows)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("gone.vpa"));
    ASSERT_TRUE(QFile::copy(Fixture("crlf.vpa"), path));
    AutoRig rig;
    rig.Open(path);
    rig.ActionAutoReturn.trigger();
    ASSERT_TRUE(QFile::remove(path));
    rig.ActionAutoReturnReload.trigger();
    ASSERT_EQ(rig.prompts.messages.size(), 1u);
    EXPECT_EQ(rig.prompts.messages[0].text, QStringLiteral("リロード対象の自動返信ファイルが見つかりません"));
    EXPECT_EQ(rig.prompts.messages[0].caption, QStringLiteral("エラー"));
    EXPECT_EQ(rig.prompts.messages[0].icon, PromptIcon::Error);
    EXPECT_EQ(rig.commands.Table().Count(), 2);
    EXPECT_TRUE(rig.commands.IsAutoReplyOn());
    EXPECT_TRUE(rig.ActionAutoReturnReload.isEnabled());
    EXPECT_EQ(rig.title.text(), QStringLiteral("自動返信ﾃﾞｰﾀ - gone.vpa"));
}

TEST(AutoReplyCommands, CommandLineLoadAndFailure)
{
    AutoRig rig;
    EXPECT_TRUE(rig.commands.LoadFromCommandLine(Fixture("lf.vpa")));
    EXPECT_EQ(rig.commands.FileName(), Fixture("lf.vpa"));
    EXPECT_EQ(rig.title.text(), QStringLiteral("自動返信ﾃﾞｰﾀ - lf.vpa"));
    EXPECT_TRUE(rig.ActionAutoReturnReload.isEnabled());
    EXPECT_FALSE(rig.commands.LoadFromCommandLine(Fixture("missing.vpa")));
    rig.commands.AutoReplyLoadFailed();
    EXPECT_EQ(rig.title.text(), kTitle);
    EXPECT_FALSE(rig.ActionAutoReturnReload.isEnabled());
    EXPECT_EQ(rig.commands.Table().Count(), 0);
}

TEST(AutoReplyCommands, SwitchToggles)
{
    AutoRig rig;
    rig.commands.ActionAutoReturnExecute();
    EXPECT_TRUE(rig.commands.IsAutoReplyOn());
    rig.commands.ActionAutoReturnExecute();
    EXPECT_FALSE(rig.commands.IsAutoReplyOn());
    rig.commands.SetAutoReply(true);
    EXPECT_TRUE(rig.ActionAutoReturn.isChecked());
}

} // namespace
} // namespace vpx::test

namespace vpx::test {
namespace {

// The window makes the widgets and these classes its children. Qt deletes
// children in the order they were made, so the widgets go before the classes.
TEST(AutoReplyCommands, ChildrenOfTheWindowGoWithIt)
{
    FakePrompts prompts;
    TUDPControl udp;
    for (const bool classesFirst : {false, true}) {
        auto* window = new QWidget;
        auto* log = new TTrafficLogView(window);
        auto* box = new QComboBox(window);
        auto* title = new QLabel(window);
        auto* view = new QTreeView(window);
        QAction* a[9];
        for (QAction*& p : a)
            p = new QAction(window);
        auto* send = new TSendCommands(udp, *log, prompts, {box, a[0], a[1], a[2], a[3], a[4], a[5]},
                                       [] { return AnsiString("127.0.0.1"); }, [] { return std::uint16_t(1); },
                                       [] { return static_cast<const CommandNode*>(nullptr); }, window);
        auto* autoReply = new TAutoReplyCommands(prompts, {a[6], a[7], a[8], title, view}, window);
        if (classesFirst) {
            delete autoReply;
            delete send;
            EXPECT_EQ(view->model(), nullptr);
        }
        delete window;
    }
}

} // namespace
} // namespace vpx::test
