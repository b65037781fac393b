// vorpex-cli: the engine's second face. See vorpex-cli --help.

#include "VpxCliHelp.h"
#include "VpxVersion.h"
#include "cli/CliCommands.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

namespace {

int PrintOrFail(const std::string& text)
{
    if (vpx::cli::WriteStdout(text))
        return 0;
    std::fprintf(stderr, "vorpex-cli: %s\n", vpx::cli::OutputFailure(errno).what());
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    // A reader that goes away (`| head`) makes the next write fail with EPIPE,
    // which is reported, instead of ending the program silently with success.
    std::signal(SIGPIPE, SIG_IGN);
    const std::string command = argc > 1 ? argv[1] : std::string();
    const std::vector<std::string> rest(argv + (argc > 1 ? 2 : 1), argv + argc);
    if (command == "--help" || command == "-h" || command == "help")
        return PrintOrFail(vpx::cli::kHelpText);
    if (command == "--version")
        return PrintOrFail(std::string("vorpex-cli ") + VPX_FILE_VERSION + '\n');
    if (command == "compile")
        return vpx::cli::RunCompile(rest);
    if (command == "send")
        return vpx::cli::RunSend(rest);
    if (command == "respond")
        return vpx::cli::RunRespond(rest);
    std::fprintf(stderr, "vorpex-cli: %s (see vorpex-cli --help)\n",
                 command.empty() ? "a command is needed: compile, send or respond"
                                 : ("unknown command \"" + command + "\"").c_str());
    return 2;
}
