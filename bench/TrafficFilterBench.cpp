// The traffic log at its cap while a flood arrives, with the filter row's
// filter active against none, in the same run: the cost per appended record.
// Both views hold 1,000 records before the clock starts; the event loop runs
// every 100 appends as it does between batches of datagrams. The filter
// passes about one record in eight (received, pattern "0x02, ?, *"), so most
// appends are tested and dropped, some shown and some push a shown row out.

#include "traffic/TrafficFilter.h"
#include "traffic/TrafficFilterBar.h"
#include "traffic/TrafficLogView.h"

#include "RatioReporter.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>

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
    record->Data[0] = static_cast<std::uint8_t>(i / 4 % 4); // 0x02 for a quarter of each kind
    record->Kind = static_cast<std::uint8_t>(i % 4);
    record->PeerAddress = "192.168.1.20";
    record->PeerPort = static_cast<std::uint16_t>(i);
    record->Comment = "reply";
    return record;
}

constexpr int kBurst = 100;

// range(0): 1 with the filter active, 0 without.
void BM_FullLogAppend(benchmark::State& state)
{
    const bool filtered = state.range(0) != 0;
    vpx::TTrafficLogView view;
    view.resize(800, 600);
    view.show();
    if (filtered) {
        view.SetFilterRowVisible(true);
        view.FilterBar()->Direction()->setCurrentIndex(1);
        view.FilterBar()->Pattern()->setText(QStringLiteral("0x02, ?, *"));
        if (!view.FilterModel().Active())
            state.SkipWithError("the filter did not take");
    }
    std::int64_t i = 0;
    for (; i < vpx::MaxLogRecords; ++i)
        view.AddTrafficRecord(Datagram(i));
    view.ShowNewest();
    QCoreApplication::processEvents();
    for (auto _ : state) {
        view.AddTrafficRecord(Datagram(i++));
        if (i % kBurst == 0)
            QCoreApplication::processEvents();
    }
    QElapsedTimer wait;
    wait.start();
    while (view.RefreshPending() && wait.elapsed() < 1000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    view.ShowNewest();
    // The filtered view must show exactly what filtering the log from scratch shows.
    vpx::TTrafficFilterIndex fresh;
    fresh.Rebuild(view.Model().Log(), view.FilterModel().Filter());
    const int expected = filtered ? fresh.Count() : vpx::MaxLogRecords;
    if (view.Model().rowCount() != vpx::MaxLogRecords || view.ShownModel()->rowCount() != expected)
        state.SkipWithError("the shown rows went wrong");
}

// The engine alone: the capped store, and the store with the filter's index.
void BM_Baseline_StoreAppend(benchmark::State& state)
{
    vpx::TTrafficLog log;
    std::int64_t i = 0;
    for (; i < vpx::MaxLogRecords; ++i)
        log.AddTrafficRecord(Datagram(i));
    for (auto _ : state)
        log.AddTrafficRecord(Datagram(i++));
    benchmark::DoNotOptimize(log.Count());
}

void BM_StoreAppendFiltered(benchmark::State& state)
{
    vpx::TTrafficFilter filter;
    vpx::TrafficFilterCriteria criteria;
    criteria.Direction = vpx::TrafficDirection::Received;
    criteria.Pattern = "0x02, ?, *";
    filter.SetCriteria(criteria);
    vpx::TTrafficLog log;
    vpx::TTrafficFilterIndex index;
    std::int64_t i = 0;
    for (; i < vpx::MaxLogRecords; ++i)
        index.Appended(log, log.AddTrafficRecord(Datagram(i)), filter);
    for (auto _ : state)
        index.Appended(log, log.AddTrafficRecord(Datagram(i++)), filter);
    benchmark::DoNotOptimize(index.Count());
}

constexpr int kAppends = 20000;

void PrintRatios(const vpx::bench::RatioReporter::Times& ns)
{
    const auto name = [](const std::string& base) {
        return base + "/iterations:" + std::to_string(kAppends) + "/real_time";
    };
    const std::string none = name("BM_FullLogAppend/0"), active = name("BM_FullLogAppend/1");
    const std::string store = name("BM_Baseline_StoreAppend"), storeFiltered = name("BM_StoreAppendFiltered");
    std::printf("\nper record appended to a full log (1,000 records), same run:\n");
    if (ns.count(none) && ns.count(active) && ns.at(none) > 0)
        std::printf("  view, filter active %8.0f ns, no filter %8.0f ns: %5.2f x\n", ns.at(active), ns.at(none),
                    ns.at(active) / ns.at(none));
    if (ns.count(store) && ns.count(storeFiltered) && ns.at(store) > 0)
        std::printf("  store, with the filter's index %6.0f ns, bare %6.0f ns: %5.2f x\n", ns.at(storeFiltered),
                    ns.at(store), ns.at(storeFiltered) / ns.at(store));
}

} // namespace

int main(int argc, char** argv)
{
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    for (const int filtered : {0, 1})
        benchmark::RegisterBenchmark("BM_FullLogAppend", BM_FullLogAppend)
            ->Arg(filtered)->Iterations(kAppends)->UseRealTime();
    benchmark::RegisterBenchmark("BM_Baseline_StoreAppend", BM_Baseline_StoreAppend)
        ->Iterations(kAppends)->UseRealTime();
    benchmark::RegisterBenchmark("BM_StoreAppendFiltered", BM_StoreAppendFiltered)
        ->Iterations(kAppends)->UseRealTime();
    vpx::bench::RatioReporter reporter(PrintRatios);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
