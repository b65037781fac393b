// CompileCommand with and without wildcards, then NormalisePattern and
// MatchPattern on what it made. The matcher takes the first occurrence after a
// "*" and backtracks only on a mismatch, so it may refuse data a full glob
// match would accept; it must never accept data a full glob match refuses.

#include "FuzzCheck.h"

#include "notation/Notation.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <tuple>
#include <vector>

namespace {

using Items = std::vector<std::int32_t>;

unsigned KindOf(std::int32_t item)
{
    return static_cast<std::uint32_t>(item) >> 24;
}

bool IsLiteral(std::int32_t item)
{
    return KindOf(item) != 1 && KindOf(item) != 2;
}

// Every item the compiler may make: a byte, a signed byte, or a wildcard when allowed.
void CheckItems(const Items& items, bool wildcards)
{
    for (const std::int32_t item : items) {
        if (item == vpx::ItemAnyByte || item == vpx::ItemAnyRun)
            VPX_FUZZ_CHECK(wildcards);
        else
            VPX_FUZZ_CHECK(item >= -128 && item <= 255);
    }
}

// Whole-data match by dynamic programming over (pattern position, data position).
bool ReferenceMatch(const Items& data, const Items& pattern)
{
    if (pattern.empty())
        return false;
    const std::size_t n = data.size();
    std::vector<char> row(n + 1, 0), next(n + 1, 0);
    row[0] = 1; // empty pattern prefix matches the empty data prefix
    for (const std::int32_t item : pattern) {
        std::fill(next.begin(), next.end(), 0);
        if (item == vpx::ItemAnyRun) {
            char reached = 0;
            for (std::size_t j = 0; j <= n; ++j) {
                reached = reached || row[j];
                next[j] = reached;
            }
        } else {
            for (std::size_t j = 1; j <= n; ++j) {
                if (!row[j - 1])
                    continue;
                if (item == vpx::ItemAnyByte || (data[j - 1] & 0xFF) == (item & 0xFF))
                    next[j] = 1;
            }
        }
        row.swap(next);
    }
    return row[n] != 0;
}

// Data that fits the pattern as a glob: its literals, one byte per "?", `fill` bytes per "*".
Items Witness(const Items& pattern, std::size_t fill, std::uint8_t seed)
{
    Items data;
    for (const std::int32_t item : pattern) {
        if (item == vpx::ItemAnyByte)
            data.push_back(seed);
        else if (item == vpx::ItemAnyRun)
            data.insert(data.end(), fill, seed);
        else
            data.push_back(item & 0xFF);
    }
    return data;
}

void CheckMatcher(const Items& data, const Items& pattern)
{
    const bool matched = vpx::MatchPattern(data, pattern);
    if (matched)
        VPX_FUZZ_CHECK(ReferenceMatch(data, pattern));
    // Without a "*" there is nothing to choose, so both agree.
    if (std::find(pattern.begin(), pattern.end(), vpx::ItemAnyRun) == pattern.end())
        VPX_FUZZ_CHECK(matched == ReferenceMatch(data, pattern));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    if (size == 0)
        return 0;
    const std::uint8_t order = bytes[0] & 1;
    const std::string text(reinterpret_cast<const char*>(bytes + 1), size - 1);

    Items plain{99}, wild{99};
    const std::int32_t plainCount = vpx::CompileCommand(order, text, plain, false);
    const std::int32_t wildCount = vpx::CompileCommand(order, text, wild, true);
    for (const auto& [count, items, wildcards] :
         {std::tuple{plainCount, &plain, false}, std::tuple{wildCount, &wild, true}}) {
        VPX_FUZZ_CHECK(count >= -1);
        VPX_FUZZ_CHECK(count == -1 ? items->empty() : static_cast<std::size_t>(count) == items->size());
        CheckItems(*items, wildcards);
    }
    // The reporting form compiles the same way and names a token inside the text.
    Items reported{99};
    vpx::CompileError error;
    VPX_FUZZ_CHECK(vpx::CompileCommand(order, text, reported, true, error) == wildCount);
    VPX_FUZZ_CHECK(reported == wild);
    if (wildCount == -1) {
        VPX_FUZZ_CHECK(error.Fault != vpx::CompileFault::None);
        VPX_FUZZ_CHECK(error.Position >= 1 && error.Position - 1 + error.Length <= text.size() + 1);
    } else {
        VPX_FUZZ_CHECK(error.Fault == vpx::CompileFault::None);
    }
    // Without a wildcard token both settings read the text the same way.
    if (plainCount >= 0) {
        VPX_FUZZ_CHECK(wildCount == plainCount);
        VPX_FUZZ_CHECK(wild == plain);
    }

    Items pattern{7};
    vpx::NormalisePattern(wild, pattern);
    // Normalising keeps the literals in order and is idempotent.
    Items again;
    vpx::NormalisePattern(pattern, again);
    VPX_FUZZ_CHECK(again == pattern);
    Items literalsBefore, literalsAfter;
    for (const std::int32_t item : wild)
        if (IsLiteral(item))
            literalsBefore.push_back(item);
    for (const std::int32_t item : pattern)
        if (IsLiteral(item))
            literalsAfter.push_back(item);
    VPX_FUZZ_CHECK(literalsBefore == literalsAfter);

    // The matcher against the reference: on data the pattern was made to fit,
    // on that data cut short and grown, and on the raw input.
    for (std::size_t fill : {0u, 1u, 3u}) {
        Items data = Witness(pattern, fill, bytes[0]);
        CheckMatcher(data, pattern);
        if (!data.empty()) {
            data.pop_back();
            CheckMatcher(data, pattern);
        }
        data.push_back(bytes[0]);
        data.push_back(0x41);
        CheckMatcher(data, pattern);
    }
    Items raw(bytes + 1, bytes + size);
    if (raw.size() > 512)
        raw.resize(512);
    CheckMatcher(raw, pattern);
    CheckMatcher(raw, plain);
    return 0;
}
