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
    for (const std::string_view line : SplitLineViews(contents)) {
        ++lineNumber;
        const auto refuse = [&](const AnsiString& field, const CompileError& error, const char* which) {
            table.Clear();
            throw CliError(path + ": row " + std::to_string(lineNumber) + ": " + BadNotation(field, error, which));
        };
        TAutoReplyLineFault fault;
        if (!table.ParseAutoReplyLine(line, &fault)) {
            if (fault.Where == TAutoReplyLineFault::Part::CompareData && fault.Error.Fault != CompileFault::None)
                refuse(fault.Field, fault.Error, " of the comparison data");
            if (fault.Where == TAutoReplyLineFault::Part::Reply)
                refuse(fault.Field, fault.Error, " of the reply");
            ++summary.skipped;
            continue;
        }
        // The window keeps a row whose reply is only mistyped and says so when it
        // would send it; here every reply must compile before the start.
        const TAutoReplyRow& row = table.Rows().back();
        if (row.RowType == rtDirect && !row.ReplyCompiled) {
            CompileError error;
            TReplyTemplate reply;
            reply.Compile(row.SendData, 0, row.Captures(), error);
            refuse(row.SendData, error, " of the reply");
        }
    }
    summary.rows = table.Count();
    if (summary.rows == 0)
        throw CliError(path + ": no auto-reply rows");
    return summary;
}

} // namespace vpx::cli
