#include "platform/DottedAddress.h"
#include "platform/WinSock.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>

namespace vpx {
namespace {

// One table for the one reader, and the socket layer's inet_addr agreeing with
// it: the classic parser's octal ("010" is 8), hexadecimal and short forms are
// refused, not read another way.
TEST(DottedAddress, FourPlainDecimalNumbersOnly)
{
    const struct {
        const char* text;
        std::optional<std::uint32_t> value;
    } cases[] = {
        {"127.0.0.1", 0x7F000001}, {"0.0.0.0", 0}, {"255.255.255.255", 0xFFFFFFFF}, {"192.168.10.200", 0xC0A80AC8},
        {"010", std::nullopt},       {"239.1.2.010", std::nullopt}, {"00.0.0.0", std::nullopt},
        {"0x7F.0.0.1", std::nullopt}, {"1.2.3", std::nullopt},      {"10.1", std::nullopt},
        {"2130706433", std::nullopt}, {"256.0.0.1", std::nullopt},  {"1234.1.1.1", std::nullopt},
        {" 1.2.3.4", std::nullopt},   {"1.2.3.4 ", std::nullopt},   {"+1.2.3.4", std::nullopt},
        {"1.2.3.4.", std::nullopt},   {"1..2.3", std::nullopt},     {"1.2.3.4x", std::nullopt}, {"", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ParseDottedAddress(c.text), c.value) << c.text;
        EXPECT_EQ(ws::inet_addr(c.text), c.value ? htonl(*c.value) : ws::WS_INADDR_NONE) << c.text;
    }
}

} // namespace
} // namespace vpx
