// The auto-reply file reader: the contents cut into lines, every line parsed
// into a row (plain or checked) or skipped, then the table asked for the first
// matching row.

#include "FuzzCheck.h"

#include "notation/Notation.h"
#include "traffic/AutoReplyTable.h"

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace {

using Items = std::vector<std::int32_t>;

// Data row `pattern` must accept: its literals, one byte per wildcard.
Items Witness(const Items& pattern)
{
    Items data;
    for (const std::int32_t item : pattern)
        if (item != vpx::ItemAnyRun)
            data.push_back(item == vpx::ItemAnyByte ? 0x5A : (item & 0xFF));
    return data;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    const std::string_view contents(reinterpret_cast<const char*>(bytes), size);
    const std::vector<std::string_view> lines = vpx::SplitLineViews(contents);
    vpx::TAutoReplyTable table;
    std::vector<std::string_view> fields;
    for (const std::string_view line : lines) {
        VPX_FUZZ_CHECK(line.find_first_of("\r\n") == std::string_view::npos);
        vpx::SplitTabFields(line, fields);
        const int before = table.Count();
        const bool added = table.ParseAutoReplyLine(line);
        VPX_FUZZ_CHECK(table.Count() == before + (added ? 1 : 0));
        if (added)
            VPX_FUZZ_CHECK(fields.size() >= 2);
    }
    VPX_FUZZ_CHECK(static_cast<std::size_t>(table.Count()) <= lines.size());

    for (int i = 0; i < table.Count(); ++i) {
        const vpx::TAutoReplyRow& row = table.Row(i);
        VPX_FUZZ_CHECK(row.RowType == vpx::rtLookup || row.RowType == vpx::rtDirect);
        VPX_FUZZ_CHECK(row.Enabled);
        if (row.RowType == vpx::rtLookup)
            VPX_FUZZ_CHECK(row.SendData.empty());
        Items compiled, normalised;
        if (row.Checked) {
            // Only comparison data the ordinary compiler refuses is read as checked.
            VPX_FUZZ_CHECK(row.Pattern.empty());
            VPX_FUZZ_CHECK(!row.Checked->Empty());
            VPX_FUZZ_CHECK(vpx::CompileCommand(0, row.CompareData, compiled, true) < 0);
            const vpx::TAutoReplyRow* found = table.FindMatchingRow(bytes, size);
            if (found)
                VPX_FUZZ_CHECK(found->Enabled);
            continue;
        }
        VPX_FUZZ_CHECK(!row.Pattern.empty());
        // The pattern is the compiled, normalised comparison field.
        VPX_FUZZ_CHECK(vpx::CompileCommand(0, row.CompareData, compiled, true) > 0);
        vpx::NormalisePattern(compiled, normalised);
        VPX_FUZZ_CHECK(normalised == row.Pattern);
        // Data this row accepts is answered by it or by a row before it.
        const Items witness = Witness(row.Pattern);
        if (vpx::MatchPattern(witness, row.Pattern)) {
            const vpx::TAutoReplyRow* found = table.FindMatchingRow(witness);
            VPX_FUZZ_CHECK(found != nullptr);
            VPX_FUZZ_CHECK(found - table.Rows().data() <= i);
            if (found->Checked) { // a checked row before it may take the same data
                const std::vector<std::uint8_t> witnessBytes(witness.begin(), witness.end());
                VPX_FUZZ_CHECK(found->Checked->Matches(witnessBytes.data(), witnessBytes.size()));
            } else {
                VPX_FUZZ_CHECK(vpx::MatchPattern(witness, found->Pattern));
            }
        }
    }

    // The richer call finds the same row, or none.
    const Items raw(bytes, bytes + (size < 256 ? size : 256));
    const std::vector<std::uint8_t> rawBytes(bytes, bytes + raw.size());
    vpx::TAutoReplyHit hit;
    const bool hitFound = table.FindMatch(rawBytes.data(), rawBytes.size(), hit);
    VPX_FUZZ_CHECK(hit.Row == table.FindMatchingRow(raw));
    VPX_FUZZ_CHECK(hitFound == (hit.Row != nullptr));
    VPX_FUZZ_CHECK(!hit.Row || !hit.NearRow);
    // Unchecked rows never match.
    for (int i = 0; i < table.Count(); ++i)
        table.SetEnabled(i, false);
    VPX_FUZZ_CHECK(table.FindMatchingRow(raw) == nullptr);
    return 0;
}
