#include "notation/PatternTypes.h"

namespace vpx {

std::string_view ValueTypeName(TValueType type) noexcept
{
    switch (type) {
    case TValueType::Byte:
    case TValueType::Run:
        return {};
    case TValueType::C:
        return "C";
    case TValueType::S:
        return "S";
    case TValueType::US:
        return "US";
    case TValueType::I:
        return "I";
    case TValueType::UI:
        return "UI";
    case TValueType::F:
        return "F";
    case TValueType::D:
        return "D";
    }
    return {};
}

bool IsCaptureName(std::string_view name) noexcept
{
    const auto letter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); };
    if (name.empty() || !letter(name.front()))
        return false;
    for (const char c : name)
        if (!letter(c) && !(c >= '0' && c <= '9') && c != '_')
            return false;
    return true;
}

} // namespace vpx
