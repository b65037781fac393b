#include "shell/IPEdit.h"
#include "shell/NumEdit.h"
#include "shell/PeerEndpoint.h"

#include <gtest/gtest.h>

namespace vpx {
namespace {

TEST(PeerEndpoint, FollowsEveryEditOfTheBoxes)
{
    TIPEdit address;
    TNumEdit port;
    port.SetMax(65535);
    TPeerEndpoint peer(address, port);
    address.SetAddress(QStringLiteral("10.0.0.5"));
    port.SetValue(7000);
    EXPECT_EQ(peer.Address(), "10.0.0.5");
    EXPECT_EQ(peer.Port(), 7000);
    address.Field(3)->setText(QStringLiteral("6"));
    port.setText(QStringLiteral("7001"));
    EXPECT_EQ(peer.Address(), "10.0.0.6");
    EXPECT_EQ(peer.Port(), 7001);
}

TEST(PeerEndpoint, AnOutOfRangeTextRaisesOnEveryReadAndIsNeverKept)
{
    TIPEdit address;
    TNumEdit port;
    port.SetMax(65535);
    TPeerEndpoint peer(address, port);
    port.setText(QStringLiteral("70000"));
    EXPECT_THROW(peer.Port(), EInvalidOperation);
    EXPECT_THROW(peer.Port(), EInvalidOperation);
    address.Field(0)->setText(QStringLiteral("300"));
    EXPECT_THROW(peer.Address(), EInvalidOperation);
    port.setText(QStringLiteral("5"));
    address.Field(0)->setText(QStringLiteral("127"));
    EXPECT_EQ(peer.Port(), 5);
    EXPECT_EQ(peer.Address(), "127.0.0.0");
}

} // namespace
} // namespace vpx
