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

// A port past 65535 (which the field lets through while it is typed) is marked
// like a faulty pattern, and the filter in force stays until it reads right.
TEST_F(FilterViewFixture, ABadPortIsMarkedAndTheLastGoodFilterStays)
{
    Fill(12);
    view.SetFilterRowVisible(true);
    Bar().Port()->setText(QStringLiteral("1005"));
    ASSERT_EQ(view.ShownModel()->rowCount(), 1);
    for (const char* typed : {"99999", "70000"}) {
        Bar().Port()->setText(QString::fromLatin1(typed));
        EXPECT_FALSE(Bar().PortValid()) << typed;
        EXPECT_FALSE(Bar().ErrorLabel()->isHidden()) << typed;
        EXPECT_EQ(Bar().ErrorLabel()->text(), QStringLiteral("ポートは0～65535です")) << typed;
        EXPECT_EQ(view.ShownModel()->rowCount(), 1) << typed;
    }
    Bar().Port()->clear();
    EXPECT_TRUE(Bar().ErrorLabel()->isHidden());
    EXPECT_EQ(view.ShownModel()->rowCount(), 12);
}

// Records pour into a full log, filtered or not. A selection the user made stays
// on its records (copying or saving it then takes those), through refreshes and
// between them; no selection, or the newest row alone, follows the newest record.
struct SelectionCase {
    const char* what;
    bool filtered;
    int first, last; // the rows selected; -1: none; first == last == -2: the newest
};

class SelectionFollowsRecords : public FilterViewFixture, public ::testing::WithParamInterface<SelectionCase> {};

TEST_P(SelectionFollowsRecords, ThroughAFullLog)
{
    const SelectionCase& c = GetParam();
    if (c.filtered) {
        view.SetFilterRowVisible(true);
        Bar().Direction()->setCurrentIndex(1); // received: every other record
    }
    Fill(MaxLogRecords + 10);
    QAbstractItemModel* shown = view.ShownModel();
    QItemSelectionModel* selection = view.lstLog()->selectionModel();
    if (c.first == -1)
        selection->clear();
    else if (c.first >= 0)
        selection->select(QItemSelection(shown->index(c.first, 0), shown->index(c.last, 0)),
                          QItemSelectionModel::ClearAndSelect);
    std::vector<std::uint16_t> chosen;
    for (const TTrafficRecord* r : view.SelectedRecords())
        chosen.push_back(r->PeerPort);
    const auto ports = [&] {
        std::vector<std::uint16_t> p;
        for (const TTrafficRecord* r : view.SelectedRecords())
            p.push_back(r->PeerPort);
        return p;
    };
    // Record i has port 1000 + i and is the log's i-th: it is gone once the log's first serial passes it.
    const auto alive = [&] {
        std::vector<std::uint16_t> p;
        for (std::uint16_t port : chosen)
            if (port - 1000u >= view.Model().Log().FirstSerial())
                p.push_back(port);
        return p;
    };
    const bool follows = c.first < 0;
    for (int i = MaxLogRecords + 10; i < MaxLogRecords + 60; ++i) {
        view.AddTrafficRecord(Numbered(i));
        if (i % 7 == 0)
            view.ShowNewest();
        if (!follows) {
            ASSERT_EQ(ports(), alive()) << c.what << " after record " << i << ", refreshed or not";
        }
    }
    view.ShowNewest();
    if (follows) {
        ASSERT_EQ(ports().size(), 1u) << c.what;
        // 1059 is sent by the user; the newest received record is 1057.
        EXPECT_EQ(ports()[0], 1000 + MaxLogRecords + 59 - (c.filtered ? 2 : 0)) << c.what << ": the newest record shown";
        EXPECT_EQ(view.lstLog()->currentIndex().row(), shown->rowCount() - 1) << c.what;
    } else {
        EXPECT_EQ(ports(), alive()) << c.what;
        EXPECT_FALSE(ports().empty()) << c.what;
    }
    EXPECT_EQ(Bar().CountLabel()->text(), c.filtered ? QStringLiteral("500 / 1000") : QStringLiteral("1000 / 1000"));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SelectionFollowsRecords,
    ::testing::Values(SelectionCase{"no selection", false, -1, -1}, SelectionCase{"the newest row", false, -2, -2},
                      SelectionCase{"rows 100-120", false, 100, 120}, SelectionCase{"rows 900-999", false, 900, 999},
                      SelectionCase{"rows 45-55, partly dropped", false, 45, 55},
                      SelectionCase{"filtered, no selection", true, -1, -1},
                      SelectionCase{"filtered, the newest row", true, -2, -2},
                      SelectionCase{"filtered, rows 100-110", true, 100, 110}));

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

    // The name's own extension decides; without one of ours, the filter chosen does.
    const struct {
        QAction* action;
        const char* name;
        int filter;
        std::string expected;
    } cases[] = {
        {commands.ActionLogSave(), "all.pcapng", 0, ExportPcapng(all, local)},
        {commands.ActionLogSave(), "all.CSV", 0, ExportCsv(all, TTrafficExportCommands::TextNames())},
        {commands.ActionLogSaveSelected(), "one.pcapng", 1, ExportPcapng(selected, local)},
        {commands.ActionLogSaveSelected(), "one.csv", 1, ExportCsv(selected, TTrafficExportCommands::TextNames())},
        {commands.ActionLogSave(), "all.txt", 1, ExportCsv(all, TTrafficExportCommands::TextNames())},
        {commands.ActionLogSave(), "all.dat", 0, ExportPcapng(all, local)},
    };
    for (const auto& c : cases) {
        const QString path = dir.filePath(QString::fromLatin1(c.name));
        prompts.fileAnswers.push_back(path);
        prompts.filterAnswers.push_back(c.filter);
        c.action->trigger();
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << c.name;
        EXPECT_EQ(f.readAll().toStdString(), c.expected) << c.name;
    }
    EXPECT_TRUE(prompts.messages.empty());

    // A folder that is not there: the usual error box, nothing written.
    const QString missing = dir.filePath(QStringLiteral("gone/log.pcapng"));
    prompts.fileAnswers.push_back(missing);
    commands.ActionLogSave()->trigger();
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].text, QStringLiteral("通信ログの保存に失敗しました"));
    EXPECT_EQ(prompts.messages[0].caption, QStringLiteral("エラー"));
    EXPECT_EQ(prompts.messages[0].icon, PromptIcon::Error);
    EXPECT_FALSE(QFile::exists(missing));

    // Cancelling the dialog writes nothing and says nothing.
    prompts.fileAnswers.push_back(std::nullopt);
    commands.ActionLogSave()->trigger();
    EXPECT_EQ(prompts.messages.size(), 1u);
}

} // namespace
} // namespace vpx
