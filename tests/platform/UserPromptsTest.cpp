#include "support/FakePrompts.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace vpx::test {
namespace {

TEST(Guarded, ShowsAnEscapingExceptionInsteadOfLettingItThrough)
{
    FakePrompts prompts;
    int calls = 0;
    auto handler = guarded(prompts, [&](int n) {
        calls += n;
        throw std::runtime_error("ソケットはすでに開いています");
    });
    EXPECT_NO_THROW(handler(2));
    EXPECT_EQ(calls, 2);
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].text, QStringLiteral("ソケットはすでに開いています"));
    EXPECT_EQ(prompts.messages[0].icon, PromptIcon::Error);
}

TEST(Guarded, QuietWhenNothingIsThrown)
{
    FakePrompts prompts;
    bool ran = false;
    guarded(prompts, [&] { ran = true; })();
    EXPECT_TRUE(ran);
    EXPECT_TRUE(prompts.messages.empty());
}

} // namespace
} // namespace vpx::test
