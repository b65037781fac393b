#include "notation/NotationTestUtil.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vpx::test {
namespace {

struct Case {
    std::string text;
    std::int32_t result;
    std::string wire; // expected bytes; ignored when result is -1
    std::uint8_t order = 0;
    bool wildcards = true;
};

std::ostream& operator<<(std::ostream& os, const Case& c)
{
    return os << '`' << c.text << "` order " << int(c.order) << (c.wildcards ? " wild" : "");
}

void CheckCases(const std::vector<Case>& cases)
{
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c));
        std::vector<std::int32_t> items{0x55, 0x66}; // the compiler must empty what it is given
        const std::int32_t r = CompileCommand(c.order, c.text, items, c.wildcards);
        EXPECT_EQ(r, c.result);
        if (c.result < 0) {
            EXPECT_TRUE(items.empty());
        } else {
            EXPECT_EQ(static_cast<std::size_t>(r), items.size());
            EXPECT_EQ(WireHex(items), c.wire);
        }
    }
}

TEST(CompileCommand, WorkedExamples)
{
    CheckCases({
        {"01, 0x02, $FF, 255", 4, "01 02 FF FF"},
        {"\"AB\", 13, 10", 4, "41 42 0D 0A"},
        {"\"a\"\"b\"", 3, "61 22 62"},
        {"%LENS, 1, 2, 3, %LENE", 4, "01 02 03 03"},
        {"%XORS, 1, 2, 3, %XORE", 4, "01 02 03 00"},
        {"%ADDS, 0xFF, 0x02, %BSADDE", 4, "FF 02 01 01"},
        {"%ADDS, 0xFF, 0x02, %!ADDE", 3, "FF 02 FE"},
        {"%ADDS, 0xFF, 0x02, %-ADDE", 3, "FF 02 FF"},
        {"%LENS, \"ABC\", %BSLENE", 5, "41 42 43 00 03"},
        {"%LENS, %XORS, 1, 2, %XORE, %LENE", 4, "01 02 03 03"},
        {"BS0x1234", 2, "12 34"},
        {"LS0x1234", 2, "34 12"},
        {"S-2", 2, "FE FF"},
        {"F1.5", 4, "00 00 C0 3F"},
        {"BF1.5", 4, "3F C0 00 00"},
        {"BI-2", 4, "FF FF FF FE"},
        {"D1", 8, "00 00 00 00 00 00 F0 3F"},
        {"*, 0x41", 2, "* 41"},
        {"0x02, %LENS, %ADDS, \"CMD\", 0x01, %BSADDE, %LENE, 0x03", 9, "02 43 4D 44 01 00 D5 06 03"},
        {"%XORS, 0x02, %LENS, \"AB\", %LENE, %XORE", 5, "02 41 42 02 03"},
    });
}

TEST(CompileCommand, SignedByteKeepsItsSignInTheList)
{
    const auto items = Compile("C-1");
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0], -1);
    EXPECT_EQ(Compile("C-128"), std::vector<std::int32_t>{-128});
    EXPECT_EQ(Compile("c0x7F"), std::vector<std::int32_t>{127});
}

TEST(CompileCommand, BlankTextsAndTokenSplitting)
{
    CheckCases({
        {"", 0, ""},
        {"   ", 0, ""},
        {std::string("\t\r\n \x01\x1f ", 8), 0, ""},
        {" \t01 ,\t02\r\n", 2, "01 02"},
        {"01,", -1, ""},
        {"01,,02", -1, ""},
        {",01", -1, ""},
        {"01 , , 02", -1, ""},
        {"1 2", -1, ""},
        {"\"a,b\", 1", 4, "61 2C 62 01"},
        {"\"\"", 0, ""},
        {"\"\", 7", 1, "07"},
        {"\"  x  \"", 5, "20 20 78 20 20"},
        {"\"AB\"x", -1, ""},
        {"\"AB\" \"C\"", -1, ""},
        {"\"\"\"\"", 1, "22"},
    });
}

TEST(CompileCommand, UnterminatedQuoteDropsOnlyTheRest)
{
    CheckCases({
        {"01,\"abc", 1, "01"},
        {"01,\"abc, 02, 03", 1, "01"},
        {"\"abc", 0, ""},
        // Tokens before the open quote are compiled as they are cut, so an error
        // among them still wins.
        {"01, FF, \"abc", -1, ""},
    });
}

TEST(CompileCommand, DoubleByteCharactersAreSteppedOver)
{
    // 0x81 0x5C is a double-byte character whose trail byte is a backslash; 0x83 0x7C
    // has '|' as trail; neither may be split.
    const std::string sjis = "\"\x83\x5C\x83\x7C\x95\x5C\"";
    CheckCases({
        {sjis, 6, "83 5C 83 7C 95 5C"},
        // A trail byte equal to '"' or ',' belongs to its lead byte, in the scan and
        // in the quoted text alike.
        {"\"\x81\"\"", 2, "81 22"},
        {"\"\x81,\", 5", 3, "81 2C 05"},
        // Outside quotes the pair is part of the token, which is then no number.
        {"1, \x82\xA0", -1, ""},
        // A lead byte as the last byte of the text swallows the appended comma: the
        // last token never ends and is dropped like an open quote.
        {"01, 02, \x81", 2, "01 02"},
        // Half-width katakana (0xA1..0xDF) are single bytes.
        {"\"\xB1\xB2\"", 2, "B1 B2"},
    });
}

TEST(CompileCommand, PlainNumbers)
{
    CheckCases({
        {"0", 1, "00"},
        {"255", 1, "FF"},
        {"+7", 1, "07"},
        {"-0", 1, "00"},
        {"10", 1, "0A"},
        {"0x10, $10, x10, X10, 0X10", 5, "10 10 10 10 10"},
        {"$ff, $Ff", 2, "FF FF"},
        {"0xC5, $C5", 2, "C5 C5"},
        {"256", -1, ""},
        {"-1", -1, ""},
        {"0D", -1, ""},
        {"FF", -1, ""},
        {"1.5", -1, ""},
        {"$", -1, ""},
        {"0x", -1, ""},
        {"$1G", -1, ""},
        {"99999999999999999999", -1, ""},
        {"0x0000000000000000000000FF", 1, "FF"},
    });
}

TEST(CompileCommand, TypedNumbersAndTheirFirstLetters)
{
    CheckCases({
        {"C5", 1, "05"},
        {"C 5", 1, "05"},
        {"C127", 1, "7F"},
        {"C-128", 1, "80"},
        {"C128", -1, ""},
        {"C-129", -1, ""},
        {"C", -1, ""},
        {"BC5", -1, ""},
        {"LC5", -1, ""},
        {"F0", 4, "00 00 00 00"},
        {"B5", -1, ""},
        {"E5", -1, ""},
        {"B", -1, ""},
        {"L", -1, ""},
        {"B S1", 2, "00 01"},
        {"bs1, ls1, lus1, bui1", 10, "00 01 01 00 01 00 00 00 00 01"},
        {"S", -1, ""},
        {"US", -1, ""},
        {"I", -1, ""},
        {"UI", -1, ""},
        {"F", -1, ""},
        {"D", -1, ""},
        {"X1", 1, "01"},
        {"Q1", -1, ""},
        {"US-1", -1, ""},
        {"S32768", -1, ""},
        {"BS 0x1234", 2, "12 34"},
    });
}

TEST(CompileCommand, IntegerTypeBoundaries)
{
    CheckCases({
        // S
        {"BS-32768", 2, "80 00"},
        {"BS32767", 2, "7F FF"},
        {"S-32769", -1, ""},
        {"S32768", -1, ""},
        // US
        {"BUS0", 2, "00 00"},
        {"BUS65535", 2, "FF FF"},
        {"US-1", -1, ""},
        {"US65536", -1, ""},
        // I
        {"BI-2147483648", 4, "80 00 00 00"},
        {"BI2147483647", 4, "7F FF FF FF"},
        {"I-2147483649", -1, ""},
        {"I2147483648", -1, ""},
        // UI
        {"BUI0", 4, "00 00 00 00"},
        {"BUI4294967295", 4, "FF FF FF FF"},
        {"LUI0xFFFFFFFF", 4, "FF FF FF FF"},
        {"UI-1", -1, ""},
        {"UI4294967296", -1, ""},
        // C
        {"C-128", 1, "80"},
        {"C127", 1, "7F"},
        {"C-129", -1, ""},
        {"C128", -1, ""},
        // plain byte
        {"0", 1, "00"},
        {"255", 1, "FF"},
        {"256", -1, ""},
    });
}

TEST(CompileCommand, DefaultByteOrderAppliesOnlyWithoutAnOrderLetter)
{
    CheckCases({
        {"S0x1234", 2, "12 34", 1},
        {"S0x1234", 2, "34 12", 0},
        {"S0x1234", 2, "34 12", 7}, // anything but 1 is little-endian
        {"LS0x1234", 2, "34 12", 1},
        {"BS0x1234", 2, "12 34", 0},
        {"I1", 4, "00 00 00 01", 1},
        {"D1", 8, "3F F0 00 00 00 00 00 00", 1},
    });
}

TEST(CompileCommand, FloatsRoundThroughExtendedPrecision)
{
    CheckCases({
        {"F-0.25", 4, "00 00 80 BE"},
        {"BF-0.25", 4, "BE 80 00 00"},
        {"LD2.5E3", 8, "00 00 00 00 00 88 A3 40"},
        {"F1e0, F1E+0", 8, "00 00 80 3F 00 00 80 3F"},
        {"F.5", 4, "00 00 00 3F"},
        {"F1.", 4, "00 00 80 3F"},
        {"F-0", 4, "00 00 00 80"},
        {"BF0.1", 4, "3D CC CC CD"},
        {"BD0.1", 8, "3F B9 99 99 99 99 99 9A"},
        // The largest finite values, and the first decimal texts past them.
        {"BF3.4028234663852886e38", 4, "7F 7F FF FF"},
        {"BD1.7976931348623157e308", 8, "7F EF FF FF FF FF FF FF"},
        {"F3.5e38", -1, ""},
        {"D1.8e308", -1, ""},
        {"F1e5000", -1, ""},
        // Too small for the precision: subnormal or zero, not an error.
        {"BF1e-45", 4, "00 00 00 01"},
        {"BF1e-50", 4, "00 00 00 00"},
        {"BD1e-400", 8, "00 00 00 00 00 00 00 00"},
        // Decimal text only.
        {"F0x10", -1, ""},
        {"Finf", -1, ""},
        {"Fnan", -1, ""},
        {"F.", -1, ""},
        {"F1e", -1, ""},
        {"F1e+", -1, ""},
        {"F 1.5", 4, "00 00 C0 3F"},
    });
}

TEST(CompileCommand, FloatCommaSplitsIntoTwoTokens)
{
    // "F1,5" is two tokens: a float 1.0 and a byte 5.
    std::int32_t r = 0;
    const auto items = Compile("F1,5", true, 0, &r);
    EXPECT_EQ(r, 5);
    EXPECT_EQ(WireHex(items), "00 00 80 3F 05");
}

TEST(CompileCommand, DoubleRoundingGoesThroughExtendedPrecision)
{
    // 1 + 2^-24 + 2^-64 lies just above the halfway point between two floats, but
    // rounding to 64 significant bits first drops the 2^-64 and leaves an exact tie,
    // which then rounds to even: 1.0. A direct decimal-to-float conversion gives the
    // next float up, 3F800001.
    CheckCases({
        {"BF1.0000000596046447753906250542101086242752217003726400434970855712890625", 4,
         "3F 80 00 00"},
    });
}

TEST(CompileCommand, KeywordsAndRanges)
{
    CheckCases({
        {"%lens, 1, %lene", 2, "01 01"},
        {"% LENS", -1, ""},
        {"%", -1, ""},
        {"%!", -1, ""},
        {"%-", -1, ""},
        {"%! ", -1, ""},
        {"%B", -1, ""},
        {"%!B", -1, ""},
        {"%FOO", -1, ""},
        {"%LENS, 1, %! LENE", 2, "01 FE"},
        {"%LENS, 1, %B SLENE", 3, "01 00 01"},
        {"%LENS, 1, %BLENE", -1, ""},
        {"%LENS, 1, %-BSADDE", 1, "01"}, // valid keyword, sum range not open
        {"%B-SADDE", -1, ""},
        {"%!LENS", -1, ""},
        {"%XORS, 1, %BXORE", -1, ""},
        {"%XORS, 1, %SXORE", -1, ""}, // there is no multi-byte XOR field
        {"%LENE", 0, ""},
        {"%LENS", 0, ""},
        {"%!BUIADDE, %-ILENE, %XORE", 0, ""},
        {"%LENS, 1, %LENS, 2, 3, %LENE", 4, "01 02 03 02"},
        {"%LENS, 1, %XORS, 2, %LENE, 3, %XORE", 5, "01 02 02 03 03"},
        {"%LENS, 1, 2, 3, %-LENE", 4, "01 02 03 FD"},
        {"%LENS, 1, 2, 3, %!LENE", 4, "01 02 03 FC"},
        {"%LENS, 1, 2, 3, 4, 5, %ILENE", 9, "01 02 03 04 05 00 00 00 05", 1},
        {"%LENS, 1, 2, 3, 4, 5, %ILENE", 9, "01 02 03 04 05 05 00 00 00", 0},
        {"%LENS, 1, 2, 3, 4, 5, %LILENE", 9, "01 02 03 04 05 05 00 00 00", 1},
        {"%LENS, 1, 2, 3, 4, 5, %LILENE", 9, "01 02 03 04 05 05 00 00 00", 0},
        {"%LENS, 1, %LENE, %LENE", 2, "01 01"}, // the second end finds the range closed
        {"%ADDS, C-1, %ADDE", 2, "FF FF"},     // a signed byte is summed by its low 8 bits
        {"%ADDS, C-1, C-1, %BUSADDE", 4, "FF FF 01 FE"},
        {"%ADDS, 1, %-BSADDE", 3, "01 FF FF"},
        {"%ADDS, 1, %!BIADDE", 5, "01 FF FF FF FE"},
        {"%ADDS, 0, %-ADDE", 2, "00 00"},
        {"%LENS, 1, %ADDS, 2, %LENE, %ADDE", 4, "01 02 02 04"}, // the length field is summed
    });
}

TEST(CompileCommand, LengthFieldTruncatesToItsWidth)
{
    std::string text = "%LENS";
    for (int i = 0; i < 256; ++i)
        text += ", 7";
    std::int32_t r = 0;
    auto items = Compile(text + ", %LENE", true, 0, &r);
    ASSERT_EQ(r, 257);
    EXPECT_EQ(items.back(), 0x00);
    items = Compile(text + ", %BSLENE", true, 0, &r);
    ASSERT_EQ(r, 258);
    EXPECT_EQ(WireHex({items.end() - 2, items.end()}), "01 00");
}

TEST(CompileCommand, SumWrapsWithinItsField)
{
    std::string text = "%ADDS";
    for (int i = 0; i < 300; ++i)
        text += ", 255";
    std::int32_t r = 0;
    const auto items = Compile(text + ", %BUSADDE", true, 0, &r);
    ASSERT_EQ(r, 302);
    // 300 * 255 = 76500 = 0x12AD4, truncated to 16 bits.
    EXPECT_EQ(WireHex({items.end() - 2, items.end()}), "2A D4");
}

TEST(CompileCommand, Wildcards)
{
    CheckCases({
        {"?", 1, "?"},
        {"*", 1, "*"},
        {"?", -1, "", 0, false},
        {"*", -1, "", 0, false},
        {"%LENS, ?", -1, ""},
        {"%XORS, *", -1, ""},
        {"%ADDS, 1, %ADDE, ?", 3, "01 01 ?"},
        {"%LENS, %LENE, *", 2, "00 *"},
        {"??", -1, ""},
        {"\"?\"", 1, "3F"},
        {"?, *, $41", 3, "? * 41"},
    });
}

TEST(CompileCommand, WildcardsFeedNoRange)
{
    // A range opened after a wildcard counts only what follows.
    CheckCases({{"?, %LENS, 1, %LENE", 3, "? 01 01"}});
}

TEST(CompileCommand, ErrorStopsAtTheFirstFaultyToken)
{
    std::vector<std::int32_t> items;
    EXPECT_EQ(CompileCommand(0, "1, 2, 300, \"unterminated", items, false), -1);
    EXPECT_TRUE(items.empty());
    EXPECT_EQ(CompileCommand(0, "1, 2, ZZ, 3", items, false), -1);
    EXPECT_TRUE(items.empty());
}

} // namespace
} // namespace vpx::test
