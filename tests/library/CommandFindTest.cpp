#include "LibraryTestUtil.h"

#include "library/CommandFind.h"

#include <gtest/gtest.h>

namespace vpx::test {
namespace {

TEST(FindCommandByName, FirstCommandInPreOrderNeverAGroup)
{
    CommandTree tree;
    CommandNode* g = tree.AddGroup(nullptr, "Read");
    CommandNode* all = tree.AddCommand(g, "ReadAll", {"1", 0, -1});
    CommandNode* read = tree.AddCommand(nullptr, "Read", {"2", 0, -1});
    EXPECT_EQ(FindCommandByName(tree, "Read"), all);
    tree.Remove(all);
    EXPECT_EQ(FindCommandByName(tree, "Read"), read);
    EXPECT_EQ(FindCommandByName(tree, "read"), nullptr);
    EXPECT_EQ(FindCommandByName(tree, ""), nullptr);
}

// A remembered answer must never outlive a change that alters what a walk finds:
// after each change the kept lookup answers what a fresh walk does.
TEST(CommandNameLookup, AnswersAsAFreshWalkAfterEveryKindOfChange)
{
    using Change = void (*)(CommandTree&);
    const std::pair<const char*, Change> changes[] = {
        {"insert before", [](CommandTree& t) { t.Insert(nullptr, 0, "Status first", TCommandInfo{"9", 0, -1}); }},
        {"remove the found", [](CommandTree& t) { t.Remove(t.Root(0)->Child(0)); }},
        {"rename the found", [](CommandTree& t) { t.SetName(t.Root(0)->Child(0), "Other"); }},
        {"rename another", [](CommandTree& t) { t.SetName(t.Root(1), "Status late"); }},
        {"move after", [](CommandTree& t) { t.Move(t.Root(0), nullptr, -1); }},
        {"clear", [](CommandTree& t) { t.Clear(); }},
        {"replace", [](CommandTree& t) {
             CommandTree other;
             other.AddCommand(nullptr, "Status new", {"7", 0, -1});
             t.ReplaceWith(other);
         }},
    };
    for (const auto& [name, change] : changes) {
        SCOPED_TRACE(name);
        CommandTree tree;
        CommandNode* group = tree.AddGroup(nullptr, "group");
        tree.AddCommand(group, "Status", {"1", 0, -1});
        tree.AddCommand(nullptr, "Reset", {"2", 0, -1});
        CommandNameLookup lookup;
        ASSERT_EQ(lookup.Find(tree, "Status"), group->Child(0));
        change(tree);
        EXPECT_EQ(lookup.Find(tree, "Status"), FindCommandByName(tree, "Status"));
        EXPECT_EQ(lookup.Find(tree, "Status"), FindCommandByName(tree, "Status")); // and from what it kept
    }
}

TEST(FindCommandByName, NeverStartsOnATrailByte)
{
    CommandTree tree;
    // 表 is 0x95 0x5C: "\\" must not be found inside it, nor "\x5c" + "A".
    tree.AddCommand(nullptr, "\x95\x5c" "A", {});
    CommandNode* real = tree.AddCommand(nullptr, "x\\A", {});
    EXPECT_EQ(FindCommandByName(tree, "\\A"), real);
    EXPECT_EQ(FindCommandByName(tree, "\x95\x5c"), tree.Root(0));
}

// Top{Sub{xABy=AB ab} Empty=""} AB
struct FindSample {
    CommandTree tree;
    CommandNode* top = tree.AddGroup(nullptr, "Top");
    CommandNode* sub = tree.AddGroup(top, "Sub");
    CommandNode* xaby = tree.AddCommand(sub, "xABy", {"AB", 0, -1});
    CommandNode* ab = tree.AddCommand(sub, "ab", {"zz", 0, -1});
    CommandNode* empty = tree.AddCommand(top, "Empty", {"", 0, -1});
    CommandNode* abGroup = tree.AddGroup(nullptr, "AB");
};

TEST(Find, ForwardAndBackward)
{
    using M = CommandNode* FindSample::*;
    struct Case {
        const char* name;
        bool forward;
        M start;
        bool includeCurrent;
        const char* text;
        FindTargets targets;
        M expected; // nullptr: nothing found
    } cases[] = {
        {"the selected match stays", true, &FindSample::xaby, true, "AB", kFindCommandNames, &FindSample::xaby},
        {"next below", true, &FindSample::xaby, false, "AB", kFindGroupNames | kFindCommandNames, &FindSample::abGroup},
        {"nothing below, no wrap", true, &FindSample::abGroup, false, "AB", 7, nullptr},
        {"case-sensitive", true, &FindSample::top, true, "ab", kFindGroupNames, nullptr},
        {"command names only", true, &FindSample::top, true, "ab", kFindCommandNames, &FindSample::ab},
        {"collapsed groups searched", true, &FindSample::top, false, "xA", kFindCommandNames, &FindSample::xaby},
        {"group flag forward skips commands", true, &FindSample::top, false, "AB", kFindGroupNames, &FindSample::abGroup},
        {"group flag backward stops at commands", false, &FindSample::abGroup, false, "AB", kFindGroupNames, &FindSample::xaby},
        {"command strings", true, &FindSample::top, false, "zz", kFindCommandStrings, &FindSample::ab},
        {"strings never find groups", true, &FindSample::top, true, "Top", kFindCommandStrings, nullptr},
        {"backward to the first root", false, &FindSample::empty, false, "Top", kFindGroupNames, &FindSample::top},
        {"nothing above the first root", false, &FindSample::top, false, "Top", 7, nullptr},
        {"backward includes current", false, &FindSample::abGroup, true, "AB", kFindGroupNames, &FindSample::abGroup},
        {"empty text finds nothing", true, &FindSample::top, true, "", 7, nullptr},
        {"no targets find nothing", true, &FindSample::top, true, "Top", 0, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FindSample s;
        CommandNode* start = s.*c.start;
        CommandNode* found = c.forward ? FindForward(start, c.includeCurrent, c.text, c.targets)
                                       : FindBackward(start, c.includeCurrent, c.text, c.targets);
        EXPECT_EQ(found, c.expected ? s.*c.expected : nullptr);
    }
    EXPECT_EQ(FindForward(nullptr, true, "AB", 7), nullptr);
    EXPECT_EQ(FindBackward(nullptr, true, "AB", 7), nullptr);
}

TEST(Find, InitialStateSearchesGroupAndCommandNames)
{
    FindState state;
    EXPECT_EQ(state.targets, 3);
    EXPECT_TRUE(state.text.empty());
    EXPECT_FALSE(state.done);
}

} // namespace
} // namespace vpx::test
