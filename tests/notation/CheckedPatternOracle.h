#pragma once

// A slow reference for checked patterns: it tries every split of the runs, in
// the order the matching rules give (a run directly before a closing field from
// the longest, every other from the shortest), and judges each whole split on
// its own. Shared by the property test and the matching fuzz target.

#include "notation/CheckedPattern.h"
#include "notation/Crc.h"

#include <cstdio>
#include <functional>
#include <random>
#include <string>
#include <vector>

namespace vpx::test {

struct OracleResult {
    TMatchOutcome outcome = TMatchOutcome::NoMatch;
    std::vector<std::size_t> offsets, lengths; // Matched: per capture definition
    std::string note;                          // CheckFailed: as TCheckNote::Text
};

// A field's bytes, as a sender computes them, over `n` bytes at `p`.
inline std::vector<std::uint8_t> OracleField(const TPatternStep& field, const std::uint8_t* p, std::size_t n)
{
    std::uint64_t v = 0;
    if (field.Range == TRangeKind::Len) {
        v = n;
    } else if (field.Range == TRangeKind::Crc) {
        v = ComputeCrc(*field.Crc, std::span<const std::uint8_t>(p, n));
    } else {
        for (std::size_t k = 0; k < n; ++k)
            v = field.Range == TRangeKind::Xor ? (v ^ p[k]) : ((v + p[k]) & 0xFFFFFFFFu);
    }
    const int w = field.Width;
    const std::uint64_t mask = w == 8 ? ~0ULL : (1ULL << (8 * w)) - 1;
    v &= mask;
    if (field.Modifier == TFieldModifier::Complement)
        v = ~v & mask;
    if (field.Modifier == TFieldModifier::Negate)
        v = (mask + 1 - v) & mask;
    std::vector<std::uint8_t> out;
    for (int k = 0; k < w; ++k)
        out.push_back(static_cast<std::uint8_t>(v >> (8 * (field.BigEndian ? w - 1 - k : k))));
    return out;
}

inline std::string OracleHex(const std::vector<std::uint8_t>& bytes)
{
    std::string out;
    for (const std::uint8_t b : bytes) {
        char buf[4];
        std::snprintf(buf, sizeof buf, "%02X", b);
        out += (out.empty() ? "" : " ") + std::string(buf);
    }
    return out;
}

inline std::size_t OracleWidth(const TPatternStep& step, std::span<const TCaptureDef> defs)
{
    switch (step.Step) {
    case TPatternStep::Byte:
    case TPatternStep::AnyByte:
        return 1;
    case TPatternStep::Field:
        return step.Width;
    case TPatternStep::Capture:
        return ValueWidth(defs[step.CaptureIndex].Type);
    default:
        return 0;
    }
}

inline bool OracleIsRun(const TPatternStep& step, std::span<const TCaptureDef> defs)
{
    return step.Step == TPatternStep::AnyRun ||
           (step.Step == TPatternStep::Capture && defs[step.CaptureIndex].Type == TValueType::Run);
}

// `maxSplits` bounds the splits tried; the answer is then not to be trusted
// (`complete` says whether it may be).
inline OracleResult OracleMatch(std::span<const TPatternStep> steps, std::span<const TCaptureDef> defs,
                                const std::vector<std::uint8_t>& data, bool* complete = nullptr,
                                std::size_t maxSplits = 1000000)
{
    OracleResult result;
    if (complete)
        *complete = true;
    if (steps.empty())
        return result;
    std::vector<std::size_t> runs;
    for (std::size_t k = 0; k < steps.size(); ++k)
        if (OracleIsRun(steps[k], defs))
            runs.push_back(k);
    std::vector<std::size_t> lengths(runs.size());
    std::vector<std::size_t> at(steps.size() + 1);
    bool structural = false;
    std::size_t tried = 0;

    // Whether the split of `lengths` fits; fills `at` with where each step begins.
    const auto fits = [&] {
        std::size_t pos = 0, r = 0;
        for (std::size_t k = 0; k < steps.size(); ++k) {
            at[k] = pos;
            const std::size_t w = OracleIsRun(steps[k], defs) ? lengths[r++] : OracleWidth(steps[k], defs);
            if (pos + w > data.size())
                return false;
            if (steps[k].Step == TPatternStep::Byte && data[pos] != steps[k].Value)
                return false;
            pos += w;
        }
        at[steps.size()] = pos;
        return pos == data.size();
    };
    const std::function<bool(std::size_t)> walk = [&](std::size_t r) -> bool {
        if (r == runs.size()) {
            if (++tried > maxSplits) {
                if (complete)
                    *complete = false;
                return true;
            }
            if (!fits())
                return false;
            for (std::size_t k = 0; k < steps.size(); ++k) {
                if (steps[k].Step != TPatternStep::Field)
                    continue;
                const std::size_t from = at[steps[k].OpenStep];
                const auto expected = OracleField(steps[k], data.data() + from, at[k] - from);
                const std::vector<std::uint8_t> received(data.begin() + at[k], data.begin() + at[k] + steps[k].Width);
                if (expected == received)
                    continue;
                if (!structural) {
                    structural = true;
                    const TPatternStep& f = steps[k];
                    const std::string name = f.Range == TRangeKind::Len   ? "LEN"
                                             : f.Range == TRangeKind::Xor ? "XOR"
                                             : f.Range == TRangeKind::Add ? "ADD"
                                                                          : std::string(f.Crc->Name);
                    result.note = name + ": " + OracleHex(received) + " received, " + OracleHex(expected) + " expected";
                }
                return false;
            }
            result.outcome = TMatchOutcome::Matched;
            for (std::size_t k = 0; k < steps.size(); ++k) {
                if (steps[k].Step != TPatternStep::Capture)
                    continue;
                result.offsets.resize(defs.size());
                result.lengths.resize(defs.size());
                result.offsets[steps[k].CaptureIndex] = at[k];
                result.lengths[steps[k].CaptureIndex] = at[k + 1] - at[k];
            }
            return true;
        }
        const std::size_t k = runs[r];
        const bool longest = k + 1 < steps.size() && steps[k + 1].Step == TPatternStep::Field;
        for (std::size_t n = 0; n <= data.size(); ++n) {
            lengths[r] = longest ? data.size() - n : n;
            if (walk(r + 1))
                return true;
        }
        return false;
    };
    walk(0);
    if (result.outcome != TMatchOutcome::Matched && structural)
        result.outcome = TMatchOutcome::CheckFailed;
    return result;
}

// Data the pattern accepts: its literals, random bytes for wildcards and
// captures, runs of 0 to `maxRun` random bytes, and every field computed.
inline std::vector<std::uint8_t> OracleWitness(std::span<const TPatternStep> steps, std::span<const TCaptureDef> defs,
                                               std::mt19937& rng, std::size_t maxRun = 3)
{
    std::vector<std::uint8_t> data;
    std::vector<std::size_t> at(steps.size());
    std::uniform_int_distribution<int> byte(0, 255);
    std::uniform_int_distribution<std::size_t> run(0, maxRun);
    for (std::size_t k = 0; k < steps.size(); ++k) {
        at[k] = data.size();
        const TPatternStep& step = steps[k];
        if (step.Step == TPatternStep::Byte) {
            data.push_back(step.Value);
        } else if (step.Step == TPatternStep::Field) {
            const std::size_t from = at[step.OpenStep];
            const auto field = OracleField(step, data.data() + from, data.size() - from);
            data.insert(data.end(), field.begin(), field.end());
        } else {
            const std::size_t n = OracleIsRun(step, defs) ? run(rng) : OracleWidth(step, defs);
            for (std::size_t i = 0; i < n; ++i)
                data.push_back(static_cast<std::uint8_t>(byte(rng)));
        }
    }
    return data;
}

} // namespace vpx::test
