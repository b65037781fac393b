// The files under examples/, started as a desktop starts the program on them (bare
// paths, no /c or /a), and driven the way the README walks through them: each
// request goes out with the bytes the README shows, and the auto-reply table
// answers it with the bytes the README shows.

#include "library/CommandTreeView.h"
#include "platform/CodePage.h"
#include "shell/IPEdit.h"
#include "shell/Main.h"
#include "shell/MainActions.h"
#include "shell/NumEdit.h"
#include "shell/ShellTestUtil.h"
#include "support/FakePrompts.h"
#include "support/TestSupport.h"
#include "traffic/AutoReplyCommands.h"
#include "traffic/TrafficLogView.h"
#include "transport/TransportTestUtil.h"

#include <QAction>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>

namespace vpx::test {
namespace {

const QString kExamples = QStringLiteral(VPX_TEST_DATA_DIR "/../../examples/");

std::string Hex(const std::string& bytes)
{
    std::string out;
    char cell[4];
    for (const unsigned char b : bytes) {
        std::snprintf(cell, sizeof cell, out.empty() ? "%02X" : " %02X", b);
        out += cell;
    }
    return out;
}

CommandNode* CommandNamed(const CommandTree& tree, const QString& name)
{
    for (CommandNode* node = tree.First(); node; node = CommandTree::Next(node))
        if (node->IsCommand() && node->Name() == ToAnsi(name))
            return node;
    return nullptr;
}

class ExamplesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        qputenv("XDG_CONFIG_HOME", m_dir.path().toUtf8());
    }

    // The peer is this test's socket on 127.0.0.1, typed into the tool bar.
    TfrmSimMain& Start(const QStringList& arguments)
    {
        m_window = std::make_unique<TfrmSimMain>(arguments, &prompts);
        TypeLoopbackPeer(*m_window, peer.Port());
        return *m_window;
    }

    std::string Received()
    {
        std::string got;
        std::uint16_t from = 0;
        EXPECT_TRUE(peer.Receive(got, from));
        return Hex(got);
    }

    FakePrompts prompts;
    Peer peer;
    QTemporaryDir m_dir;
    std::unique_ptr<TfrmSimMain> m_window;
};

TEST_F(ExamplesTest, BarePathsLoadBothFilesAsADoubleClickWould)
{
    TfrmSimMain& w = Start({kExamples + QStringLiteral("device.vpx"), kExamples + QStringLiteral("device.vpa")});
    ASSERT_TRUE(prompts.messages.empty()) << prompts.messages[0].text.toStdString();
    EXPECT_TRUE(w.windowTitle().contains(QStringLiteral("device.vpx"))) << w.windowTitle().toStdString();
    EXPECT_EQ(w.pnlAutoReturnTitle->text(), QStringLiteral("自動返信ﾃﾞｰﾀ - device.vpa"));
    EXPECT_TRUE(w.Actions()->ActionAutoReturnReload->isEnabled());

    // Two groups, five commands, three rules: a lookup row and two direct ones.
    const CommandTree& tree = w.Document.Tree();
    ASSERT_EQ(tree.RootCount(), 2);
    EXPECT_EQ(tree.Root(0)->Name(), ToAnsi(QStringLiteral("模擬装置")));
    EXPECT_EQ(tree.Root(0)->ChildCount(), 4);
    EXPECT_EQ(tree.Root(1)->Name(), ToAnsi(QStringLiteral("応答")));
    const TAutoReplyTable& rules = w.AutoReply().Table();
    ASSERT_EQ(rules.Count(), 3);
    EXPECT_EQ(rules.Row(0).RowType, rtLookup);
    EXPECT_EQ(rules.Row(1).RowType, rtDirect);
    EXPECT_EQ(rules.Row(2).RowType, rtDirect);
}

TEST_F(ExamplesTest, EachRequestGoesOutAndIsAnsweredAsTheReadmeShows)
{
    TfrmSimMain& w = Start({kExamples + QStringLiteral("device.vpx"), kExamples + QStringLiteral("device.vpa")});
    ASSERT_TRUE(prompts.messages.empty());
    w.Actions()->ActionAutoReturn->trigger();
    ASSERT_TRUE(w.AutoReply().IsAutoReplyOn());
    const std::uint16_t windowPort = BoundPort(w.UDPControl.Socket());

    const struct {
        const char* command;
        const char* sent;
        const char* answer; // empty: no rule answers it
    } cases[] = {
        {"状態要求", "02 53 54 03", "06 53 54 00 01 03"},
        {"出力設定", "02 53 45 54 03 E8 40 20 00 00 09 02 40 03", "06 53 45 54 4F 4B 05 03"},
        {"読み出し", "02 52 44 07 00 11 03", "06 52 44 04 D2 FF 2B 03"},
        {"リセット", "52 45 53 45 54", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.command);
        CommandNode* node = CommandNamed(w.Document.Tree(), QString::fromUtf8(c.command));
        ASSERT_NE(node, nullptr);
        w.tvCommand->Select(node);
        ASSERT_TRUE(w.Actions()->ActionSendSelected->isEnabled());
        w.Actions()->ActionSendSelected->trigger();
        const std::string sent = Received();
        EXPECT_EQ(sent, c.sent);

        // The same bytes sent back at the window, as the device's other end would.
        std::string raw;
        for (std::size_t i = 0; i < sent.size(); i += 3)
            raw += static_cast<char>(std::stoi(sent.substr(i, 2), nullptr, 16));
        const int before = w.LogView->Model().Log().Count();
        ASSERT_GT(peer.SendTo(windowPort, raw), 0);
        const int expected = before + (*c.answer ? 2 : 1);
        ASSERT_TRUE(WaitUntil([&] { return w.LogView->Model().Log().Count() >= expected; }));
        if (*c.answer) {
            EXPECT_EQ(Received(), c.answer);
        }
    }
    EXPECT_TRUE(prompts.messages.empty());
}

} // namespace
} // namespace vpx::test
