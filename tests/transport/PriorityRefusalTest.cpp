// A watcher priority the system refuses: the port opens and works, the caller is
// told once per refusal, and what is in force is the step the thread really runs
// at. The process may hold the privilege to raise priorities (tests often run as
// root), so the refusal comes from a stand-in for the system call that refuses
// every raise above normal, as the system does for an ordinary user.

#include "platform/ThreadPriority.h"
#include "transport/UDPCtrl.h"

#include "TransportTestUtil.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace vpx {
namespace {

bool RefuseRaising(int step) noexcept
{
    return step <= tpNormal && SystemApplyThreadPriority(step);
}

struct RefusalCase {
    const char* name;
    TThreadPriority atOpen;
    TThreadPriority later; // set while open
    std::vector<std::string> notes; // "open": refused at Open, "later": refused while open
    bool refusedAtEnd;
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const RefusalCase& c, std::ostream* os)
{
    *os << c.name;
}

class PriorityRefusal : public ::testing::TestWithParam<RefusalCase> {
protected:
    void SetUp() override { SetThreadPriorityApplier(&RefuseRaising); }
    void TearDown() override { SetThreadPriorityApplier(nullptr); }
};

std::string Note(TThreadPriority wanted, TThreadPriority inForce)
{
    return std::to_string(wanted) + ">" + std::to_string(inForce);
}

TEST_P(PriorityRefusal, OpenSucceedsAndTheStepInForceIsTold)
{
    const RefusalCase& c = GetParam();
    // A new thread starts at the step of the thread that makes it.
    const auto inherited = static_cast<TThreadPriority>(CurrentThreadPriority());
    TUDPControl udp;
    std::vector<std::string> notes;
    udp.OnPriorityRefused = [&](TCustomUDPSock& sender, TThreadPriority wanted, TThreadPriority inForce) {
        EXPECT_EQ(&sender, &udp);
        notes.push_back(Note(wanted, inForce));
    };
    udp.SetPriority(c.atOpen);
    udp.Open();
    ASSERT_TRUE(udp.Active());
    EXPECT_EQ(udp.Priority(), c.atOpen); // the wish is kept, to be stored
    EXPECT_EQ(udp.PriorityRefused(), c.atOpen > tpNormal);
    EXPECT_EQ(udp.PriorityInForce(), c.atOpen > tpNormal ? inherited : c.atOpen);
    const TThreadPriority afterOpen = udp.PriorityInForce();
    udp.SetPriority(c.later);
    EXPECT_EQ(udp.PriorityInForce(), c.later > tpNormal ? afterOpen : c.later);
    EXPECT_EQ(udp.PriorityRefused(), c.refusedAtEnd);

    // The port works whatever the watcher runs at.
    test::Peer peer;
    EXPECT_EQ(udp.Send("ok", 2, "", "127.0.0.1", peer.Port()), 2);
    std::string got;
    std::uint16_t from = 0;
    EXPECT_TRUE(peer.Receive(got, from));
    EXPECT_EQ(got, "ok");

    std::vector<std::string> expected;
    for (const std::string& n : c.notes)
        expected.push_back(n == "open" ? Note(c.atOpen, inherited) : Note(c.later, afterOpen));
    EXPECT_EQ(notes, expected);
    udp.Close();
    EXPECT_EQ(udp.PriorityInForce(), c.later); // closed: only the wish is left
    EXPECT_FALSE(udp.PriorityRefused());
}

INSTANTIATE_TEST_SUITE_P(
    Watcher, PriorityRefusal,
    ::testing::Values(RefusalCase{"LowerAtOpen", tpLower, tpLowest, {}, false},
                      RefusalCase{"HighestAtOpen", tpHighest, tpLower, {"open"}, false},
                      RefusalCase{"RaisedWhileOpen", tpLowest, tpTimeCritical, {"later"}, true},
                      RefusalCase{"RefusedTwice", tpHigher, tpHighest, {"open", "later"}, true}),
    [](const ::testing::TestParamInfo<RefusalCase>& info) { return std::string(info.param.name); });

} // namespace
} // namespace vpx
