#include "platform/CodePage.h"

#include <QString>

#include <gtest/gtest.h>

#include <map>
#include <string>

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
    EXPECT_EQ(ToAnsi(QString(QChar(0xD800)) + QLatin1Char('z')), "?z"); // a lone surrogate
}

std::string Pair(int lead, int trail)
{
    return {static_cast<char>(lead), static_cast<char>(trail)};
}

// The pairs that show the same character as another pair, outside the
// NEC-selected IBM rows ED and EE, with the pair Windows writes for the character.
const std::map<std::string, std::string>& NonEdEeDuplicates()
{
    static const std::map<std::string, std::string> pairs = [] {
        std::map<std::string, std::string> m = {
            {Pair(0x87, 0x90), Pair(0x81, 0xE0)}, {Pair(0x87, 0x91), Pair(0x81, 0xDF)},
            {Pair(0x87, 0x92), Pair(0x81, 0xE7)}, {Pair(0x87, 0x95), Pair(0x81, 0xE3)},
            {Pair(0x87, 0x96), Pair(0x81, 0xDB)}, {Pair(0x87, 0x97), Pair(0x81, 0xDA)},
            {Pair(0x87, 0x9A), Pair(0x81, 0xE6)}, {Pair(0x87, 0x9B), Pair(0x81, 0xBF)},
            {Pair(0x87, 0x9C), Pair(0x81, 0xBE)}, {Pair(0xFA, 0x54), Pair(0x81, 0xCA)},
            {Pair(0xFA, 0x58), Pair(0x87, 0x8A)}, {Pair(0xFA, 0x59), Pair(0x87, 0x82)},
            {Pair(0xFA, 0x5A), Pair(0x87, 0x84)}, {Pair(0xFA, 0x5B), Pair(0x81, 0xE6)},
            {Pair(0xEE, 0xF9), Pair(0x81, 0xCA)},
        };
        for (int i = 0; i < 10; ++i) // Roman numerals I-X
            m[Pair(0xFA, 0x4A + i)] = Pair(0x87, 0x54 + i);
        return m;
    }();
    return pairs;
}

TEST(CodePage, EverySingleByteComesBackAsItWas)
{
    const std::map<int, char16_t> known = {
        {0x00, 0x0000}, {0x5C, 0x005C}, {0x7E, 0x007E}, {0x7F, 0x007F}, {0x80, 0x0080}, {0xA0, 0xF8F0},
        {0xA1, 0xFF61}, {0xDF, 0xFF9F}, {0xFD, 0xF8F1}, {0xFE, 0xF8F2}, {0xFF, 0xF8F3},
        {0x81, 0xF781}, {0x9F, 0xF79F}, {0xE0, 0xF7E0}, {0xFC, 0xF7FC}, // lead bytes alone
    };
    for (int b = 0; b < 256; ++b) {
        SCOPED_TRACE(b);
        const std::string bytes(1, static_cast<char>(b));
        const QString text = FromAnsi(bytes);
        ASSERT_EQ(text.size(), 1);
        EXPECT_EQ(ToAnsi(text), bytes);
        if (const auto k = known.find(b); k != known.end()) {
            EXPECT_EQ(text.at(0).unicode(), k->second);
        }
    }
}

// Every lead/trail pair the code page can hold, valid or not.
TEST(CodePage, EveryPairComesBackAsItWasUnlessAnotherPairShowsTheSameCharacter)
{
    int duplicates = 0;
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
        for (int trail = 0x40; trail <= 0xFC; ++trail) {
            const std::string bytes = Pair(lead, trail);
            const QString text = FromAnsi(bytes);
            const AnsiString typed = ToAnsi(text);
            ASSERT_EQ(ToAnsiKeeping(text, bytes), bytes) << std::hex << lead << ' ' << trail;
            if (typed == bytes)
                continue;
            ++duplicates;
            // Typed, the character becomes the pair Windows writes for it, which shows it too.
            ASSERT_EQ(FromAnsi(typed), text) << std::hex << lead << ' ' << trail;
            const auto listed = NonEdEeDuplicates().find(bytes);
            if (listed != NonEdEeDuplicates().end()) {
                EXPECT_EQ(typed, listed->second) << std::hex << lead << ' ' << trail;
            } else {
                ASSERT_TRUE(lead == 0xED || lead == 0xEE) << std::hex << lead << ' ' << trail;
                const auto written = static_cast<std::uint8_t>(typed[0]);
                EXPECT_TRUE(typed.size() == 2 && written >= 0xFA && written <= 0xFC) << std::hex << lead << ' ' << trail;
            }
        }
    }
    // 25 listed, 373 in rows ED and EE: every one of those rows' characters is in FA-FC too.
    EXPECT_EQ(duplicates, 398);
}

TEST(CodePage, ReadsTheWindowsTable)
{
    const struct {
        std::string bytes;
        char16_t code;
    } cases[] = {
        {"\x81\x5F", 0xFF3C}, {"\x81\x60", 0xFF5E}, {"\x81\x61", 0x2225}, {"\x81\x7C", 0xFF0D},
        {"\x81\x91", 0xFFE0}, {"\x81\x92", 0xFFE1}, {"\x81\xCA", 0xFFE2}, {"\x87\x90", 0x2252},
        {"\xED\x40", 0x7E8A}, {"\xFA\x5C", 0x7E8A}, {"\xF0\x40", 0xE000}, {"\xF9\xFC", 0xE757},
        {"\x88\x9F", 0x4E9C},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bytes);
        EXPECT_EQ(FromAnsi(c.bytes), QString(QChar(c.code)));
    }
}

TEST(CodePage, BrokenSequencesKeepEveryByte)
{
    const struct {
        std::string bytes;
        QString text;
    } cases[] = {
        {"a\x81", QStringLiteral("a\uF781")},                    // lead byte at the end
        {"\x81 b", QStringLiteral("\uF781 b")},                  // the blank after it is not swallowed
        {"\x81\x7F", QStringLiteral("\uF781\u007F")},            // 0x7F is no trail byte
        {"\x81\x0A\x0D", QStringLiteral("\uF781\n\r")},
        {"\x85\x40", QStringLiteral("\uF785@")},                 // a pair with no character
        {"\xEB\x81\x40", QStringLiteral("\uF7EB\u3000")},        // the next byte starts a pair of its own
        {"\xFC\xFC", QStringLiteral("\uF7FC\uF7FC")},
        {"\x81\xFD\xA0", QStringLiteral("\uF781\uF8F1\uF8F0")},
        {"A\x80" "B", QStringLiteral("A\u0080B")},
        {std::string("\x00\x81\x00", 3), QString::fromUtf16(u"\u0000\uF781\u0000", 3)},
        {"\x83\x5C\x81", QStringLiteral("ソ\uF781")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bytes);
        EXPECT_EQ(FromAnsi(c.bytes), c.text);
        EXPECT_EQ(ToAnsi(c.text), c.bytes);
    }
}

TEST(CodePage, TypedCharactersAsWindowsWritesThem)
{
    const struct {
        QString typed;
        std::string bytes;
    } cases[] = {
        {QStringLiteral("\\~"), "\\~"},
        {QStringLiteral("\u7E8A"), "\xFA\x5C"},   // NEC-selected IBM and IBM extension: the IBM one
        {QStringLiteral("\u2170"), "\xFA\x40"},   // small roman one: IBM, not EE EF
        {QStringLiteral("\u2252"), "\x81\xE0"},   // NEC row 13 and JIS: JIS
        {QStringLiteral("\u2160"), "\x87\x54"},   // NEC row 13 and IBM: NEC row 13
        {QStringLiteral("\u2235"), "\x81\xE6"},   // in all three: JIS
        {QStringLiteral("\uFFE2"), "\x81\xCA"},
        {QStringLiteral("\uFF5E\u301C"), "\x81\x60\x81\x60"}, // the JIS spellings go to the same bytes
        {QStringLiteral("\u2225\u2016"), "\x81\x61\x81\x61"},
        {QStringLiteral("\uFF0D\u2212"), "\x81\x7C\x81\x7C"},
        {QStringLiteral("\u00AC\u00A2\u00A3"), "\x81\xCA\x81\x91\x81\x92"},
        {QStringLiteral("\u00A5\u203E\u2014"), "\\~\x81\x5C"},
        {QStringLiteral("\u0080\uF8F0\uF8F3"), "\x80\xA0\xFF"},
        {QStringLiteral("\uE000"), "\xF0\x40"},
        {QStringLiteral("\u0081\uF7FD"), "??"},   // neither a character nor a byte of the code page
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed.toStdString());
        EXPECT_EQ(ToAnsi(c.typed), c.bytes);
    }
}

TEST(CodePage, CharactersTheUserDidNotChangeKeepTheirBytes)
{
    const struct {
        const char* what;
        QString text;
        std::string original;
        std::string result;
    } cases[] = {
        {"unchanged duplicates", FromAnsi("\xED\x40\x87\x90\xEE\xF9"), "\xED\x40\x87\x90\xEE\xF9",
         "\xED\x40\x87\x90\xEE\xF9"},
        // Around an edit, the untouched characters keep their pairs; only what was typed is Windows' choice.
        {"appended", FromAnsi("\xED\x40") + QLatin1Char('x'), "\xED\x40", "\xED\x40x"},
        {"appended to a command", FromAnsi("\"\xEE\xEF\"") + QStringLiteral(", 0x0D"), "\"\xEE\xEF\"",
         "\"\xEE\xEF\", 0x0D"},
        {"prepended", QLatin1Char('x') + FromAnsi("\xED\x40\xFA\x5C"), "\xED\x40\xFA\x5C", "x\xED\x40\xFA\x5C"},
        {"edited in the middle", FromAnsi("\xED\x40") + QLatin1Char('b') + FromAnsi("\xEE\xEF"),
         "\xED\x40" "a\xEE\xEF", "\xED\x40" "b\xEE\xEF"},
        {"a duplicate typed in the middle", FromAnsi("\xED\x40") + QChar(0x7E8A) + FromAnsi("\xEE\xEF"),
         "\xED\x40" "a\xEE\xEF", "\xED\x40\xFA\x5C\xEE\xEF"},
        {"deleted between", FromAnsi("\xED\x40\xEE\xEF"), "\xED\x40,\xEE\xEF", "\xED\x40\xEE\xEF"},
        {"one of two alike deleted", FromAnsi("\xED\x40\xEE\xEF"), "\xED\x40\xED\x40\xEE\xEF",
         "\xED\x40\xEE\xEF"},
        {"edited beside broken bytes", FromAnsi("A\x81 \xFF") + QLatin1Char('z'), "A\x81 \xFF", "A\x81 \xFFz"},
        {"typed into an empty box", QStringLiteral("\u2252"), "", "\x81\xE0"},
        {"emptied", QString(), "\xED\x40", ""},
        {"unchanged broken bytes", FromAnsi("A\x81 \xFF"), "A\x81 \xFF", "A\x81 \xFF"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(ToAnsiKeeping(c.text, c.original), c.result);
    }
}

} // namespace
} // namespace vpx
