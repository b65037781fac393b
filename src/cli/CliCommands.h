#pragma once

// The three subcommands of vorpex-cli. Each takes the arguments after its name
// and returns the process's exit code; failures are one line on standard error.

#include <string>
#include <vector>

namespace vpx::cli {

int RunCompile(const std::vector<std::string>& args);
int RunSend(const std::vector<std::string>& args);
int RunRespond(const std::vector<std::string>& args);


} // namespace vpx::cli
