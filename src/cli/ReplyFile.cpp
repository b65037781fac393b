#include "cli/ReplyFile.h"

#include "cli/CliText.h"
#include "notation/Notation.h"

#include <fstream>
#include <iterator>
#include <vector>

namespace vpx::cli {

namespace {

// Why the table refused a line, when the reason is its notation; empty otherwise.
std::string NotationFault(std::string_view line)
{
    std::vector<std::string_view> fields;
    SplitTabFields(line, fields);
    if (fields.size() < 2)
        return std::string();
    const auto type = ParseRowType(fields[0]);
    if (!type || (*type != rtLookup && *type != rtDirect) || (*type == rtDirect && fields.size() < 5))
        return std::string();
    std::vector<std::int32_t> items;
    std::size_t position = 0;
    const std::string compare(fields[1]);
    if (CompileCommand(0, compare, items, true, &position) < 0)
        return "bad notation at character " + std::to_string(CharacterPositionOfByte(compare, position)) +
               " of the comparison data";
    if (*type == rtDirect) {
        const std::string reply(fields[4]);
        if (CompileCommand(0, reply, items, false, &position) < 0)
            return "bad notation at character " + std::to_string(CharacterPositionOfByte(reply, position)) +
                   " of the reply";
    }
    return std::string();
}

} // namespace

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
        const std::string fault = NotationFault(line);
        if (!fault.empty()) {
            table.Clear();
            throw CliError(path + ": row " + std::to_string(lineNumber) + ": " + fault);
        }
        if (!table.ParseAutoReplyLine(line))
            ++summary.skipped;
    }
    summary.rows = table.Count();
    if (summary.rows == 0)
        throw CliError(path + ": no auto-reply rows");
    return summary;
}

} // namespace vpx::cli
