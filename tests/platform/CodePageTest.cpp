#include "platform/CodePage.h"

#include <QString>

#include <gtest/gtest.h>

namespace vpx {
namespace {

TEST(CodePage, LeadByteRanges)
{
    int leads = 0;
    for (int c = 0; c < 256; ++c)
        leads += IsLeadByte(static_cast<std::uint8_t>(c));
    EXPECT_EQ(leads, (0x9F - 0x81 + 1) + (0xFC - 0xE0 + 1));
    EXPECT_TRUE(IsLeadByte(std::uint8_t{0x81}));
    EXPECT_TRUE(IsLeadByte(std::uint8_t{0xFC}));
    EXPECT_FALSE(IsLeadByte(std::uint8_t{0x80}));
    EXPECT_FALSE(IsLeadByte(std::uint8_t{0xA0}));
    EXPECT_FALSE(IsLeadByte(std::uint8_t{0xDF}));
    EXPECT_FALSE(IsLeadByte(std::uint8_t{0xFD}));
}

TEST(CodePage, ClassifiesLeadAndTrail)
{
    const auto kinds = ClassifyBytes("a\x83\x5C\xB1\x81");
    ASSERT_EQ(kinds.size(), 5u);
    EXPECT_EQ(kinds[0], ByteKind::Single);
    EXPECT_EQ(kinds[1], ByteKind::Lead);
    EXPECT_EQ(kinds[2], ByteKind::Trail);
    EXPECT_EQ(kinds[3], ByteKind::Single); // half-width katakana
    EXPECT_EQ(kinds[4], ByteKind::Single); // lead byte without a trail
}

TEST(CodePage, SearchNeverStartsOnATrailByte)
{
    // "ソ" is 0x83 0x5C: its trail byte is a backslash and must not be found alone.
    EXPECT_EQ(FindOnCharBoundary("\x83\x5C", "\x5C"), std::string_view::npos);
    EXPECT_EQ(FindOnCharBoundary("\x83\x5C\x5C", "\x5C"), 2u);
    EXPECT_EQ(FindOnCharBoundary("ab\x83\x7C", "\x7C"), std::string_view::npos);
    EXPECT_EQ(FindOnCharBoundary("abc", ""), 0u);
    EXPECT_EQ(FindOnCharBoundary("abc", "bc"), 1u);
    EXPECT_EQ(FindOnCharBoundary("ab", "abc"), std::string_view::npos);
}

TEST(CodePage, ConvertsBothWays)
{
    const QString text = QStringLiteral("ソ表示 ｱ A");
    const AnsiString bytes = ToAnsi(text);
    EXPECT_EQ(bytes, "\x83\x5C\x95\x5C\x8E\xA6 \xB1 A");
    EXPECT_EQ(FromAnsi(bytes), text);
}

TEST(CodePage, UnrepresentableCharactersBecomeQuestionMarks)
{
    EXPECT_EQ(ToAnsi(QStringLiteral("a\u00E9b")), "a?b");
    EXPECT_EQ(ToAnsi(QString::fromUtf8("x\xF0\x9F\x98\x80y")), "x?y"); // outside the BMP
    EXPECT_EQ(FromAnsi("a\x81"), QStringLiteral("a\uFFFD"));
}

} // namespace
} // namespace vpx
