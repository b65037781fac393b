#include "TrafficTestUtil.h"
#include "support/TestSupport.h"

#include "traffic/TrafficActions.h"
#include "traffic/TrafficLogFormat.h"
#include "traffic/TrafficLogView.h"
#include "transport/DebugLog.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QLabel>
#include <QListView>
#include <QScrollBar>
#include <QTabBar>
#include <QTest>

#include <gtest/gtest.h>

namespace vpx {
namespace {

TEST(TrafficLogModel, PassesTheModelTesterThroughAppendsAndClears)
{
    TTrafficLogModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    for (int i = 0; i < MaxLogRecords + 5; ++i)
        model.AddTrafficRecord(test::MakeRecord({static_cast<std::uint8_t>(i)}, tkReceived, "10.0.0.1",
                                                static_cast<std::uint16_t>(i)));
    EXPECT_EQ(model.rowCount(), 1000);
    model.SetViewType(ViewDecimal);
    model.SetOffset(1);
    model.ClearTrafficLog();
    EXPECT_EQ(model.rowCount(), 0);
    model.ClearTrafficLog();
}

TEST(TrafficLogModel, RowTextIsWhatTheUserSees)
{
    TTrafficLogModel model;
    model.AddTrafficRecord(test::MakeRecord({'A', 0x0D, 0x82, 0xA0, 0x0A}, tkSent, "192.168.1.20", 53,
                                            "\x83\x65\x83\x58\x83\x67"));
    const QModelIndex row = model.index(0);
    EXPECT_EQ(row.data(Qt::DisplayRole).toString(), QStringLiteral("192.168.1.20\t53\t41 0D 82 A0 0A\tテスト"));
    EXPECT_EQ(row.data(Qt::AccessibleTextRole), row.data(Qt::DisplayRole));
    model.SetViewType(ViewDecimal);
    EXPECT_EQ(row.data().toString(), QStringLiteral("192.168.1.20\t53\t65  13 130 160  10\tテスト"));
    model.SetViewType(ViewAscii);
    EXPECT_EQ(row.data().toString(), QStringLiteral("192.168.1.20\t53\tACRあLF\tテスト"));
    model.SetOffset(1);
    EXPECT_EQ(row.data().toString(), QStringLiteral("192.168.1.20\t53\tCRあLF\tテスト"));
    model.SetOffset(5);
    EXPECT_EQ(row.data().toString(), QStringLiteral("192.168.1.20\t53\t\tテスト"));
    EXPECT_FALSE(row.data(Qt::DecorationRole).value<QIcon>().isNull());
}

struct ViewFixture : ::testing::Test {
    TTrafficLogView view;
    void SetUp() override
    {
        view.resize(640, 400);
        view.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    }
};

TEST_F(ViewFixture, TheThousandAndFirstRecordDropsTheOldestAndIsShown)
{
    for (int i = 0; i < MaxLogRecords; ++i)
        view.AddTrafficRecord(test::MakeRecord({1}, tkReceived, "10.0.0.1", static_cast<std::uint16_t>(i)));
    // The user picks a row somewhere in the middle and scrolls up.
    view.ShowNewest();
    view.lstLog()->setCurrentIndex(view.Model().index(10));
    view.lstLog()->scrollToTop();
    view.AddTrafficRecord(test::MakeRecord({2}, tkSent, "10.0.0.2", 1000));

    EXPECT_EQ(view.Model().rowCount(), 1000);
    EXPECT_EQ(view.Model().Log().Record(0)->PeerPort, 1);
    // The row the user picked stays on its record, which moved up by one.
    view.ShowNewest();
    EXPECT_EQ(view.lstLog()->currentIndex(), view.Model().index(9));
    ASSERT_EQ(view.SelectedRecords().size(), 1u);
    EXPECT_EQ(view.SelectedRecords()[0]->PeerPort, 10);
    // Without a choice of the user's the newest is shown.
    view.lstLog()->selectionModel()->clear();
    view.AddTrafficRecord(test::MakeRecord({2}, tkSent, "10.0.0.2", 1001));
    const QModelIndex last = view.Model().index(999);
    ASSERT_TRUE(test::WaitUntil([&] { return view.lstLog()->currentIndex() == last; }));
    EXPECT_EQ(view.lstLog()->selectionModel()->selectedIndexes(), QModelIndexList{last});
    ASSERT_TRUE(test::WaitUntil([&] {
        return view.lstLog()->viewport()->rect().contains(view.lstLog()->visualRect(last));
    }));
    EXPECT_EQ(view.lstLog()->visualRect(last).height(), LogRowHeight);
    EXPECT_EQ(view.lstLog()->verticalScrollBar()->value(), view.lstLog()->verticalScrollBar()->maximum());
}

TEST_F(ViewFixture, OffsetBarMovesEveryRow)
{
    EXPECT_EQ(view.lblOffset()->text(), QStringLiteral("[    0]"));
    EXPECT_EQ(view.sbLog()->maximum(), 10000);
    EXPECT_EQ(view.sbLog()->pageStep(), 8);
    EXPECT_EQ(view.sbLog()->singleStep(), 1);
    view.AddTrafficRecord(test::MakeRecord(test::Counting(20)));
    view.AddTrafficRecord(test::MakeRecord(test::Counting(17)));
    view.sbLog()->setValue(16);
    EXPECT_EQ(view.lblOffset()->text(), QStringLiteral("[   16]"));
    EXPECT_EQ(view.Offset(), 16);
    EXPECT_EQ(view.Model().index(0).data().toString(), QStringLiteral("192.168.1.20\t53\t10 11 12 13\t"));
    EXPECT_EQ(view.Model().index(1).data().toString(), QStringLiteral("192.168.1.20\t53\t10\t"));
    // Clearing keeps the offset and the view type.
    view.ClearTrafficLog();
    EXPECT_EQ(view.Offset(), 16);
    EXPECT_EQ(view.lblOffset()->text(), QStringLiteral("[   16]"));
}

TEST_F(ViewFixture, TabsChooseTheViewType)
{
    QTabBar* tabs = view.tcViewType();
    ASSERT_EQ(tabs->count(), 3);
    EXPECT_EQ(tabs->tabText(0), QStringLiteral("１６進"));
    EXPECT_EQ(tabs->tabText(1), QStringLiteral("１０進"));
    EXPECT_EQ(tabs->tabText(2), QStringLiteral("Ascii"));
    EXPECT_EQ(view.GetViewType(), 0);
    QList<int> seen;
    QObject::connect(&view, &TTrafficLogView::ViewTypeChanged, [&](int v) { seen << v; });
    tabs->setCurrentIndex(2); // as a click would
    EXPECT_EQ(view.GetViewType(), 2);
    EXPECT_EQ(view.Model().ViewType(), 2);
    view.SetViewType(1);
    EXPECT_EQ(tabs->currentIndex(), 1);
    view.SetViewType(7); // not a view type: nothing changes
    EXPECT_EQ(view.GetViewType(), 1);
    EXPECT_EQ(seen, (QList<int>{2, 1}));
}

TEST_F(ViewFixture, HeaderHasFourResizableSections)
{
    QHeaderView* header = view.Header();
    ASSERT_EQ(header->count(), 4);
    const QStringList captions{QStringLiteral("アドレス"), QStringLiteral("ポート"), QStringLiteral("コマンド"),
                               QStringLiteral("コメント")};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(header->model()->headerData(i, Qt::Horizontal).toString(), captions[i]);
        if (i < 3) {
            EXPECT_EQ(header->sectionResizeMode(i), QHeaderView::Interactive);
        }
    }
    EXPECT_TRUE(header->stretchLastSection());
    EXPECT_EQ(header->height(), 25);
    EXPECT_EQ(header->sectionSize(0) + header->sectionSize(1) + header->sectionSize(2) + header->sectionSize(3),
              header->width());

    view.ResetColumnWidths();
    const int listWidth = view.lstLog()->width();
    EXPECT_EQ(header->sectionSize(0), listWidth / 4);
    EXPECT_EQ(header->sectionSize(1), listWidth / 8);
    EXPECT_EQ(header->sectionSize(2), listWidth / 4);
    const LogColumns columns = view.Delegate()->Columns();
    EXPECT_EQ(columns.W1, listWidth / 8);

    // Narrower than a section: that section is cut to the header's width.
    header->resizeSection(2, 500);
    view.resize(300, 400);
    ASSERT_TRUE(test::WaitUntil([&] { return header->width() < 300; }));
    EXPECT_EQ(header->sectionSize(2), header->width());
    EXPECT_EQ(header->sectionSize(0), listWidth / 4);
}

TEST_F(ViewFixture, RowsAreDrawnInTheList)
{
    view.AddTrafficRecord(test::MakeRecord({0x0A}, tkReceivedMatched));
    view.ShowNewest();
    const QImage image = view.lstLog()->viewport()->grab().toImage();
    // The selected row is painted in the highlight colour.
    const QRect row = view.lstLog()->visualRect(view.Model().index(0));
    EXPECT_EQ(row.height(), LogRowHeight);
    const QColor highlight = view.lstLog()->palette().color(QPalette::Active, QPalette::Highlight);
    const QColor inactive = view.lstLog()->palette().color(QPalette::Inactive, QPalette::Highlight);
    const QColor fill = image.pixelColor(image.width() - 5, row.center().y());
    EXPECT_TRUE(fill == highlight || fill == inactive);
    EXPECT_NE(image.pixelColor(image.width() - 5, row.bottom() + 4), fill);
}

// Counts what the actions do to the trace file.
class FakeDebugLog : public TCustomDebugLog {
public:
    void OutputLog(const std::uint8_t*, std::int32_t) override {}
};

TEST_F(ViewFixture, ActionsHaveTheirCaptionsShortcutsAndHints)
{
    FakeDebugLog log;
    TTrafficActions actions(view, log);
    const struct {
        QAction* action;
        const char* name;
        QString caption;
        QKeySequence shortcut;
        QString tip;
        QString status;
    } cases[] = {
        {actions.ActionClear(), "ActionClear", QStringLiteral("クリア(&N)"), QKeySequence(QStringLiteral("Ctrl+Del")),
         QStringLiteral("ﾛｸﾞのｸﾘｱ"), QStringLiteral("ﾛｸﾞをｸﾘｱします")},
        {actions.ActionHex(), "ActionHex", QStringLiteral("16進"), QKeySequence(QStringLiteral("Ctrl+H")),
         QStringLiteral("16進"), QStringLiteral("ﾛｸﾞ表示を16進表示にします")},
        {actions.ActionDecimal(), "ActionDecimal", QStringLiteral("10進"), QKeySequence(QStringLiteral("Ctrl+D")),
         QStringLiteral("10進"), QStringLiteral("ﾛｸﾞ表示を10進表示にします")},
        {actions.ActionAscii(), "ActionAscii", QStringLiteral("Ascii"), QKeySequence(QStringLiteral("Ctrl+A")),
         QStringLiteral("Ascii"), QStringLiteral("ﾛｸﾞ表示をAscii表示にします")},
        {actions.ActionLog(), "ActionLog", QStringLiteral("ログ(&L)"), QKeySequence(QStringLiteral("Ctrl+L")),
         QStringLiteral("ﾛｸﾞﾌｧｲﾙに書き込む"), QStringLiteral("ﾛｸﾞﾌｧｲﾙにﾛｸﾞを書き込みます")},
        {actions.ActionHexLog(), "ActionHexLog", QStringLiteral("16進表記(&H)"), QKeySequence(),
         QStringLiteral("16進表記"), QStringLiteral("ログファイルに16進表記で書きこみます")},
        {actions.ActionAsciiLog(), "ActionAsciiLog", QStringLiteral("文字列(&S)"), QKeySequence(),
         QStringLiteral("文字列"), QStringLiteral("受信データを文字列としてログファイルに書きこみます")},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.action->objectName(), QLatin1String(c.name));
        EXPECT_EQ(c.action->text(), c.caption) << c.name;
        EXPECT_EQ(c.action->shortcut(), c.shortcut) << c.name;
        EXPECT_EQ(c.action->toolTip(), c.tip) << c.name;
        EXPECT_EQ(c.action->statusTip(), c.status) << c.name;
        EXPECT_EQ(c.action->property("hint").toString(), c.tip + QLatin1Char('|') + c.status) << c.name;
    }
    EXPECT_TRUE(actions.ActionHex()->isChecked());
    EXPECT_TRUE(actions.ActionHexLog()->isChecked());
    EXPECT_FALSE(actions.ActionAsciiLog()->isChecked());
    EXPECT_FALSE(actions.ActionLog()->isChecked());
}

TEST_F(ViewFixture, ViewActionsAndTabsStayInStep)
{
    FakeDebugLog log;
    TTrafficActions actions(view, log);
    actions.ActionAscii()->trigger();
    EXPECT_EQ(view.GetViewType(), 2);
    EXPECT_TRUE(actions.ActionAscii()->isChecked());
    EXPECT_FALSE(actions.ActionHex()->isChecked());
    actions.ActionAscii()->trigger(); // again: stays checked
    EXPECT_TRUE(actions.ActionAscii()->isChecked());
    view.tcViewType()->setCurrentIndex(1);
    EXPECT_TRUE(actions.ActionDecimal()->isChecked());
    EXPECT_FALSE(actions.ActionAscii()->isChecked());
    actions.ActionHex()->trigger();
    EXPECT_EQ(view.GetViewType(), 0);

    view.AddTrafficRecord(test::MakeRecord({1, 2}));
    actions.ActionClear()->trigger();
    EXPECT_EQ(view.Model().rowCount(), 0);
}

TEST_F(ViewFixture, LogSwitchesDriveTheTraceFile)
{
    FakeDebugLog log;
    TTrafficActions actions(view, log);
    actions.ActionLog()->trigger();
    EXPECT_TRUE(log.WriteLog());
    EXPECT_TRUE(actions.ActionLog()->isChecked());
    actions.ActionLog()->trigger();
    EXPECT_FALSE(log.WriteLog());
    EXPECT_FALSE(actions.ActionLog()->isChecked());

    actions.ActionAsciiLog()->trigger();
    EXPECT_EQ(log.LogType(), ltAscii);
    EXPECT_TRUE(actions.ActionAsciiLog()->isChecked());
    EXPECT_FALSE(actions.ActionHexLog()->isChecked());
    actions.ActionHexLog()->trigger();
    EXPECT_EQ(log.LogType(), ltHexList);
    EXPECT_TRUE(actions.ActionHexLog()->isChecked());
    EXPECT_FALSE(actions.ActionAsciiLog()->isChecked());
    actions.ActionHexLog()->trigger(); // a radio entry stays on
    EXPECT_TRUE(actions.ActionHexLog()->isChecked());

    // Switches restored from the settings show on the actions.
    log.SetWriteLog(true);
    log.SetLogType(ltAscii);
    actions.SyncLogSwitches();
    EXPECT_TRUE(actions.ActionLog()->isChecked());
    EXPECT_TRUE(actions.ActionAsciiLog()->isChecked());
    EXPECT_FALSE(actions.ActionHexLog()->isChecked());
}

} // namespace
} // namespace vpx
