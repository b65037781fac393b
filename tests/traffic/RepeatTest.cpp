#include "traffic/SendTestRig.h"

#include "traffic/RepeatCommands.h"
#include "traffic/RepeatSchedule.h"
#include "traffic/RepeatSender.h"
#include "traffic/SendSequence.h"

#include <QSpinBox>
#include <QTest>

#include <stdexcept>

namespace vpx::test {
namespace {

constexpr std::int64_t Ms = 1000000;

TEST(RepeatSchedule, DueTimesCountFromTheStartNotFromTheLastSend)
{
    struct Step {
        std::int64_t nowNs;
        bool due;
        int waitMs; // after the step
        bool running;
    };
    struct Case {
        const char* what;
        std::int64_t periodMs, count;
        std::vector<Step> steps;
    } cases[] = {
        {"three sends, one of them late",
         10,
         3,
         // 7 ms late at 17 ms: the next send keeps its slot at 20 ms.
         {{0, true, 10, true}, {5 * Ms, false, 5, true}, {17 * Ms, true, 3, true}, {20 * Ms + 1, true, 0, false},
          {40 * Ms, false, 0, false}}},
        {"a wait is rounded up, never early", 1, 0, {{0, true, 1, true}, {Ms - 200000, false, 1, true}, {Ms, true, 1, true}}},
        {"a timer late by several periods catches up one send at a time",
         2,
         0,
         {{0, true, 2, true}, {9 * Ms, true, 0, true}, {9 * Ms, true, 0, true}, {9 * Ms, true, 0, true},
          {9 * Ms, true, 1, true}, {9 * Ms, false, 1, true}}},
        {"the period is held to 1 ms", 0, 2, {{0, true, 1, true}, {Ms, true, 0, false}}},
        {"and to one hour", 4000000, 0, {{0, true, 3600000, true}, {3599999 * Ms, false, 1, true}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TRepeatSchedule s;
        s.Start(0, c.periodMs, c.count);
        for (const Step& step : c.steps) {
            SCOPED_TRACE(step.nowNs);
            EXPECT_EQ(s.TakeDue(step.nowNs), step.due);
            if (step.running) {
                EXPECT_EQ(s.WaitMs(step.nowNs), step.waitMs);
            }
            EXPECT_EQ(s.Running(), step.running);
        }
    }
}

TEST(RepeatSchedule, TenThousandLateTimersAddNoDrift)
{
    // Every timer fires 0.7 ms after it was asked to: the sends stay on their slots.
    TRepeatSchedule s;
    s.Start(5 * Ms, 1, 10000);
    std::int64_t now = 5 * Ms;
    std::int64_t last = 0;
    while (s.Running()) {
        if (s.TakeDue(now))
            last = now;
        now += s.WaitMs(now) * Ms + 700000;
    }
    EXPECT_EQ(s.Sent(), 10000);
    EXPECT_LE(last - (5 * Ms + 9999 * Ms), 2 * Ms); // a timer's lateness or two, not 10,000 of them
}

// A clock the test moves: the sender's timer still runs, but the due times are ours.
struct FakeClock {
    std::int64_t now = 0;
    TRepeatSender::Clock Fn()
    {
        return [this] { return now; };
    }
};

TEST(RepeatSender, EndsOnceWithItsReason)
{
    struct Case {
        const char* what;
        std::int64_t count;
        int refuseAt;    // -1: never
        int throwAt;     // -1: never
        std::int64_t sent;
        QString reason;
        bool exception;
    } cases[] = {
        {"all of a count", 3, -1, -1, 3, QString(), false},
        {"a refused step stops it", 0, 2, -1, 2, QStringLiteral("no"), false},
        {"a failure stops it", 0, -1, 1, 1, QStringLiteral("送信に失敗したため停止しました"), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FakeClock clock;
        TRepeatSender sender(nullptr, clock.Fn());
        int finished = 0;
        std::int64_t sentAtEnd = -1;
        QString reason;
        bool exception = false;
        sender.OnFinished = [&](std::int64_t sent, const QString& why) {
            ++finished;
            sentAtEnd = sent;
            reason = why;
        };
        sender.OnException = [&](const std::exception&) { exception = true; };
        std::vector<std::int64_t> indexes;
        sender.Start(10, c.count, [&](std::int64_t index, QString& why) {
            if (index == c.refuseAt) {
                why = QStringLiteral("no");
                return false;
            }
            if (index == c.throwAt)
                throw std::runtime_error("socket");
            indexes.push_back(index);
            return true;
        });
        for (int i = 0; i < 10 && sender.Running(); ++i) {
            clock.now += 10 * Ms;
            QTest::qWait(15);
        }
        EXPECT_FALSE(sender.Running());
        EXPECT_EQ(finished, 1);
        EXPECT_EQ(sentAtEnd, c.sent);
        EXPECT_EQ(sender.Sent(), c.sent);
        EXPECT_EQ(reason, c.reason);
        EXPECT_EQ(exception, c.exception);
        for (std::size_t i = 0; i < indexes.size(); ++i)
            EXPECT_EQ(indexes[i], static_cast<std::int64_t>(i));
        sender.Stop(QStringLiteral("again")); // a stopped run does not end twice
        EXPECT_EQ(finished, 1);
    }
}

TEST(RepeatCommands, StopsWithinOnePeriodByButtonEscOrAClosedPort)
{
    for (const char* how : {"button", "Esc", "port"}) {
        SCOPED_TRACE(how);
        SendRig rig;
        QLabel status;
        QWidget window;
        bool open = true;
        TRepeatCommands repeat(*rig.send, rig.prompts, &status, [] { return nullptr; }, [&] { return open; }, &window);
        repeat.SetPeriodMs(100);
        repeat.SetCount(0);
        rig.cboCommand.setEditText(QStringLiteral("0x11"));
        repeat.ActionRepeat()->trigger();
        ASSERT_TRUE(repeat.Running());
        EXPECT_TRUE(repeat.ActionRepeat()->isChecked());
        ASSERT_TRUE(WaitUntil([&] { return rig.Count() >= 2; }));
        if (std::string(how) == "button")
            repeat.ActionRepeat()->trigger();
        else if (std::string(how) == "Esc")
            repeat.ActionStop()->trigger();
        else {
            open = false;
            rig.udp.Close();
        }
        // Stopped within one period (and a timer's slack on a busy machine).
        ASSERT_TRUE(WaitUntil([&] { return !repeat.Running(); }, 150));
        const int count = rig.Count();
        QTest::qWait(220);
        EXPECT_EQ(rig.Count(), count);
        EXPECT_FALSE(repeat.ActionRepeat()->isChecked());
        EXPECT_FALSE(repeat.ActionStop()->isEnabled());
        const QString reason = std::string(how) == "port" ? QStringLiteral("ﾎﾟｰﾄが閉じたため停止しました")
                                                          : QStringLiteral("停止しました");
        EXPECT_EQ(status.text(), reason + QStringLiteral("（%1 回送信しました）").arg(count));
    }
}

TEST(RepeatCommands, RefusesATextThatDoesNotCompileAndSendsACountedRepeat)
{
    SendRig rig;
    QLabel status;
    TRepeatCommands repeat(*rig.send, rig.prompts, &status, [] { return nullptr; }, [] { return true; }, nullptr);
    rig.cboCommand.setEditText(QStringLiteral("1, %CRCE(X)"));
    repeat.ActionRepeat()->trigger();
    EXPECT_FALSE(repeat.Running());
    EXPECT_EQ(status.text(), QStringLiteral("送信しませんでした（4 文字目: 知らないCRCｱﾙｺﾞﾘｽﾞﾑ名です）"));

    repeat.SetPeriodMs(1);
    repeat.SetCount(5);
    rig.cboCommand.setEditText(QStringLiteral("%CRCS, 1, %CRCE(CRC-8)"));
    repeat.ActionRepeat()->trigger();
    ASSERT_TRUE(WaitUntil([&] { return !repeat.Running(); }));
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(rig.PeerReceive(), Bytes({0x01, 0x07}));
    EXPECT_TRUE(rig.PeerQuiet());
    EXPECT_EQ(rig.Count(), 5);
    EXPECT_EQ(status.text(), QStringLiteral("5 回送信しました"));
}

TEST(RepeatCommands, SendGroupGoesInTreeOrderWithEachCommandsModeOrderAndName)
{
    SendRig rig;
    CommandNode* group = rig.tree.AddGroup(nullptr, "G");
    rig.tree.AddCommand(group, "first", TCommandInfo{"S1", 0, 1});
    CommandNode* sub = rig.tree.AddGroup(group, "sub");
    rig.tree.AddCommand(sub, "text", TCommandInfo{"AB", 1, -1});
    rig.tree.AddCommand(sub, "empty", TCommandInfo{"", 0, -1});
    rig.tree.AddCommand(group, "default order", TCommandInfo{"%CRCS, \"123456789\", %CRCE(CRC-16/MODBUS)", 0, -1});
    QLabel status;
    const CommandNode* selected = group;
    TRepeatCommands repeat(*rig.send, rig.prompts, &status, [&] { return selected; }, [] { return true; }, nullptr);
    repeat.SetPeriodMs(5);
    repeat.ActionSendGroup()->trigger();
    ASSERT_TRUE(WaitUntil([&] { return !repeat.Running(); }));
    EXPECT_EQ(rig.PeerReceive(), Bytes({0x00, 0x01}));
    EXPECT_EQ(rig.PeerReceive(), "AB");
    EXPECT_EQ(rig.PeerReceive(), "123456789" + Bytes({0x37, 0x4B})); // the tool bar's little-endian
    EXPECT_TRUE(rig.PeerQuiet());
    ASSERT_EQ(rig.Count(), 3);
    EXPECT_EQ(rig.At(0).Comment, "first");
    EXPECT_EQ(rig.At(1).Comment, "text");
    EXPECT_EQ(rig.At(2).Comment, "default order");
    EXPECT_EQ(status.text(), QStringLiteral("3 回送信しました"));

    // Nothing to send is said, not done.
    selected = sub->Child(1);
    repeat.ActionSendGroup()->trigger();
    EXPECT_FALSE(repeat.Running());
    EXPECT_EQ(status.text(), QStringLiteral("送信するコマンドのあるグループを選択してください"));
}

} // namespace
} // namespace vpx::test
