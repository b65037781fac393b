// The lookup an auto-reply row of the lookup kind makes for every datagram it
// answers: the first command whose name contains the row's text. Measured with
// 1,000 and with 30,000 commands at one level, the wanted one last, in the same
// run; the time should grow with the count, not with its square.

#include "library/CommandFind.h"
#include "library/CommandTree.h"

#include "RatioReporter.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

namespace {

void BM_LookupLastOf(benchmark::State& state)
{
    const int count = static_cast<int>(state.range(0));
    vpx::CommandTree tree;
    vpx::CommandNode* group = tree.AddGroup(nullptr, "Replies");
    for (int i = 0; i < count; ++i)
        tree.AddCommand(group, "Reply " + std::to_string(i), {"0x01", 0, -1});
    const std::string wanted = "Reply " + std::to_string(count - 1);
    for (auto _ : state)
        benchmark::DoNotOptimize(vpx::FindCommandByName(tree, wanted));
    // Per second of the thread's own time: on a busy machine the wall clock counts
    // other programs' turns too.
    state.counters["lookups/s"] = benchmark::Counter(static_cast<double>(state.iterations()),
                                                     benchmark::Counter::kIsRate);
}

BENCHMARK(BM_LookupLastOf)->Arg(1000)->Arg(30000);

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    vpx::bench::RatioReporter reporter([](const vpx::bench::RatioReporter::Times& ns) {
        const char* small = "BM_LookupLastOf/1000";
        const char* large = "BM_LookupLastOf/30000";
        if (!ns.count(small) || !ns.count(large) || ns.at(small) <= 0 || ns.at(large) <= 0)
            return;
        std::printf("\nlookups per second of real time: %.0f with 1,000 commands, %.0f with 30,000\n",
                    1e9 / ns.at(small), 1e9 / ns.at(large));
        std::printf("time ratio 30,000 : 1,000 = %.1f (count ratio 30, its square 900)\n",
                    ns.at(large) / ns.at(small));
    });
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
