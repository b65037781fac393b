#include "cli/CliArgs.h"

#include "cli/CliText.h"

namespace vpx::cli {

CliArgs::CliArgs(const std::vector<std::string>& args, const std::set<std::string>& valued,
                 const std::set<std::string>& flags, bool positionalAllowed)
{
    bool optionsEnd = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (!optionsEnd && a == "--") {
            optionsEnd = true;
        } else if (!optionsEnd && a.size() > 2 && a.compare(0, 2, "--") == 0) {
            if (valued.count(a)) {
                if (i + 1 >= args.size())
                    throw CliError("option " + a + " needs a value");
                if (m_values.count(a))
                    throw CliError("option " + a + " given twice");
                m_values[a] = args[++i];
            } else if (flags.count(a)) {
                m_flags.insert(a);
            } else {
                throw CliError("unknown option " + a);
            }
        } else {
            if (!positionalAllowed)
                throw CliError("unexpected argument \"" + a + "\"");
            if (m_positional)
                throw CliError("more than one notation given (quote it: \"" + *m_positional + "\")");
            m_positional = a;
        }
    }
}

std::optional<std::string> CliArgs::Value(const std::string& name) const
{
    const auto it = m_values.find(name);
    if (it == m_values.end())
        return std::nullopt;
    return it->second;
}

} // namespace vpx::cli
