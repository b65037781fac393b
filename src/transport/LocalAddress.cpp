#include "transport/LocalAddress.h"

#include <algorithm>
#include <cctype>

namespace vpx {

LocalAddressChoice ResolveLocalAddress(const std::string& choice, const std::string& ruleAddress,
                                       bool overridden, const std::vector<ws::InterfaceAddress>& up)
{
    if (overridden)
        return LocalAddressChoice{ruleAddress, false, true};
    if (choice.empty())
        return LocalAddressChoice{ruleAddress, false, false};
    if (choice == kAnyAddress)
        return LocalAddressChoice{choice, false, false};
    const bool present =
        std::any_of(up.begin(), up.end(), [&](const ws::InterfaceAddress& i) { return i.address == choice; });
    if (!present)
        return LocalAddressChoice{ruleAddress, true, false};
    return LocalAddressChoice{choice, false, false};
}

std::vector<LocalAddressEntry> LocalAddressEntries(const std::vector<ws::InterfaceAddress>& up)
{
    std::vector<LocalAddressEntry> result{{std::string(), std::string()}, {kAnyAddress, std::string()}};
    for (const auto& i : up) {
        const bool seen = std::any_of(result.begin(), result.end(),
                                      [&](const LocalAddressEntry& e) { return e.value == i.address; });
        if (!seen)
            result.push_back(LocalAddressEntry{i.address, i.name});
    }
    return result;
}

bool IsMulticastAddress(const std::string& text)
{
    const auto address = ParseDottedAddress(text);
    return address && *address >> 28 == 0xE; // 1110 in the top four bits
}

MulticastGroupList ParseMulticastGroups(const std::string& text)
{
    MulticastGroupList result;
    std::string item;
    const auto take = [&] {
        if (item.empty())
            return;
        if (!IsMulticastAddress(item)) {
            if (result.bad.empty())
                result.bad = item;
        } else if (std::find(result.groups.begin(), result.groups.end(), item) == result.groups.end()) {
            result.groups.push_back(item);
        }
        item.clear();
    };
    for (char c : text) {
        if (c == ',' || c == ';' || std::isspace(static_cast<unsigned char>(c)))
            take();
        else
            item += c;
    }
    take();
    return result;
}

std::string JoinMulticastGroups(const std::vector<std::string>& groups)
{
    std::string result;
    for (const auto& g : groups) {
        if (!result.empty())
            result += ", ";
        result += g;
    }
    return result;
}

std::string BindAddressFor(const std::string& localAddress, const std::vector<std::string>& groups)
{
    return groups.empty() ? localAddress : std::string(kAnyAddress);
}

} // namespace vpx
