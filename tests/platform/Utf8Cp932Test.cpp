#include "platform/Utf8Cp932.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vpx {
namespace {

struct DetectCase {
    const char* what;
    std::string bytes;
    bool utf8;
};

class LooksLikeUtf8Test : public ::testing::TestWithParam<DetectCase> {};

TEST_P(LooksLikeUtf8Test, TellsTheEncodingApart)
{
    EXPECT_EQ(LooksLikeUtf8(GetParam().bytes), GetParam().utf8) << GetParam().what;
}

INSTANTIATE_TEST_SUITE_P(
    Files, LooksLikeUtf8Test,
    ::testing::Values(
        DetectCase{"ASCII only: the same bytes either way", "0 Device\r\n1 Read=2:0x01\r\n", false},
        DetectCase{"Japanese in UTF-8", "0 デバイス\r\n1 読む=1:ステータス\r\n", true},
        DetectCase{"the same text in code page 932", "0 \x83\x66\x83\x6F\x83\x43\x83\x58\r\n", false},
        DetectCase{"half-width kana that happen to form UTF-8 (U+07A7)", "0 \xDE\xA7\r\n", false},
        DetectCase{"UTF-8 that is no code page 932 (a cut lead byte)", "0 Stra\xC3\x9F", true},
        DetectCase{"a byte-order mark before ASCII", "\xEF\xBB\xBF" "0 A\r\n", true},
        DetectCase{"a binary", std::string("\x89PNG\r\n\x1A\n\0\0\xFF", 11), false},
        DetectCase{"empty", "", false}));

struct ConvertCase {
    const char* what;
    std::string utf8;
    std::string cp932;
    std::vector<std::size_t> missing;
};

class ConvertUtf8Test : public ::testing::TestWithParam<ConvertCase> {};

TEST_P(ConvertUtf8Test, GivesCodePage932AndWhereCharactersWereLost)
{
    const Utf8Conversion c = ConvertUtf8ToCp932(GetParam().utf8);
    EXPECT_EQ(c.bytes, GetParam().cp932) << GetParam().what;
    EXPECT_EQ(c.missing, GetParam().missing) << GetParam().what;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ConvertUtf8Test,
    ::testing::Values(
        ConvertCase{"kana and half-width kana", "0 デバイス ｱ\r\n", "0 \x83\x66\x83\x6F\x83\x43\x83\x58 \xB1\r\n", {}},
        ConvertCase{"the byte-order mark is dropped", "\xEF\xBB\xBF" "0 A", "0 A", {}},
        ConvertCase{"a character code page 932 lacks", "0 \xF0\x9F\x98\x80x\r\n", "0 ?x\r\n", {2}},
        ConvertCase{"two lost, one per line", "\xF0\x9F\x98\x80\n\xF0\x9F\x98\x81", "?\n?", {0, 2}},
        ConvertCase{"a byte that is no UTF-8", "a\xFF" "b", "a?b", {1}}));

TEST(Utf8Cp932, ValidityOfBothEncodings)
{
    EXPECT_TRUE(IsValidUtf8("0 デバイス"));
    EXPECT_FALSE(IsValidUtf8("\xC0\xAF"));         // overlong "/"
    EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));     // a surrogate
    EXPECT_TRUE(IsValidCp932("\x83\x66\xB1 A"));
    EXPECT_FALSE(IsValidCp932("\x83"));            // a lead byte without its trail
    EXPECT_FALSE(IsValidCp932("\xFF"));
    // Where each reading stops.
    EXPECT_EQ(ValidUtf8Length("\xE3\x81\x82\xC0\xAF"), 3u);
    EXPECT_EQ(ValidCp932Length("\x83\x66" "a\x83"), 3u);
    EXPECT_EQ(ValidCp932Length("a\xFF" "b"), 1u);
    EXPECT_EQ(ValidCp932Length("\x83\x66"), 2u);
}

} // namespace
} // namespace vpx
