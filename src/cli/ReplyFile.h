#pragma once

// Reading an auto-reply file for the command line. The rows are the ones the
// window takes, read by the same table; but where the window passes over a row
// whose notation does not compile, a device simulated in a test rig must not
// start with a row silently missing, so that is an error naming the row.

#include "traffic/AutoReplyTable.h"

#include <string>

namespace vpx::cli {

struct ReplyFileSummary {
    int rows = 0;    // rows in the table
    int skipped = 0; // lines that are not rows (no row type 0 or 1, too few fields, blank comparison)
};

// Fills `table` from the file. CliError (exit 2) when the file cannot be read,
// when a row's comparison data or a direct row's reply does not compile
// ("FILE: row N: bad notation at character C of the comparison data: REASON";
// N counts the file's lines from 1, C the field's characters from 1) and when
// no row is left.
ReplyFileSummary LoadReplyFile(const std::string& path, TAutoReplyTable& table);

} // namespace vpx::cli
