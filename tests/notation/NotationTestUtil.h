#pragma once

#include "notation/Notation.h"

#include <cstdio>
#include <string>
#include <vector>

namespace vpx::test {

// Items as the upper-case hex bytes a sender would put on the wire, blank separated;
// wildcards appear as "?" and "*" so tables read like the notation.
inline std::string WireHex(const std::vector<std::int32_t>& items)
{
    std::string out;
    for (const std::int32_t item : items) {
        if (!out.empty())
            out += ' ';
        if (item == ItemAnyByte) {
            out += '?';
        } else if (item == ItemAnyRun) {
            out += '*';
        } else {
            char buf[4];
            std::snprintf(buf, sizeof buf, "%02X", static_cast<unsigned>(item & 0xFF));
            out += buf;
        }
    }
    return out;
}

inline std::vector<std::int32_t> Compile(const std::string& text, bool wildcards = true,
                                         std::uint8_t order = 0, std::int32_t* result = nullptr)
{
    std::vector<std::int32_t> items;
    const std::int32_t r = CompileCommand(order, text, items, wildcards);
    if (result)
        *result = r;
    return items;
}

} // namespace vpx::test
