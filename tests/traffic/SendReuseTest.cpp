#include "SendTestRig.h"

#include <gtest/gtest.h>

#include <string>

namespace vpx::test {
namespace {

// The compiled form of the last mixed text is kept for the next send of the
// same text; every send must still go out exactly as a fresh compilation would.
TEST(SendReuse, RepeatedTextsSendWhatAFreshCompilationWould)
{
    SendRig rig;
    const struct {
        bool text;
        std::uint8_t order;
        std::string notation;
        std::string wire; // empty: nothing is sent
    } sends[] = {
        {false, 0, "S0x0102", Bytes({0x02, 0x01})},
        {false, 0, "S0x0102", Bytes({0x02, 0x01})},
        {false, 1, "S0x0102", Bytes({0x01, 0x02})}, // same text, other byte order
        {false, 1, "S0x0102", Bytes({0x01, 0x02})},
        {true, 1, "S0x0102", "S0x0102"},            // the same text as plain text
        {false, 1, "S0x0102", Bytes({0x01, 0x02})},
        {false, 0, "0x1FF", ""},                     // faulty: nothing
        {false, 0, "0x1FF", ""},
        {false, 0, "S0x0102", Bytes({0x02, 0x01})},
        {false, 0, " ", ""},                         // blank: nothing
        {false, 0, "\"ab\"", "ab"},
    };
    int logged = 0;
    for (const auto& s : sends) {
        rig.send->SendPayload(tkAutoReplySent, s.text, s.order, s.notation, "r");
        if (s.wire.empty()) {
            EXPECT_TRUE(rig.PeerQuiet()) << s.notation;
            EXPECT_EQ(rig.Count(), logged) << s.notation;
            continue;
        }
        EXPECT_EQ(rig.PeerReceive(), s.wire) << s.notation;
        ASSERT_EQ(rig.Count(), ++logged) << s.notation;
        EXPECT_EQ(RecordBytes(rig.Last()), s.wire) << s.notation;
    }
}

} // namespace
} // namespace vpx::test
