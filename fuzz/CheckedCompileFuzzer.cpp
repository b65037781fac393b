// The checked reading of comparison data and the reply template compiled
// against its captures. First byte: the reply's byte order; then the
// comparison data, a tab, and the reply text. What compiles the old way must
// compile the same way here, and a filled template must always compile.

#include "FuzzCheck.h"

#include "notation/CheckedPattern.h"
#include "notation/ReplyTemplate.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace {

void CheckError(const vpx::CompileError& error, const std::string& text)
{
    VPX_FUZZ_CHECK(error.Fault != vpx::CompileFault::None);
    VPX_FUZZ_CHECK(error.Position >= 1 && error.Position - 1 + error.Length <= text.size() + 1);
}

void CheckSteps(const vpx::TCheckedPattern& pattern)
{
    const auto steps = pattern.Steps();
    const auto defs = pattern.Captures();
    std::vector<int> uses(defs.size(), 0);
    for (std::size_t i = 0; i < defs.size(); ++i) {
        VPX_FUZZ_CHECK(vpx::IsCaptureName(defs[i].Name));
        for (std::size_t j = 0; j < i; ++j)
            VPX_FUZZ_CHECK(defs[j].Name != defs[i].Name);
    }
    std::size_t lastCapture = 0;
    for (std::size_t k = 0; k < steps.size(); ++k) {
        const vpx::TPatternStep& s = steps[k];
        if (s.Step == vpx::TPatternStep::Capture) {
            VPX_FUZZ_CHECK(s.CaptureIndex < defs.size());
            VPX_FUZZ_CHECK(s.CaptureIndex == 0 || s.CaptureIndex > lastCapture); // in the text's order
            lastCapture = s.CaptureIndex;
            ++uses[s.CaptureIndex];
        }
        if (s.Step == vpx::TPatternStep::Field) {
            VPX_FUZZ_CHECK(s.OpenStep < k);
            VPX_FUZZ_CHECK(steps[s.OpenStep].Step == vpx::TPatternStep::Open);
            VPX_FUZZ_CHECK(steps[s.OpenStep].Range == s.Range);
            VPX_FUZZ_CHECK((s.Crc != nullptr) == (s.Range == vpx::TRangeKind::Crc));
            VPX_FUZZ_CHECK(s.Width == 1 || s.Width == 2 || s.Width == 4);
        }
    }
    for (const int n : uses)
        VPX_FUZZ_CHECK(n == 1);
}

// A match as the pattern could have given it, with values from the input.
vpx::TPatternMatch MakeMatch(const vpx::TCheckedPattern& pattern, const std::uint8_t* bytes, std::size_t size)
{
    vpx::TPatternMatch match;
    match.Outcome = vpx::TMatchOutcome::Matched;
    std::size_t at = 0;
    for (const vpx::TCaptureDef& def : pattern.Captures()) {
        vpx::TCapture c;
        c.Name = def.Name;
        c.Type = def.Type;
        c.BigEndian = def.BigEndian;
        c.Length = def.Type == vpx::TValueType::Run ? (size ? bytes[at % size] % 5 : 0) : vpx::ValueWidth(def.Type);
        c.BytesAt = match.Bytes.size();
        for (std::size_t i = 0; i < c.Length; ++i)
            match.Bytes.push_back(size ? bytes[(at + i) % size] : 0);
        std::uint64_t raw = 0;
        for (std::size_t i = 0; i < 8 && size; ++i)
            raw = raw << 8 | bytes[(at + i) % size];
        c.Integer = static_cast<std::int64_t>(raw);
        std::memcpy(&c.Real, &raw, sizeof c.Real); // NaN and infinities too
        at += 3;
        match.Captures.push_back(c);
    }
    return match;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    if (size == 0)
        return 0;
    const std::uint8_t order = bytes[0] & 1;
    const std::string input(reinterpret_cast<const char*>(bytes + 1), size - 1);
    const std::size_t tab = input.find('\t');
    const std::string compare = input.substr(0, tab);
    const std::string replyText = tab == std::string::npos ? std::string() : input.substr(tab + 1);

    vpx::TCheckedPattern pattern;
    vpx::CompileError error;
    std::vector<vpx::CompileWarning> warnings;
    const bool compiled = pattern.Compile(compare, error, &warnings);
    std::vector<std::int32_t> items;
    const std::int32_t plain = vpx::CompileCommand(0, compare, items, true);
    if (plain > 0)
        VPX_FUZZ_CHECK(compiled); // the checked reading takes everything the plain one does
    if (!compiled) {
        CheckError(error, compare);
        VPX_FUZZ_CHECK(pattern.Empty() && pattern.Captures().empty() && warnings.empty());
    } else {
        CheckSteps(pattern);
    }

    vpx::TReplyTemplate reply;
    vpx::CompileError replyError;
    const bool replyCompiled = reply.Compile(replyText, order, pattern.Captures(), replyError);
    if (!replyCompiled) {
        CheckError(replyError, replyText);
        VPX_FUZZ_CHECK(reply.Faults() == vpx::TReplyFaults());
        VPX_FUZZ_CHECK(!reply.HasInserts());
    } else {
        const vpx::TReplyFaults& f = reply.Faults();
        VPX_FUZZ_CHECK(f.DelayMs <= vpx::MaxReplyDelayMs && f.DropPercent <= 100);
        VPX_FUZZ_CHECK(f.Copies >= 1 && f.Copies <= vpx::MaxReplyCopies);
        std::size_t end = 0;
        for (const vpx::TReplyInsert& insert : reply.Inserts()) {
            VPX_FUZZ_CHECK(insert.Position >= end && insert.Position + insert.Length <= replyText.size());
            end = insert.Position + insert.Length;
            if (insert.Insert != vpx::TReplyInsert::Counter)
                VPX_FUZZ_CHECK(insert.CaptureIndex < pattern.Captures().size());
        }
        // Whatever is written in, the filled text compiles.
        const vpx::TPatternMatch match = MakeMatch(pattern, bytes, size);
        const std::uint64_t counter = size * 0x9E3779B97F4A7C15ULL;
        const std::string filled = reply.FillText(&match, counter);
        VPX_FUZZ_CHECK(vpx::CompileCommand(order, filled, items, false) >= 0);
        std::vector<std::uint8_t> out;
        VPX_FUZZ_CHECK(reply.Fill(&match, counter, out) == static_cast<std::int32_t>(items.size()));
        VPX_FUZZ_CHECK(reply.Fill(nullptr, 0, out) >= 0);
    }
    // A reply the ordinary compiler takes is a template with nothing to fill in.
    if (vpx::CompileCommand(order, replyText, items, false) >= 0) {
        VPX_FUZZ_CHECK(replyCompiled);
        VPX_FUZZ_CHECK(!reply.HasInserts() && reply.Faults() == vpx::TReplyFaults());
        VPX_FUZZ_CHECK(reply.FillText(nullptr, 0) == replyText);
    }
    return 0;
}
