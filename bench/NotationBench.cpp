// Compiling a long command and matching a full-size datagram, each against a
// baseline that does the least possible work on the same bytes in the same run:
// copying the text into an item list, and comparing two item lists for equality.
// And checked comparison data (a CRC field and two captures) against the same
// pattern without them (wildcards where they read), and against the request
// written as the literal bytes the plain matcher compares.

#include "notation/CheckedPattern.h"
#include "notation/Notation.h"

#include "RatioReporter.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

std::string LongCommand()
{
    std::string text = "0x02, %LENS, %ADDS, %XORS, \"HEADER\"";
    for (int i = 0; i < 100; ++i)
        text += ", " + std::to_string(i) + ", BS" + std::to_string(i * 300) + ", \"abc\", F1.5, $7F";
    text += ", %XORE, %BSADDE, %LENE, 0x03";
    return text;
}

std::vector<std::int32_t> Datagram()
{
    std::vector<std::int32_t> data(1500);
    for (std::size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<std::int32_t>(0x20 + (i * 7) % 0x5F); // printable, never 0x03
    data.front() = 0x02;
    data.back() = 0x03;
    return data;
}

void BM_Baseline_CopyText(benchmark::State& state)
{
    const std::string text = LongCommand();
    std::vector<std::int32_t> items;
    for (auto _ : state) {
        items.assign(text.begin(), text.end());
        benchmark::DoNotOptimize(items.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

void BM_CompileLongCommand(benchmark::State& state)
{
    const std::string text = LongCommand();
    std::vector<std::int32_t> items;
    for (auto _ : state) {
        benchmark::DoNotOptimize(vpx::CompileCommand(0, text, items, false));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

void BM_Baseline_Equal1500(benchmark::State& state)
{
    const auto data = Datagram();
    const auto copy = data;
    for (auto _ : state)
        benchmark::DoNotOptimize(std::equal(data.begin(), data.end(), copy.begin(), copy.end()));
}

void BM_MatchRun1500(benchmark::State& state)
{
    const auto data = Datagram();
    std::vector<std::int32_t> raw, pattern;
    vpx::CompileCommand(0, "02, *, 03", raw, true);
    vpx::NormalisePattern(raw, pattern);
    for (auto _ : state)
        benchmark::DoNotOptimize(vpx::MatchPattern(data, pattern));
}

void BM_MatchBacktrack1500(benchmark::State& state)
{
    // Every byte is a candidate for the literal after "*", so the matcher returns to
    // its backtrack point at almost every position.
    std::vector<std::int32_t> data(1500, 0x41);
    data.back() = 0x42;
    std::vector<std::int32_t> raw, pattern;
    vpx::CompileCommand(0, "*, 41, 42", raw, true);
    vpx::NormalisePattern(raw, pattern);
    for (auto _ : state)
        benchmark::DoNotOptimize(vpx::MatchPattern(data, pattern));
}

// A Modbus-RTU read request: unit 1, function 3, register 107, count 3, its CRC.
const std::uint8_t ModbusRequest[] = {0x01, 0x03, 0x00, 0x6B, 0x00, 0x03, 0x74, 0x17};

// The plain matcher on the request, for comparison data that compiles without checks.
void MatchRequestPlainly(benchmark::State& state, const char* comparison)
{
    std::vector<std::int32_t> raw, pattern;
    vpx::CompileCommand(0, comparison, raw, true);
    vpx::NormalisePattern(raw, pattern);
    for (auto _ : state)
        benchmark::DoNotOptimize(vpx::MatchPattern(ModbusRequest, sizeof ModbusRequest, pattern));
}

void BM_Baseline_ModbusLiteral(benchmark::State& state)
{
    MatchRequestPlainly(state, "0x01, 0x03, 0x00, 0x6B, 0x00, 0x03, 0x74, 0x17");
}

// The same pattern without its check and captures: the bytes they read are any bytes.
void BM_Baseline_ModbusWildcards(benchmark::State& state)
{
    MatchRequestPlainly(state, "0x01, 0x03, ?, ?, ?, ?, ?, ?");
}

void BM_ModbusCrcAndCaptures(benchmark::State& state)
{
    vpx::TCheckedPattern pattern;
    vpx::CompileError error;
    pattern.Compile("%CRCS, 0x01, 0x03, BUS{reg}, BUS{count}, %LCRCE(CRC-16/MODBUS)", error);
    vpx::TPatternMatch match; // kept between datagrams, as the receive path keeps it
    for (auto _ : state) {
        pattern.Match(ModbusRequest, sizeof ModbusRequest, match);
        benchmark::DoNotOptimize(match.Captures.data());
    }
    if (match.Outcome != vpx::TMatchOutcome::Matched)
        state.SkipWithError("the request does not match");
}

BENCHMARK(BM_Baseline_CopyText);
BENCHMARK(BM_CompileLongCommand);
BENCHMARK(BM_Baseline_Equal1500);
BENCHMARK(BM_MatchRun1500);
BENCHMARK(BM_MatchBacktrack1500);
BENCHMARK(BM_Baseline_ModbusLiteral);
BENCHMARK(BM_Baseline_ModbusWildcards);
BENCHMARK(BM_ModbusCrcAndCaptures);

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    vpx::bench::RatioReporter reporter([](const vpx::bench::RatioReporter::Times& ns) {
        const auto ratio = [&](const char* what, const char* base) {
            if (ns.count(what) && ns.count(base) && ns.at(base) > 0)
                std::printf("%-24s %8.1f x %s\n", what, ns.at(what) / ns.at(base), base);
        };
        std::printf("\nratios to the baseline of the same run:\n");
        ratio("BM_CompileLongCommand", "BM_Baseline_CopyText");
        ratio("BM_MatchRun1500", "BM_Baseline_Equal1500");
        ratio("BM_MatchBacktrack1500", "BM_Baseline_Equal1500");
        ratio("BM_ModbusCrcAndCaptures", "BM_Baseline_ModbusLiteral");
        ratio("BM_ModbusCrcAndCaptures", "BM_Baseline_ModbusWildcards");
    });
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
