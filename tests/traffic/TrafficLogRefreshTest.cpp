#include "TrafficTestUtil.h"

#include "traffic/TrafficLogView.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QElapsedTimer>
#include <QListView>
#include <QScrollBar>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>

namespace vpx {
namespace {

// The list catches up with the log within its refresh interval, however many
// records came meanwhile; these tests check what it shows once it has.
struct Refresh : ::testing::Test {
    TTrafficLogView view;
    void SetUp() override
    {
        view.resize(640, 400);
        view.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    }

    bool CaughtUp()
    {
        QElapsedTimer timer;
        timer.start();
        while (view.RefreshPending()) {
            if (timer.elapsed() > 5000)
                return false;
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        }
        QCoreApplication::processEvents();
        return true;
    }

    void Append(int count, int first = 0, bool passEach = true)
    {
        for (int i = first; i < first + count; ++i) {
            view.AddTrafficRecord(test::MakeRecord({static_cast<std::uint8_t>(i)}, tkReceived, "10.0.0.1",
                                                   static_cast<std::uint16_t>(i)));
            if (passEach) // as between two datagrams of a flood
                QCoreApplication::processEvents();
        }
    }

    // Every row where a uniform list puts it, the newest the current, selected and in view.
    void ExpectNewestShown()
    {
        QListView& list = *view.lstLog();
        const int count = view.Model().rowCount();
        ASSERT_GT(count, 0);
        const QModelIndex last = view.Model().index(count - 1);
        EXPECT_EQ(list.currentIndex(), last);
        EXPECT_EQ(list.selectionModel()->selectedIndexes(), QModelIndexList{last});
        EXPECT_TRUE(list.viewport()->rect().contains(list.visualRect(last)));
        EXPECT_EQ(list.verticalScrollBar()->value(), list.verticalScrollBar()->maximum());
        const int top = list.visualRect(view.Model().index(0)).top();
        for (const int row : {count / 2, count - 1})
            EXPECT_EQ(list.visualRect(view.Model().index(row)).top(), top + row * LogRowHeight) << row;
        EXPECT_TRUE(list.updatesEnabled());
    }
};

TEST_F(Refresh, AFloodKeepsTheCapAndEndsWithTheNewestRowShown)
{
    QAbstractItemModelTester tester(&view.Model(), QAbstractItemModelTester::FailureReportingMode::Fatal);
    Append(MaxLogRecords + 500);
    // The model never waits for the list.
    EXPECT_EQ(view.Model().rowCount(), MaxLogRecords);
    EXPECT_EQ(view.Model().Log().Record(0)->PeerPort, 500);
    ASSERT_TRUE(CaughtUp());
    ExpectNewestShown();
    EXPECT_EQ(view.Model().index(MaxLogRecords - 1).data().toString(), QStringLiteral("10.0.0.1\t1499\tDB\t"));
}

TEST_F(Refresh, TheListPaintsAgainOnlyWhenItCatchesUp)
{
    Append(3);
    EXPECT_TRUE(view.RefreshPending());
    EXPECT_FALSE(view.lstLog()->updatesEnabled());
    view.ShowNewest(); // at once, as before a grab
    EXPECT_FALSE(view.RefreshPending());
    ExpectNewestShown();
    // The newest row is painted selected.
    const QImage image = view.lstLog()->viewport()->grab().toImage();
    const QRect row = view.lstLog()->visualRect(view.Model().index(2));
    const QColor fill = image.pixelColor(image.width() - 5, row.center().y());
    EXPECT_TRUE(fill == view.lstLog()->palette().color(QPalette::Active, QPalette::Highlight) ||
                fill == view.lstLog()->palette().color(QPalette::Inactive, QPalette::Highlight));
}

TEST_F(Refresh, ASingleRecordIsShownWithoutFurtherTraffic)
{
    Append(1, 0, false);
    ASSERT_TRUE(CaughtUp());
    ExpectNewestShown();
}

TEST_F(Refresh, ClearingWhileTheListWaitsLeavesItEmptyAndReadyForMore)
{
    Append(MaxLogRecords + 10, 0, false);
    view.ClearTrafficLog();
    EXPECT_EQ(view.Model().rowCount(), 0);
    ASSERT_TRUE(CaughtUp());
    EXPECT_FALSE(view.lstLog()->currentIndex().isValid());
    EXPECT_TRUE(view.lstLog()->updatesEnabled());
    Append(5, 100);
    ASSERT_TRUE(CaughtUp());
    ExpectNewestShown();
    EXPECT_EQ(view.Model().rowCount(), 5);
}

TEST_F(Refresh, TheUsersChoiceOfRowGivesWayToTheNewestOnlyAtTheRefresh)
{
    Append(20, 0, false);
    ASSERT_TRUE(CaughtUp());
    view.lstLog()->setCurrentIndex(view.Model().index(3));
    view.lstLog()->scrollToTop();
    Append(MaxLogRecords, 20, false); // row 3 is dropped along the way
    EXPECT_EQ(view.Model().rowCount(), MaxLogRecords);
    ASSERT_TRUE(CaughtUp());
    ExpectNewestShown();
}

} // namespace
} // namespace vpx
