#include "shell/StartUp.h"

#include "support/FakePrompts.h"
#include "transport/UDPErrs.h"

#include <gtest/gtest.h>

#include <new>
#include <ostream>
#include <stdexcept>

namespace vpx {
namespace {

struct StartCase {
    const char* what;
    std::function<int()> run;
    int status;
    const char* message; // nullptr: no box
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const StartCase& c, std::ostream* os)
{
    *os << c.what;
}

class StartUp : public ::testing::TestWithParam<StartCase> {};

TEST_P(StartUp, FailuresAreShownAndEndWithAStatus)
{
    const StartCase& c = GetParam();
    test::FakePrompts prompts;
    EXPECT_EQ(RunProgram(prompts, c.run), c.status);
    if (!c.message) {
        EXPECT_TRUE(prompts.messages.empty());
        return;
    }
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].text, QString::fromUtf8(c.message));
    EXPECT_EQ(prompts.messages[0].caption, QStringLiteral("Vorpex"));
    EXPECT_EQ(prompts.messages[0].icon, PromptIcon::Error);
    EXPECT_EQ(prompts.messages[0].buttons, static_cast<int>(PromptButton::Ok));
}

const std::string kHostNameFailed = SocketErrorMessage("gethostname", 10093);

INSTANTIATE_TEST_SUITE_P(
    Main, StartUp,
    ::testing::Values(
        StartCase{"RanToTheEnd", [] { return 0; }, 0, nullptr},
        StartCase{"OwnStatusKept", [] { return 3; }, 3, nullptr},
        StartCase{"HostNameFailed", []() -> int { throw EUDPSockError(kHostNameFailed); }, kStartUpFailedStatus,
                  kHostNameFailed.c_str()},
        StartCase{"OutOfMemory", []() -> int { throw std::bad_alloc(); }, kStartUpFailedStatus,
                  std::bad_alloc().what()},
        StartCase{"NotAStdException", []() -> int { throw 42; }, kStartUpFailedStatus,
                  "予期しないエラーが発生しました"}),
    [](const ::testing::TestParamInfo<StartCase>& info) { return std::string(info.param.what); });

} // namespace
} // namespace vpx
