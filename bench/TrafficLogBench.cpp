// Appending datagrams to the traffic log with its view attached (offscreen,
// the event loop run after every append as it is between two datagrams),
// against appending to the bare store in the same run. The time per append
// must not grow with the number of records appended: the log is capped.

#include "traffic/ImageList.h"
#include "traffic/TrafficLog.h"
#include "traffic/TrafficLogFormat.h"
#include "traffic/TrafficLogPainter.h"
#include "traffic/TrafficLogView.h"

#include "RatioReporter.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QListView>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

vpx::TrafficRecordPtr Datagram(std::int64_t i)
{
    auto record = vpx::NewTrafficRecord(32);
    for (std::size_t b = 0; b < record->Data.size(); ++b)
        record->Data[b] = static_cast<std::uint8_t>(i + static_cast<std::int64_t>(b));
    record->Kind = static_cast<std::uint8_t>(i % 4);
    record->PeerAddress = "192.168.1.20";
    record->PeerPort = static_cast<std::uint16_t>(i);
    record->Comment = "reply";
    return record;
}

void BM_Baseline_StoreAppend(benchmark::State& state)
{
    vpx::TTrafficLog log;
    std::int64_t i = 0;
    for (auto _ : state)
        log.AddTrafficRecord(Datagram(i++));
    benchmark::DoNotOptimize(log.Count());
}

// range(0) appends, the event loop run after every range(1) appends: 1 is one
// datagram per pass (a layout and a paint for each), 100 a flood where the
// notifications of a hundred datagrams are handled between two paints.
void BM_ViewAppend(benchmark::State& state)
{
    const std::int64_t burst = state.range(1);
    vpx::TTrafficLogView view;
    view.resize(800, 600);
    view.show();
    QCoreApplication::processEvents();
    std::int64_t i = 0;
    for (auto _ : state) {
        view.AddTrafficRecord(Datagram(i++));
        if (i % burst == 0)
            QCoreApplication::processEvents();
    }
    // The list catches up within its refresh interval.
    QElapsedTimer wait;
    wait.start();
    while (view.RefreshPending() && wait.elapsed() < 1000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    QCoreApplication::processEvents();
    if (view.Model().rowCount() != std::min<std::int64_t>(i, vpx::MaxLogRecords) ||
        view.lstLog()->currentIndex().row() != view.Model().rowCount() - 1)
        state.SkipWithError("the log lost its cap or its newest row");
}

// Painting a screenful of rows (33 of 32-byte datagrams with comments) the way the
// log's delegate does, in the view type range(0), against filling the same rows.
constexpr int kPaintRows = 33;
const vpx::LogColumns kPaintColumns{120, 60, 200};

void BM_Baseline_FillRows(benchmark::State& state)
{
    QImage image(800, kPaintRows * vpx::LogRowHeight, QImage::Format_RGB32);
    QPainter painter(&image);
    for (auto _ : state)
        for (int r = 0; r < kPaintRows; ++r)
            painter.fillRect(QRect(0, r * vpx::LogRowHeight, 800, vpx::LogRowHeight), Qt::white);
}

void BM_PaintRows(benchmark::State& state)
{
    const int viewType = static_cast<int>(state.range(0));
    std::vector<vpx::TrafficRecordPtr> records;
    for (int r = 0; r < kPaintRows; ++r)
        records.push_back(Datagram(r));
    QImage image(800, kPaintRows * vpx::LogRowHeight, QImage::Format_RGB32);
    QPainter painter(&image);
    const QFont font = vpx::LogFont(vpx::LogFontPixels);
    for (auto _ : state) {
        for (int r = 0; r < kPaintRows; ++r) {
            const QRect row(0, r * vpx::LogRowHeight, 800, vpx::LogRowHeight);
            vpx::TQPainterLogCanvas canvas(painter, font, QBrush(Qt::white), Qt::black, row,
                                           vpx::ImageList::Shared());
            vpx::DrawLogRow(canvas, records[static_cast<std::size_t>(r)].get(), row, kPaintColumns, viewType, 0);
        }
    }
}

// Each measured once for exactly that many appends.
constexpr int kCounts[] = {2000, 20000, 200000};
constexpr int kEachPassCounts[] = {1000, 10000};

void Register()
{
    benchmark::RegisterBenchmark("BM_Baseline_FillRows", BM_Baseline_FillRows)->UseRealTime();
    for (const int view : {vpx::ViewHex, vpx::ViewDecimal, vpx::ViewAscii})
        benchmark::RegisterBenchmark("BM_PaintRows", BM_PaintRows)->Arg(view)->UseRealTime();
    for (const int n : kCounts) {
        benchmark::RegisterBenchmark("BM_Baseline_StoreAppend", BM_Baseline_StoreAppend)
            ->Arg(n)->Iterations(n)->UseRealTime();
        benchmark::RegisterBenchmark("BM_ViewAppend", BM_ViewAppend)->Args({n, 100})->Iterations(n)->UseRealTime();
    }
    for (const int n : kEachPassCounts) {
        benchmark::RegisterBenchmark("BM_Baseline_StoreAppend", BM_Baseline_StoreAppend)
            ->Arg(n)->Iterations(n)->UseRealTime();
        benchmark::RegisterBenchmark("BM_ViewAppend", BM_ViewAppend)->Args({n, 1})->Iterations(n)->UseRealTime();
    }
}

std::string Name(const std::string& base, int n)
{
    return base + "/iterations:" + std::to_string(n) + "/real_time";
}

// Each view measurement as a ratio to the bare store of the same count.
void PrintRatios(const vpx::bench::RatioReporter::Times& ns)
{
    std::printf("\nper append, as a ratio to appending to the bare store in the same run:\n");
    const auto line = [&](int n, int burst) {
        const std::string view = Name("BM_ViewAppend/" + std::to_string(n) + "/" + std::to_string(burst), n);
        const std::string base = Name("BM_Baseline_StoreAppend/" + std::to_string(n), n);
        if (ns.count(view) && ns.count(base) && ns.at(base) > 0)
            std::printf("%7d appends, event loop every %3d: view %9.0f ns, store %5.0f ns, %8.1f x\n", n, burst,
                        ns.at(view), ns.at(base), ns.at(view) / ns.at(base));
    };
    for (const int n : kCounts)
        line(n, 100);
    for (const int n : kEachPassCounts)
        line(n, 1);
    const std::string fill = "BM_Baseline_FillRows/real_time";
    std::printf("\na screenful of %d rows painted, as a ratio to filling them in the same run:\n", kPaintRows);
    for (const int view : {vpx::ViewHex, vpx::ViewDecimal, vpx::ViewAscii}) {
        const std::string paint = "BM_PaintRows/" + std::to_string(view) + "/real_time";
        if (ns.count(paint) && ns.count(fill) && ns.at(fill) > 0)
            std::printf("  view type %d: %9.0f ns, fill %7.0f ns, %6.1f x\n", view, ns.at(paint), ns.at(fill),
                        ns.at(paint) / ns.at(fill));
    }
}

} // namespace

int main(int argc, char** argv)
{
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    Register();
    vpx::bench::RatioReporter reporter(PrintRatios);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
