// vorpex-cli: the engine's second face. See vorpex-cli --help.

#include "VpxCliHelp.h"
#include "VpxVersion.h"
#include "cli/CliCommands.h"

#include <cstdio>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    const std::string command = argc > 1 ? argv[1] : std::string();
    const std::vector<std::string> rest(argv + (argc > 1 ? 2 : 1), argv + argc);
    if (command == "--help" || command == "-h" || command == "help") {
        std::fputs(vpx::cli::kHelpText, stdout);
        return 0;
    }
    if (command == "--version") {
        std::printf("vorpex-cli %s\n", VPX_FILE_VERSION);
        return 0;
    }
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
