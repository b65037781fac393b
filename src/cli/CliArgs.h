#pragma once

// The command line's option parser: "--name value" and "--name" flags after the
// subcommand, one positional argument at most. Unknown options and missing
// values are errors (exit 2).

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace vpx::cli {

class CliArgs {
public:
    // `valued`: options that take a value; `flags`: options that do not.
    CliArgs(const std::vector<std::string>& args, const std::set<std::string>& valued,
            const std::set<std::string>& flags, bool positionalAllowed);

    bool Has(const std::string& name) const { return m_values.count(name) > 0 || m_flags.count(name) > 0; }
    std::optional<std::string> Value(const std::string& name) const;
    const std::optional<std::string>& Positional() const noexcept { return m_positional; }

private:
    std::map<std::string, std::string> m_values;
    std::set<std::string> m_flags;
    std::optional<std::string> m_positional;
};

} // namespace vpx::cli
