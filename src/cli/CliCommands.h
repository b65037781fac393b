#pragma once

// The three subcommands of vorpex-cli. Each takes the arguments after its name
// and returns the process's exit code; failures are one line on standard error.

#include "cli/CliText.h"

#include <string>
#include <string_view>
#include <vector>

namespace vpx::cli {

int RunCompile(const std::vector<std::string>& args);
int RunSend(const std::vector<std::string>& args);
int RunRespond(const std::vector<std::string>& args);

// Writes all of `text` to standard output, which nothing else writes to. False,
// with errno set, when it could not: a full disk, or a reader that has gone
// (main ignores SIGPIPE so that this is an error to report, not a silent end).
bool WriteStdout(std::string_view text);
// "cannot write to standard output: REASON", with exit code 1.
CliError OutputFailure(int error);

} // namespace vpx::cli
