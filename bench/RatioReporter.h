#pragma once

// Google Benchmark's console table, followed by each measurement as a ratio to
// its baseline measured in the same run: figures from different runs or
// machines are never compared directly.

#include <benchmark/benchmark.h>

#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace vpx::bench {

class RatioReporter : public benchmark::ConsoleReporter {
public:
    // Real time per iteration, in nanoseconds, by the benchmark's full name.
    using Times = std::map<std::string, double>;

    explicit RatioReporter(std::function<void(const Times&)> printRatios) : m_print(std::move(printRatios)) {}

    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
            m_ns[run.benchmark_name()] = run.GetAdjustedRealTime();
    }
    void Finalize() override
    {
        ConsoleReporter::Finalize();
        m_print(m_ns);
    }

private:
    std::function<void(const Times&)> m_print;
    Times m_ns;
};

} // namespace vpx::bench
