#include "traffic/CommandHistory.h"

#include <gtest/gtest.h>

#include <string>

namespace vpx {
namespace {

using R = TCommandHistory::AddResult;

TEST(CommandHistory, MovesEntriesEqualApartFromCaseToTheTopAsWritten)
{
    TCommandHistory h;
    EXPECT_EQ(h.Add("one"), R::Inserted);
    EXPECT_EQ(h.Add("ABC"), R::Inserted);
    EXPECT_EQ(h.Add("two"), R::Inserted);
    EXPECT_EQ(h.Add("three"), R::Inserted);
    EXPECT_EQ(h.Add("abc"), R::Moved); // the third entry
    EXPECT_EQ(h.Entries(), (std::vector<AnsiString>{"ABC", "three", "two", "one"}));
    EXPECT_EQ(h.Add("ABC"), R::Moved);
    EXPECT_EQ(h.Count(), 4);
}

TEST(CommandHistory, CaseFoldingLeavesDoubleByteCharactersAlone)
{
    // 0x83 0x61 and 0x83 0x41 are two different characters whose second bytes
    // happen to be the letters a and A.
    EXPECT_FALSE(TCommandHistory::EqualIgnoringCase("\x83\x61", "\x83\x41"));
    EXPECT_TRUE(TCommandHistory::EqualIgnoringCase("x\x83\x61Y", "X\x83\x61y"));
    EXPECT_FALSE(TCommandHistory::EqualIgnoringCase("ab", "abc"));
    EXPECT_FALSE(TCommandHistory::EqualIgnoringCase("[", "{")); // not letters
}

TEST(CommandHistory, KeepsTwentyEntries)
{
    TCommandHistory h;
    for (int i = 1; i <= 21; ++i)
        h.Add("cmd" + std::to_string(i));
    ASSERT_EQ(h.Count(), 20);
    EXPECT_EQ(h.Entries().front(), "cmd21");
    EXPECT_EQ(h.Entries().back(), "cmd2");
}

TEST(CommandHistory, ByteBudget)
{
    TCommandHistory h;
    // Three entries of 4999 bytes each take 15000 with their terminators.
    for (char c : {'a', 'b', 'c'})
        h.Add(std::string(4999, c));
    ASSERT_EQ(h.Bytes(), 15000u);
    // 20001 more: 35001 > 32768, so the oldest goes (30001 <= 32768 after one).
    EXPECT_EQ(h.Add(std::string(20000, 'x')), R::Inserted);
    ASSERT_EQ(h.Count(), 3);
    EXPECT_EQ(h.Entries()[1][0], 'c');
    EXPECT_EQ(h.Entries()[2][0], 'b');
    EXPECT_EQ(h.Bytes(), 30001u);

    // Exactly at the budget is allowed; one byte over is not added at all.
    TCommandHistory edge;
    EXPECT_EQ(edge.Add(std::string(32767, 'y')), R::Inserted);
    EXPECT_EQ(edge.Bytes(), 32768u);
    EXPECT_EQ(edge.Add(std::string(32768, 'z')), R::Rejected);
    EXPECT_EQ(edge.Count(), 1);
    // The next short entry pushes the big one out.
    EXPECT_EQ(edge.Add("s"), R::Inserted);
    EXPECT_EQ(edge.Entries(), (std::vector<AnsiString>{"s"}));
}

TEST(CommandHistory, AssignKeepsTheNewestOfDuplicatesAndTheLimits)
{
    TCommandHistory h;
    std::vector<AnsiString> stored;
    for (int i = 0; i < 25; ++i)
        stored.push_back("e" + std::to_string(i));
    stored.insert(stored.begin() + 1, "E0");
    h.Assign(stored);
    ASSERT_EQ(h.Count(), 20);
    EXPECT_EQ(h.Entries()[0], "e0");
    EXPECT_EQ(h.Entries()[1], "e1");
    EXPECT_EQ(h.Entries()[19], "e19");
    h.Assign({std::string(30000, 'a'), std::string(3000, 'b'), "c"});
    EXPECT_EQ(h.Count(), 1);
}

} // namespace
} // namespace vpx
