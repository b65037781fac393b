#include "SendTestRig.h"

#include "platform/CodePage.h"

#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

namespace vpx::test {

void SendRig::TypeAndEnter(const QString& text)
{
    cboCommand.setEditText(text);
    QTest::keyClick(cboCommand.lineEdit(), Qt::Key_Return);
}

namespace {

QStringList BoxItems(const QComboBox& box)
{
    QStringList items;
    for (int i = 0; i < box.count(); ++i)
        items << box.itemText(i);
    return items;
}

// Direct input in both modes and both default byte orders: the peer gets exactly
// these bytes and the log holds them as a user send with an empty comment.
TEST(SendCommands, DirectInputArrivesByteForByteAndIsLoggedAsSent)
{
    struct Case {
        int mode;
        int order;
        QString text;
        std::string wire;
    } cases[] = {
        {0, 0, QStringLiteral("S1"), Bytes({0x01, 0x00})},
        {0, 1, QStringLiteral("S1"), Bytes({0x00, 0x01})},
        {0, 1, QStringLiteral("01, 02"), Bytes({0x01, 0x02})},
        {0, 0, QStringLiteral("%LENS,1"), Bytes({0x01})},
        {0, 0, QStringLiteral("\"表\""), Bytes({0x95, 0x5C})},
        {1, 0, QStringLiteral("%LENS,1"), "%LENS,1"},
        {1, 1, QStringLiteral("S1, \"x\""), "S1, \"x\""},
        {1, 0, QStringLiteral("ソ表"), Bytes({0x83, 0x5C, 0x95, 0x5C})},
    };
    SendRig rig;
    int expected = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        rig.send->SetSendMode(c.mode);
        rig.send->SetDefaultByteOrder(c.order);
        rig.TypeAndEnter(c.text);
        EXPECT_EQ(rig.PeerReceive(), c.wire);
        ASSERT_EQ(rig.Count(), ++expected);
        const TTrafficRecord& r = rig.Last();
        EXPECT_EQ(r.Kind, tkSent);
        EXPECT_EQ(RecordBytes(r), c.wire);
        EXPECT_EQ(r.Length, static_cast<int>(c.wire.size()));
        EXPECT_EQ(r.Comment, "");
        EXPECT_EQ(r.PeerAddress, "127.0.0.1");
        EXPECT_EQ(r.PeerPort, rig.peer.Port());
    }
    // The send button path goes the same way.
    rig.send->SetSendMode(0);
    rig.cboCommand.setEditText(QStringLiteral("0xAB"));
    ASSERT_TRUE(rig.ActionSend.isEnabled());
    rig.ActionSend.trigger();
    EXPECT_EQ(rig.PeerReceive(), Bytes({0xAB}));
    EXPECT_EQ(rig.Count(), expected + 1);
}

TEST(SendCommands, TextThatDoesNotCompileSendsAndLogsNothingButEntersTheHistory)
{
    SendRig rig;
    rig.send->SetSendMode(0);
    for (const QString& text : {QStringLiteral("zz"), QStringLiteral("%LENS")}) {
        rig.TypeAndEnter(text);
        EXPECT_TRUE(rig.PeerQuiet());
        EXPECT_EQ(rig.Count(), 0);
        EXPECT_EQ(rig.cboCommand.itemText(0), text);
    }
    EXPECT_TRUE(rig.prompts.messages.empty());
}

// A send that cannot go out is never logged as sent; the window test shows the
// notice in the status bar.
TEST(SendCommands, SendBlockedReasonNamesWhatIsMissing)
{
    struct Case {
        bool open;
        std::string address;
        std::uint16_t port;
        QString reason;
    } cases[] = {
        {true, "127.0.0.1", 7, QString()},
        {true, "0.0.0.0", 7, QStringLiteral("送信先のｱﾄﾞﾚｽを設定してください")},
        {true, "0.0.0.1", 7, QString()},
        {true, "127.0.0.1", 0, QStringLiteral("送信先のﾎﾟｰﾄを設定してください")},
        {false, "0.0.0.0", 0, QStringLiteral("送信先のｱﾄﾞﾚｽとﾎﾟｰﾄを設定してください")},
        {false, "127.0.0.1", 7, QStringLiteral("ﾎﾟｰﾄが閉じているため送信しませんでした")},
        // Not an address at all is the socket layer's own error, not a missing peer.
        {true, "", 7, QString()},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SendBlockedReason(c.open, c.address, c.port), c.reason) << c.address << " " << c.port;
}

TEST(SendCommands, SelectedCommandUsesItsOwnModeAndByteOrderAndLeavesTheHistory)
{
    SendRig rig;
    CommandNode* group = rig.tree.AddGroup(nullptr, "group");
    CommandNode* little = rig.tree.AddCommand(group, "little", {"S1", 0, 0});
    CommandNode* big = rig.tree.AddCommand(group, "big", {"S1", 0, 1});
    CommandNode* byDefault = rig.tree.AddCommand(group, "default", {"S1", 0, -1});
    CommandNode* text = rig.tree.AddCommand(group, "text", {"S1", 1, -1});
    CommandNode* empty = rig.tree.AddCommand(group, "empty", {"", 0, -1});
    rig.send->SetDefaultByteOrder(1);
    rig.send->SetSendMode(1); // direct input's mode does not apply to a command

    struct Case {
        const CommandNode* node;
        std::string wire;
    } cases[] = {
        {little, Bytes({1, 0})},
        {big, Bytes({0, 1})},
        {byDefault, Bytes({0, 1})},
        {text, "S1"},
    };
    int expected = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.node->Name());
        rig.selected = c.node;
        rig.ActionSendSelected.trigger();
        EXPECT_EQ(rig.PeerReceive(), c.wire);
        ASSERT_EQ(rig.Count(), ++expected);
        EXPECT_EQ(rig.Last().Kind, tkSent);
        EXPECT_EQ(rig.Last().Comment, c.node->Name());
    }
    rig.send->SetDefaultByteOrder(0);
    rig.selected = byDefault;
    rig.ActionSendSelected.trigger();
    EXPECT_EQ(rig.PeerReceive(), Bytes({1, 0}));

    for (const CommandNode* none : {static_cast<const CommandNode*>(group), static_cast<const CommandNode*>(empty),
                                    static_cast<const CommandNode*>(nullptr)}) {
        rig.selected = none;
        rig.ActionSendSelected.trigger();
    }
    EXPECT_TRUE(rig.PeerQuiet());
    EXPECT_EQ(rig.Count(), expected + 1);
    EXPECT_EQ(rig.cboCommand.count(), 0);
}

TEST(SendCommands, SendPayloadLogsTheKindItIsGiven)
{
    SendRig rig;
    rig.send->SendPayload(tkAutoReplySent, false, 0, "0x81, 0x00", "ans");
    EXPECT_EQ(rig.PeerReceive(), Bytes({0x81, 0x00}));
    ASSERT_EQ(rig.Count(), 1);
    EXPECT_EQ(rig.Last().Kind, tkAutoReplySent);
    EXPECT_EQ(rig.Last().Comment, "ans");
    rig.send->SendPayload(tkAutoReplySent, true, 0, "", "ans"); // empty: nothing at all
    EXPECT_EQ(rig.Count(), 1);
}

TEST(SendCommands, SocketFailureLeavesNoRecordAndNoHistoryEntry)
{
    SendRig rig;
    rig.address = "";
    rig.TypeAndEnter(QStringLiteral("01"));
    EXPECT_EQ(rig.Count(), 0);
    EXPECT_EQ(rig.cboCommand.count(), 0);
    ASSERT_EQ(rig.prompts.messages.size(), 1u);
    EXPECT_EQ(rig.prompts.messages[0].icon, PromptIcon::Error);
}

TEST(SendCommands, EnterInAnEmptyBoxIsLeftAlone)
{
    SendRig rig;
    rig.cboCommand.setEditText(QString());
    EXPECT_FALSE(rig.send->cboCommandEnter());
    EXPECT_FALSE(rig.ActionSend.isEnabled());
    rig.cboCommand.setEditText(QStringLiteral("a"));
    EXPECT_TRUE(rig.ActionSend.isEnabled());
    rig.cboCommand.setEditText(QString());
    EXPECT_FALSE(rig.ActionSend.isEnabled());
    EXPECT_EQ(rig.Count(), 0);
}

TEST(SendCommands, HistoryMovesCaseInsensitiveMatchesToTheTop)
{
    SendRig rig;
    rig.send->SetSendMode(1);
    for (const char* t : {"ABC", "two", "three"}) {
        rig.TypeAndEnter(QString::fromLatin1(t));
        EXPECT_EQ(rig.PeerReceive(), t);
    }
    EXPECT_EQ(BoxItems(rig.cboCommand), (QStringList{QStringLiteral("three"), QStringLiteral("two"),
                                                     QStringLiteral("ABC")}));
    // Enter shows the entry as the history holds it.
    rig.TypeAndEnter(QStringLiteral("abc"));
    EXPECT_EQ(rig.PeerReceive(), "abc");
    EXPECT_EQ(BoxItems(rig.cboCommand), (QStringList{QStringLiteral("ABC"), QStringLiteral("three"),
                                                     QStringLiteral("two")}));
    EXPECT_EQ(rig.cboCommand.currentText(), QStringLiteral("ABC"));
    // The button only moves it; the typed text stays.
    rig.cboCommand.setEditText(QStringLiteral("TWO"));
    rig.ActionSend.trigger();
    EXPECT_EQ(BoxItems(rig.cboCommand), (QStringList{QStringLiteral("two"), QStringLiteral("ABC"),
                                                     QStringLiteral("three")}));
    EXPECT_EQ(rig.cboCommand.currentText(), QStringLiteral("TWO"));
}

TEST(SendCommands, ModeAndByteOrderIgnoreValuesOutsideTheirRange)
{
    SendRig rig;
    EXPECT_EQ(rig.send->GetSendMode(), 0);
    EXPECT_EQ(rig.send->GetDefaultByteOrder(), 0);
    rig.send->SetSendMode(1);
    rig.send->SetDefaultByteOrder(1);
    EXPECT_TRUE(rig.ActionText.isChecked());
    EXPECT_FALSE(rig.ActionMix.isChecked());
    EXPECT_TRUE(rig.ActionBigEndian.isChecked());
    EXPECT_FALSE(rig.ActionLittleEndian.isChecked());
    rig.send->SetSendMode(2);
    rig.send->SetDefaultByteOrder(-1);
    rig.send->SetDefaultByteOrder(7);
    EXPECT_EQ(rig.send->GetSendMode(), 1);
    EXPECT_EQ(rig.send->GetDefaultByteOrder(), 1);
    rig.ActionLittleEndian.trigger();
    EXPECT_EQ(rig.send->GetDefaultByteOrder(), 0);
    rig.ActionMix.trigger();
    EXPECT_EQ(rig.send->GetSendMode(), 0);
}

TEST(SendCommands, StoredHistoryIsShownInTheBox)
{
    SendRig rig;
    const AnsiString kanji = ToAnsi(QStringLiteral("表示"));
    rig.send->SetHistory({"one", kanji, "ONE", ""});
    EXPECT_EQ(BoxItems(rig.cboCommand), (QStringList{QStringLiteral("one"), QStringLiteral("表示")}));
    EXPECT_EQ(rig.send->History().Entries(), (std::vector<AnsiString>{"one", kanji}));
}

} // namespace
} // namespace vpx::test
