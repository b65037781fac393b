#include "traffic/TrafficExport.h"
#include "traffic/TrafficExportCommands.h"
#include "traffic/TrafficFilterBar.h"
#include "traffic/TrafficLogFilterModel.h"
#include "traffic/TrafficLogView.h"

#include "TrafficTestUtil.h"
#include "support/FakePrompts.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace vpx {
namespace {

using test::FakePrompts;
using test::MakeRecord;

// Record i: kind i % 4, first byte i % 3, port 1000 + i.
TrafficRecordPtr Numbered(int i)
{
    auto record = MakeRecord({static_cast<std::uint8_t>(i % 3), static_cast<std::uint8_t>(i & 0xFF)},
                             static_cast<std::uint8_t>(i % 4), "127.0.0.2", static_cast<std::uint16_t>(1000 + i));
    record->Time = 1'700'000'000'000'000 + i;
    return record;
}

// The filtered model checked by Qt's model tester while the log grows past its
// cap and is cleared, its rows always those a filter over the whole log gives.
TEST(TrafficLogFilterModel, FollowsTheLogThroughItsCapAndAClear)
{
    TTrafficLogModel log;
    TTrafficLogFilterModel filtered(log);
    QAbstractItemModelTester tester(&filtered, QAbstractItemModelTester::FailureReportingMode::Fatal);
    TrafficFilterCriteria criteria;
    criteria.Pattern = "1, *";
    ASSERT_FALSE(filtered.SetCriteria(criteria));
    for (int i = 0; i < MaxLogRecords + 300; ++i) {
        log.AddTrafficRecord(Numbered(i));
        if (i == MaxLogRecords / 2)
            log.ClearTrafficLog();
    }
    TTrafficFilterIndex fresh;
    fresh.Rebuild(log.Log(), filtered.Filter());
    ASSERT_EQ(filtered.rowCount(), fresh.Count());
    for (int row = 0; row < filtered.rowCount(); ++row) {
        ASSERT_EQ(filtered.SourceRow(row), fresh.LogRow(row));
        EXPECT_EQ(filtered.data(filtered.index(row)), log.data(log.index(fresh.LogRow(row))));
        EXPECT_EQ(filtered.Record(filtered.index(row))->Data[0], 1);
    }
}

class FilterViewFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        view.resize(800, 400);
        view.show();
    }
    void Fill(int n)
    {
        for (int i = 0; i < n; ++i)
            view.AddTrafficRecord(Numbered(i));
        view.ShowNewest();
    }
    TTrafficFilterBar& Bar() { return *view.FilterBar(); }

    TTrafficLogView view;
};

TEST_F(FilterViewFixture, TheFilterRowHidesRowsAndCountsThem)
{
    Fill(12);
    view.SetFilterRowVisible(true);
    const struct {
        int direction;
        const char* address;
        const char* port;
        const char* pattern;
        int shown;
    } cases[] = {
        {0, "", "", "", 12},    {1, "", "", "", 6},       {2, "", "", "", 3},     {3, "", "", "", 3},
        {0, "", "1005", "", 1}, {0, "127.0.0.9", "", "", 0}, {0, "0.0.2", "", "", 12}, {0, "", "", "2, *", 4},
        {1, "", "", "0, ?", 2},
    };
    for (const auto& c : cases) {
        Bar().Direction()->setCurrentIndex(c.direction);
        Bar().Address()->setText(QString::fromLatin1(c.address));
        Bar().Port()->setText(QString::fromLatin1(c.port));
        Bar().Pattern()->setText(QString::fromLatin1(c.pattern));
        EXPECT_EQ(view.ShownModel()->rowCount(), c.shown) << c.direction << c.address << c.port << c.pattern;
        EXPECT_EQ(Bar().CountLabel()->text(), QStringLiteral("%1 / 12").arg(c.shown));
        EXPECT_EQ(view.Model().rowCount(), 12) << "filtering never deletes records";
    }
    view.SetFilterRowVisible(false);
    EXPECT_EQ(view.ShownModel(), &view.Model()) << "a hidden filter row filters nothing";
}

TEST_F(FilterViewFixture, ABadPatternIsMarkedInTheRowAndTheLastGoodFilterStays)
{
    Fill(12);
    view.SetFilterRowVisible(true);
    Bar().Direction()->setCurrentIndex(2);
    ASSERT_EQ(view.ShownModel()->rowCount(), 3);
    Bar().Pattern()->setText(QStringLiteral("0x02, zz"));
    EXPECT_TRUE(Bar().PatternMarked());
    EXPECT_FALSE(Bar().ErrorLabel()->isHidden());
    EXPECT_EQ(Bar().ErrorLabel()->text(), QStringLiteral("7文字目が正しくありません"));
    EXPECT_EQ(view.ShownModel()->rowCount(), 3);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    Bar().Pattern()->setText(QStringLiteral("0x02, *"));
    EXPECT_FALSE(Bar().PatternMarked());
    EXPECT_TRUE(Bar().ErrorLabel()->isHidden());
    EXPECT_EQ(view.ShownModel()->rowCount(), 1);
}

TEST_F(FilterViewFixture, NewRecordsPassTheFilterOneByOneAndTheNewestIsSelected)
{
    view.SetFilterRowVisible(true);
    Bar().Direction()->setCurrentIndex(1);
    Fill(MaxLogRecords + 10);
    EXPECT_EQ(view.ShownModel()->rowCount(), MaxLogRecords / 2);
    const QModelIndex current = view.lstLog()->currentIndex();
    EXPECT_EQ(current.row(), view.ShownModel()->rowCount() - 1);
    ASSERT_EQ(view.SelectedRecords().size(), 1u);
    EXPECT_EQ(view.SelectedRecords()[0]->PeerPort, 1000 + MaxLogRecords + 9) << "the newest record, a received one";
    EXPECT_EQ(Bar().CountLabel()->text(), QStringLiteral("500 / 1000"));
}

TEST_F(FilterViewFixture, TheTimeColumnComesBeforeTheOtherColumnsWhenAskedFor)
{
    EXPECT_FALSE(view.TimeColumnVisible());
    EXPECT_TRUE(view.TimeHeader()->isHidden());
    const int addressLeft = view.Header()->mapTo(&view, QPoint(0, 0)).x();
    view.SetTimeColumnVisible(true);
    QApplication::processEvents();
    EXPECT_EQ(view.TimeHeader()->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("時刻"));
    EXPECT_EQ(view.Header()->count(), 4) << "the four sections keep their places";
    EXPECT_EQ(view.Header()->mapTo(&view, QPoint(0, 0)).x(), addressLeft + view.TimeHeader()->sectionSize(0));
}

TEST_F(FilterViewFixture, CtrlCCopiesTheSelectedRowsAsTheCsvTexts)
{
    FakePrompts prompts;
    TTrafficExportCommands commands(view, prompts, [] { return TrafficEndpoint{"127.0.0.1", 5000}; });
    Fill(5);
    QApplication::clipboard()->clear();
    view.lstLog()->selectionModel()->select(view.ShownModel()->index(1, 0), QItemSelectionModel::ClearAndSelect);
    view.lstLog()->selectionModel()->select(view.ShownModel()->index(3, 0), QItemSelectionModel::Select);
    QTest::keyClick(view.lstLog(), Qt::Key_C, Qt::ControlModifier);
    const std::vector<const TTrafficRecord*> rows{view.Model().Log().Record(1), view.Model().Log().Record(3)};
    EXPECT_EQ(QApplication::clipboard()->text(),
              QString::fromStdString(TrafficTextLines(rows, TTrafficExportCommands::TextNames())));
}

TEST_F(FilterViewFixture, SavingWritesTheChosenFormatOrSaysWhyNot)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    FakePrompts prompts;
    const TrafficEndpoint local{"127.0.0.1", 5000};
    TTrafficExportCommands commands(view, prompts, [&] { return local; });
    Fill(4);
    view.lstLog()->selectionModel()->select(view.ShownModel()->index(2, 0), QItemSelectionModel::ClearAndSelect);
    const std::vector<const TTrafficRecord*> all = view.AllRecords();
    const std::vector<const TTrafficRecord*> selected{all[2]};

    const struct {
        QAction* action;
        const char* name;
        std::string expected;
    } cases[] = {
        {commands.ActionLogSave(), "all.pcapng", ExportPcapng(all, local)},
        {commands.ActionLogSave(), "all.CSV", ExportCsv(all, TTrafficExportCommands::TextNames())},
        {commands.ActionLogSaveSelected(), "one.pcapng", ExportPcapng(selected, local)},
        {commands.ActionLogSaveSelected(), "one.csv", ExportCsv(selected, TTrafficExportCommands::TextNames())},
    };
    for (const auto& c : cases) {
        const QString path = dir.filePath(QString::fromLatin1(c.name));
        prompts.fileAnswers.push_back(path);
        c.action->trigger();
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << c.name;
        EXPECT_EQ(f.readAll().toStdString(), c.expected) << c.name;
    }
    EXPECT_TRUE(prompts.messages.empty());

    // A folder that is not there: the usual error box, nothing written.
    const QString missing = dir.filePath(QStringLiteral("gone/log.pcapng"));
    prompts.fileAnswers.push_back(missing);
    EXPECT_FALSE(commands.SaveRecords(all));
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].text, QStringLiteral("通信ログの保存に失敗しました"));
    EXPECT_EQ(prompts.messages[0].caption, QStringLiteral("エラー"));
    EXPECT_EQ(prompts.messages[0].icon, PromptIcon::Error);
    EXPECT_FALSE(QFile::exists(missing));

    // Cancelling the dialog writes nothing and says nothing.
    prompts.fileAnswers.push_back(std::nullopt);
    EXPECT_FALSE(commands.SaveRecords(all));
    EXPECT_EQ(prompts.messages.size(), 1u);
}

} // namespace
} // namespace vpx
