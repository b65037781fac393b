// Random datagrams against compiled checked patterns. The input is the
// comparison data, a line feed, then the datagram. Small cases are judged
// against the reference that tries every split; every case must keep the
// result's own rules, and a witness of the pattern must match.

#include "FuzzCheck.h"

#include "notation/CheckedPattern.h"
#include "notation/CheckedPatternOracle.h"

#include <cstddef>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace {

void CheckResult(const vpx::TCheckedPattern& pattern, const std::vector<std::uint8_t>& data,
                 const vpx::TPatternMatch& match)
{
    if (match.Outcome != vpx::TMatchOutcome::Matched) {
        VPX_FUZZ_CHECK(match.Captures.empty() && match.Bytes.empty());
        if (match.Outcome == vpx::TMatchOutcome::CheckFailed) {
            VPX_FUZZ_CHECK(!match.BudgetSpent);
            VPX_FUZZ_CHECK(match.Note.Width >= 1 && match.Note.Width <= 4 && !match.Note.Field.empty());
            VPX_FUZZ_CHECK(match.Note.Received != match.Note.Expected);
        }
        return;
    }
    VPX_FUZZ_CHECK(match.Captures.size() == pattern.Captures().size());
    for (std::size_t i = 0; i < match.Captures.size(); ++i) {
        const vpx::TCapture& c = match.Captures[i];
        const vpx::TCaptureDef& def = pattern.Captures()[i];
        VPX_FUZZ_CHECK(c.Name == def.Name && c.Type == def.Type);
        VPX_FUZZ_CHECK(c.Offset + c.Length <= data.size());
        if (def.Type != vpx::TValueType::Run)
            VPX_FUZZ_CHECK(c.Length == vpx::ValueWidth(def.Type));
        const auto kept = match.BytesOf(c);
        VPX_FUZZ_CHECK(std::equal(kept.begin(), kept.end(), data.begin() + static_cast<std::ptrdiff_t>(c.Offset)));
        if (i > 0)
            VPX_FUZZ_CHECK(c.Offset >= match.Captures[i - 1].Offset + match.Captures[i - 1].Length);
    }
    (void)vpx::CaptureText(match);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    const std::string input(reinterpret_cast<const char*>(bytes), size);
    const std::size_t lf = input.find('\n');
    if (lf == std::string::npos)
        return 0;
    vpx::TCheckedPattern pattern;
    vpx::CompileError error;
    if (!pattern.Compile(input.substr(0, lf), error))
        return 0;
    const std::vector<std::uint8_t> data(bytes + lf + 1, bytes + size);

    vpx::TPatternMatch match;
    pattern.Match(data.data(), data.size(), match);
    CheckResult(pattern, data, match);
    // The same result object for the next datagram: nothing of this one may stay.
    vpx::TPatternMatch again = match;
    pattern.Match(data.data(), data.size() / 2, again);
    CheckResult(pattern, std::vector<std::uint8_t>(data.begin(), data.begin() + data.size() / 2), again);
    pattern.Match(data.data(), data.size(), again);
    VPX_FUZZ_CHECK(again.Outcome == match.Outcome && again.Bytes == match.Bytes);

    std::size_t runs = 0;
    for (const vpx::TPatternStep& s : pattern.Steps())
        runs += vpx::test::OracleIsRun(s, pattern.Captures());
    if (data.size() <= 16 && runs <= 3 && !match.BudgetSpent) {
        bool complete = false;
        const vpx::test::OracleResult expected =
            vpx::test::OracleMatch(pattern.Steps(), pattern.Captures(), data, &complete, 200000);
        if (complete) {
            VPX_FUZZ_CHECK(match.Outcome == expected.outcome);
            if (match.Outcome == vpx::TMatchOutcome::Matched) {
                for (std::size_t i = 0; i < match.Captures.size(); ++i) {
                    VPX_FUZZ_CHECK(match.Captures[i].Offset == expected.offsets[i]);
                    VPX_FUZZ_CHECK(match.Captures[i].Length == expected.lengths[i]);
                }
            }
            if (match.Outcome == vpx::TMatchOutcome::CheckFailed)
                VPX_FUZZ_CHECK(match.Note.Text() == expected.note);
        }
    }

    if (!pattern.Empty()) {
        std::mt19937 rng(static_cast<std::uint32_t>(size));
        const std::vector<std::uint8_t> witness = vpx::test::OracleWitness(pattern.Steps(), pattern.Captures(), rng);
        pattern.Match(witness.data(), witness.size(), match);
        VPX_FUZZ_CHECK(match.Outcome == vpx::TMatchOutcome::Matched || match.BudgetSpent);
        CheckResult(pattern, witness, match);
    }
    return 0;
}
