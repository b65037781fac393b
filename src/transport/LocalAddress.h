#pragma once

// Which local address the port binds to, and which multicast groups it joins.
// The choice is what the user picked in the communication settings: empty for
// the host's own address (the rule the endpoint has always used), "0.0.0.0" for
// every address, or one interface's address. The interfaces are handed in, so
// the rules can be checked without the machine's own network.

#include "platform/DottedAddress.h"
#include "platform/WinSock.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vpx {

inline constexpr const char* kAnyAddress = "0.0.0.0";

struct LocalAddressChoice {
    std::string address; // what the port binds to
    bool vanished = false;   // the chosen address is on no interface that is up: the rule's instead
    bool overridden = false; // VORPEX_LOCAL_ADDRESS decides; the choice is not used
};

// `ruleAddress`: the host's own address (or the override's value when there is one).
LocalAddressChoice ResolveLocalAddress(const std::string& choice, const std::string& ruleAddress,
                                       bool overridden, const std::vector<ws::InterfaceAddress>& up);

// One entry of the settings dialog's list: the stored value and what it shows.
struct LocalAddressEntry {
    std::string value; // "" for the rule, "0.0.0.0", or a dotted address
    std::string name;  // the interface's name; empty for the first two
};
// The rule, every address, then each interface address in the system's order.
std::vector<LocalAddressEntry> LocalAddressEntries(const std::vector<ws::InterfaceAddress>& up);

// 224.0.0.0 to 239.255.255.255, in the one dotted form (platform/DottedAddress.h).
bool IsMulticastAddress(const std::string& text);

// A list of groups as the settings keep it: dotted addresses separated by commas
// or white space. Duplicates are kept once, in the order first given.
struct MulticastGroupList {
    std::vector<std::string> groups;
    std::string bad; // the first entry that is not a multicast address; empty when all are
};
MulticastGroupList ParseMulticastGroups(const std::string& text);
std::string JoinMulticastGroups(const std::vector<std::string>& groups); // "a, b"

// The multicast hop limit: 1 keeps a group datagram on the local network.
inline constexpr int kDefaultMulticastTtl = 1;
inline constexpr bool IsValidMulticastTtl(int ttl) noexcept
{
    return ttl >= 0 && ttl <= 255;
}

// Linux hands a group's datagrams only to sockets bound to the wildcard address
// (or to the group itself), so a port that joins groups binds to every address
// and joins on the chosen interface.
std::string BindAddressFor(const std::string& localAddress, const std::vector<std::string>& groups);

} // namespace vpx
