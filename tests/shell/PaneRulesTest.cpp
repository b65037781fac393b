#include "shell/PaneRules.h"

#include <gtest/gtest.h>

namespace vpx {
namespace {

TEST(PaneRules, UpperPaneLeavesThirtyPixelsBelowAndKeepsThirtyItself)
{
    const struct {
        int client, top, height, expected;
    } cases[] = {
        {453, 80, 244, 244}, // room enough: unchanged
        {350, 80, 244, 350 - 80 - 30 - 4},
        {100, 80, 244, 30},  // even the least upper pane does not fit: it keeps 30
        {400, 80, 0, 0},     // a pane of no height is left alone
        {400, 80, 20, 30},
    };
    for (const auto& c : cases)
        EXPECT_EQ(UpperPaneHeight(c.client, c.top, c.height), c.expected)
            << c.client << ' ' << c.top << ' ' << c.height;
}

TEST(PaneRules, LeftPaneLeavesThirtyPixelsToTheRight)
{
    EXPECT_EQ(LeftPaneWidth(632, 128), 128);
    EXPECT_EQ(LeftPaneWidth(150, 128), 150 - 30 - 4);
    EXPECT_EQ(LeftPaneWidth(50, 128), 30);
    EXPECT_EQ(LeftPaneWidth(50, 0), 0);
}

} // namespace
} // namespace vpx
