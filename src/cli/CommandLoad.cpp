#include "cli/CommandLoad.h"

#include "cli/CliText.h"
#include "library/CommandFile.h"

namespace vpx::cli {

void LoadCommands(const std::string& path, CommandTree& tree)
{
    if (LoadCommandFile(path, tree) != CommandFileStatus::Ok)
        throw CliError(path + ": cannot read the command file");
}

} // namespace vpx::cli
