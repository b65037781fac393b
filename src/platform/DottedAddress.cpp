#include "platform/DottedAddress.h"

namespace vpx {

std::optional<std::uint32_t> ParseDottedAddress(std::string_view text) noexcept
{
    std::uint32_t value = 0;
    std::size_t i = 0;
    for (int part = 0; part < 4; ++part) {
        if (part > 0 && (i >= text.size() || text[i++] != '.'))
            return std::nullopt;
        const std::size_t start = i;
        unsigned number = 0;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9' && i - start < 3)
            number = number * 10 + static_cast<unsigned>(text[i++] - '0');
        if (i == start || (text[start] == '0' && i - start > 1) || number > 255)
            return std::nullopt;
        value = value << 8 | number;
    }
    if (i != text.size())
        return std::nullopt;
    return value;
}

} // namespace vpx
