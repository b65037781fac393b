#include "cli/ReplyFile.h"

#include "cli/CliText.h"
#include "notation/Notation.h"

#include <fstream>
#include <iterator>
#include <vector>

namespace vpx::cli {

ReplyFileSummary LoadReplyFile(const std::string& path, TAutoReplyTable& table)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        throw CliError(path + ": cannot read the auto-reply file");
    const std::string contents((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (file.bad())
        throw CliError(path + ": cannot read the auto-reply file");

    table.Clear();
    ReplyFileSummary summary;
    int lineNumber = 0;
    std::vector<std::int32_t> items;
    for (const std::string_view line : SplitLineViews(contents)) {
        ++lineNumber;
        const auto refuse = [&](const AnsiString& field, const CompileError& error, const char* which) {
            table.Clear();
            throw CliError(path + ": row " + std::to_string(lineNumber) + ": " + BadNotation(field, error, which));
        };
        TAutoReplyLineFault fault;
        if (!table.ParseAutoReplyLine(line, &fault)) {
            if (fault.CompareDataRefused)
                refuse(fault.CompareData, fault.Error, " of the comparison data");
            ++summary.skipped;
            continue;
        }
        // The window compiles a reply when it sends it; here it must compile before the start.
        const TAutoReplyRow& row = table.Rows().back();
        CompileError error;
        if (row.RowType == rtDirect && CompileCommand(0, row.SendData, items, false, error) < 0)
            refuse(row.SendData, error, " of the reply");
    }
    summary.rows = table.Count();
    if (summary.rows == 0)
        throw CliError(path + ": no auto-reply rows");
    return summary;
}

} // namespace vpx::cli
