#include "notation/Notation.h"

#include <gtest/gtest.h>

namespace vpx {
namespace {

struct PositionCase {
    const char* text;
    std::size_t position;
};

class NotationErrorPosition : public ::testing::TestWithParam<PositionCase> {};

TEST_P(NotationErrorPosition, IsTheFaultyTokensFirstByte)
{
    std::vector<std::int32_t> items{7};
    std::size_t position = 999;
    EXPECT_EQ(CompileCommand(0, GetParam().text, items, false, &position), -1);
    EXPECT_TRUE(items.empty());
    EXPECT_EQ(position, GetParam().position);
}

INSTANTIATE_TEST_SUITE_P(Table, NotationErrorPosition,
                         ::testing::Values(PositionCase{"x", 1}, PositionCase{" \t x", 4}, PositionCase{"1,x", 3},
                                           PositionCase{"1,  x ,2", 5}, PositionCase{"1,\"a\"b", 3},
                                           PositionCase{"\x82\xA0\x82\xA0", 1}, PositionCase{"1,2,", 5},
                                           PositionCase{"\"a,b\",q", 7}));

TEST(NotationErrorPositionUnset, LeftAloneWhenTheTextCompiles)
{
    std::vector<std::int32_t> items;
    std::size_t position = 42;
    EXPECT_EQ(CompileCommand(0, "1,2", items, false, &position), 2);
    EXPECT_EQ(position, 42u);
}

} // namespace
} // namespace vpx
