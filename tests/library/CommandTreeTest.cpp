#include "LibraryTestUtil.h"

#include "library/CommandTree.h"

#include <gtest/gtest.h>

#include <ostream>

namespace vpx::test {
namespace {

// Device{Status{Read} Reset} Other{Leaf}
struct Sample {
    CommandTree tree;
    CommandNode* device = tree.AddGroup(nullptr, "Device");
    CommandNode* status = tree.AddGroup(device, "Status");
    CommandNode* read = tree.AddCommand(status, "Read", {"0x01", 0, 0});
    CommandNode* reset = tree.AddCommand(device, "Reset", {"RESET", 1, -1});
    CommandNode* other = tree.AddGroup(nullptr, "Other");
    CommandNode* leaf = tree.AddCommand(other, "Leaf", {});
};

TEST(CommandTree, ShapeAndPreOrderWalk)
{
    Sample s;
    EXPECT_EQ(Dump(s.tree), "Device[0]{Status[0]{Read[9]=2:0x01} Reset[7]=1:RESET} Other[0]{Leaf[11]=0:}");
    EXPECT_EQ(s.read->Level(), 2);
    EXPECT_EQ(s.device->Parent(), nullptr);
    EXPECT_EQ(s.other->Row(), 1);
    EXPECT_EQ(s.tree.Last(), s.leaf);

    std::vector<const CommandNode*> forward;
    for (const CommandNode* n = s.tree.First(); n; n = CommandTree::Next(n))
        forward.push_back(n);
    std::vector<const CommandNode*> backward;
    for (const CommandNode* n = s.tree.Last(); n; n = CommandTree::Prev(n))
        backward.insert(backward.begin(), n);
    EXPECT_EQ(forward, backward);
    EXPECT_EQ(forward, (std::vector<const CommandNode*>{s.device, s.status, s.read, s.reset, s.other, s.leaf}));
}

TEST(CommandTree, RemoveTakesTheSubtree)
{
    Sample s;
    s.tree.Remove(s.device);
    EXPECT_EQ(Dump(s.tree), "Other[0]{Leaf[11]=0:}");
    EXPECT_EQ(s.tree.NodeCount(), 2u);
    s.tree.Clear();
    EXPECT_TRUE(s.tree.Empty());
    EXPECT_EQ(s.tree.First(), nullptr);
}

TEST(CommandTree, MoveRefusesTheOwnSubtree)
{
    Sample s;
    EXPECT_FALSE(s.tree.Move(s.device, s.device, -1));
    EXPECT_FALSE(s.tree.Move(s.device, s.status, 0));
    EXPECT_TRUE(s.tree.Move(s.read, nullptr, 0));
    EXPECT_EQ(Dump(s.tree), "Read[9]=2:0x01 Device[0]{Status[0] Reset[7]=1:RESET} Other[0]{Leaf[11]=0:}");
    // Down within the same parent: the row counts before the node leaves.
    EXPECT_TRUE(s.tree.Move(s.read, nullptr, 2));
    EXPECT_EQ(s.read->Row(), 1);
    EXPECT_TRUE(s.tree.Move(s.read, nullptr, -1));
    EXPECT_EQ(s.read->Row(), 2);
}

TEST(CommandTree, MoveChoices)
{
    struct Case {
        const char* name;
        MoveChoice choice;
        CommandNode* Sample::*drag;
        CommandNode* Sample::*drop;
        const char* result;
        bool edit;
    } cases[] = {
        {"into a group", MoveChoice::IntoGroup, &Sample::reset, &Sample::other,
         "Device[0]{Status[0]{Read[9]=2:0x01}} Other[1]{Leaf[11]=0: Reset[7]=1:RESET}", true},
        {"into a command is refused", MoveChoice::IntoGroup, &Sample::leaf, &Sample::read,
         "Device[0]{Status[0]{Read[9]=2:0x01} Reset[7]=1:RESET} Other[0]{Leaf[11]=0:}", true},
        {"before a root node", MoveChoice::Before, &Sample::read, &Sample::device,
         "Read[9]=2:0x01 Device[0]{Status[0] Reset[7]=1:RESET} Other[0]{Leaf[11]=0:}", true},
        {"after the last child", MoveChoice::After, &Sample::read, &Sample::leaf,
         "Device[0]{Status[0] Reset[7]=1:RESET} Other[1]{Leaf[11]=0: Read[9]=2:0x01}", true},
        {"after a node with a next sibling", MoveChoice::After, &Sample::leaf, &Sample::status,
         "Device[1]{Status[0]{Read[9]=2:0x01} Leaf[11]=0: Reset[7]=1:RESET} Other[0]", true},
        {"after the last root", MoveChoice::After, &Sample::status, &Sample::other,
         "Device[0]{Reset[7]=1:RESET} Other[0]{Leaf[11]=0:} Status[0]{Read[9]=2:0x01}", true},
        {"onto its own descendant", MoveChoice::After, &Sample::device, &Sample::read,
         "Device[0]{Status[0]{Read[9]=2:0x01} Reset[7]=1:RESET} Other[0]{Leaf[11]=0:}", true},
        {"into its own descendant", MoveChoice::IntoGroup, &Sample::device, &Sample::status,
         "Device[0]{Status[0]{Read[9]=2:0x01} Reset[7]=1:RESET} Other[0]{Leaf[11]=0:}", true},
        {"before itself", MoveChoice::Before, &Sample::device, &Sample::device,
         "Device[0]{Status[0]{Read[9]=2:0x01} Reset[7]=1:RESET} Other[0]{Leaf[11]=0:}", true},
        {"cancel", MoveChoice::Cancel, &Sample::reset, &Sample::other,
         "Device[0]{Status[0]{Read[9]=2:0x01} Reset[7]=1:RESET} Other[0]{Leaf[11]=0:}", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Sample s;
        EXPECT_EQ(ApplyMoveChoice(s.tree, s.*c.drag, s.*c.drop, c.choice), c.edit);
        EXPECT_EQ(Dump(s.tree), c.result);
    }
}

TEST(CommandTree, ObserverHearsEveryChangeInPairs)
{
    struct Log : CommandTree::Observer {
        std::string calls;
        void BeginInsert(CommandNode*, int row) override { calls += "I" + std::to_string(row); }
        void EndInsert() override { calls += "i "; }
        void BeginRemove(CommandNode*, int row) override { calls += "R" + std::to_string(row); }
        void EndRemove() override { calls += "r "; }
        void BeginMove(CommandNode*, int from, CommandNode*, int to) override
        {
            calls += "M" + std::to_string(from) + ">" + std::to_string(to);
        }
        void EndMove() override { calls += "m "; }
        void BeginReset() override { calls += "Z"; }
        void EndReset() override { calls += "z "; }
        void NodeChanged(CommandNode*) override { calls += "C "; }
    } log;
    CommandTree tree;
    tree.SetObserver(&log);
    CommandNode* a = tree.AddGroup(nullptr, "a");
    tree.AddGroup(nullptr, "b");
    tree.Move(a, nullptr, 2);
    tree.Move(a, nullptr, 1); // already there: no notification
    tree.SetName(a, "x");
    tree.SetImageIndex(a, 0); // unchanged
    tree.Remove(a);
    tree.Clear();
    EXPECT_EQ(log.calls, "I0i I1i M0>2m C R1r Zz ");
}

// Every node's Row() names the slot that holds it, checked against the children
// lists themselves rather than through Row().
::testing::AssertionResult RowsAreTrue(const CommandTree& tree)
{
    std::vector<const CommandNode*> level;
    for (int i = 0; i < tree.RootCount(); ++i)
        level.push_back(tree.Root(i));
    for (std::size_t i = 0; i < level.size(); ++i)
        if (level[i]->Row() != static_cast<int>(i))
            return ::testing::AssertionFailure() << "root " << level[i]->Name() << " says " << level[i]->Row();
    for (const CommandNode* n = tree.First(); n; n = CommandTree::Next(n))
        for (int i = 0; i < n->ChildCount(); ++i)
            if (n->Child(i)->Row() != i)
                return ::testing::AssertionFailure()
                       << n->Child(i)->Name() << " is child " << i << " but says " << n->Child(i)->Row();
    return ::testing::AssertionSuccess();
}

struct RowEdit {
    const char* name;
    void (*edit)(Sample&);
    const char* after;
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const RowEdit& c, std::ostream* os)
{
    *os << c.name;
}

class RowIndexAfterEdit : public ::testing::TestWithParam<RowEdit> {};

TEST_P(RowIndexAfterEdit, RowsAndSiblingsFollowTheEdit)
{
    Sample s;
    GetParam().edit(s);
    EXPECT_TRUE(RowsAreTrue(s.tree));
    EXPECT_EQ(Dump(s.tree), GetParam().after);
    // The backward walk uses PrevSibling, the forward one NextSibling.
    std::vector<const CommandNode*> forward, backward;
    for (const CommandNode* n = s.tree.First(); n; n = CommandTree::Next(n))
        forward.push_back(n);
    for (const CommandNode* n = s.tree.Last(); n; n = CommandTree::Prev(n))
        backward.insert(backward.begin(), n);
    EXPECT_EQ(forward, backward);
}

INSTANTIATE_TEST_SUITE_P(
    CommandTree, RowIndexAfterEdit,
    ::testing::Values(
        RowEdit{"InsertFirstRoot", [](Sample& s) { s.tree.Insert(nullptr, 0, "N", {}); },
                "N[0] Device[0]{Status[0]{Read[9]=2:0x01} Reset[7]=1:RESET} Other[0]{Leaf[11]=0:}"},
        RowEdit{"InsertMiddleChild", [](Sample& s) { s.tree.Insert(s.device, 1, "N", TCommandInfo{}); },
                "Device[0]{Status[0]{Read[9]=2:0x01} N[11]=0: Reset[7]=1:RESET} Other[0]{Leaf[11]=0:}"},
        RowEdit{"AppendPastTheEnd", [](Sample& s) { s.tree.Insert(s.device, 99, "N", {}); },
                "Device[0]{Status[0]{Read[9]=2:0x01} Reset[7]=1:RESET N[0]} Other[0]{Leaf[11]=0:}"},
        RowEdit{"RemoveFirstRoot", [](Sample& s) { s.tree.Remove(s.device); }, "Other[0]{Leaf[11]=0:}"},
        RowEdit{"RemoveFirstChild", [](Sample& s) { s.tree.Remove(s.status); },
                "Device[0]{Reset[7]=1:RESET} Other[0]{Leaf[11]=0:}"},
        RowEdit{"MoveDownSameParent", [](Sample& s) { s.tree.Move(s.device, nullptr, -1); },
                "Other[0]{Leaf[11]=0:} Device[0]{Status[0]{Read[9]=2:0x01} Reset[7]=1:RESET}"},
        RowEdit{"MoveUpSameParent", [](Sample& s) { s.tree.Move(s.reset, s.device, 0); },
                "Device[0]{Reset[7]=1:RESET Status[0]{Read[9]=2:0x01}} Other[0]{Leaf[11]=0:}"},
        RowEdit{"MoveToAnotherParent", [](Sample& s) { s.tree.Move(s.status, s.other, 0); },
                "Device[0]{Reset[7]=1:RESET} Other[0]{Status[0]{Read[9]=2:0x01} Leaf[11]=0:}"},
        RowEdit{"MoveUpToRoot", [](Sample& s) { s.tree.Move(s.read, nullptr, 1); },
                "Device[0]{Status[0] Reset[7]=1:RESET} Read[9]=2:0x01 Other[0]{Leaf[11]=0:}"},
        RowEdit{"DropBefore", [](Sample& s) { ApplyMoveChoice(s.tree, s.leaf, s.status, MoveChoice::Before); },
                "Device[1]{Leaf[11]=0: Status[0]{Read[9]=2:0x01} Reset[7]=1:RESET} Other[0]"},
        RowEdit{"DropAfter", [](Sample& s) { ApplyMoveChoice(s.tree, s.device, s.other, MoveChoice::After); },
                "Other[0]{Leaf[11]=0:} Device[0]{Status[0]{Read[9]=2:0x01} Reset[7]=1:RESET}"},
        RowEdit{"DropIntoGroup", [](Sample& s) { ApplyMoveChoice(s.tree, s.reset, s.other, MoveChoice::IntoGroup); },
                "Device[0]{Status[0]{Read[9]=2:0x01}} Other[1]{Leaf[11]=0: Reset[7]=1:RESET}"},
        RowEdit{"ReplaceWith",
                [](Sample& s) {
                    CommandTree other;
                    other.AddGroup(nullptr, "X");
                    other.AddCommand(other.AddGroup(nullptr, "Y"), "Z", {});
                    other.Remove(other.Root(0));
                    other.AddGroup(nullptr, "W");
                    s.tree.ReplaceWith(other);
                },
                "Y[0]{Z[11]=0:} W[0]"},
        RowEdit{"ClearThenAdd",
                [](Sample& s) {
                    s.tree.Clear();
                    s.tree.AddGroup(nullptr, "A");
                    s.tree.Insert(nullptr, 0, "B", {});
                },
                "B[0] A[0]"}),
    [](const ::testing::TestParamInfo<RowEdit>& info) { return std::string(info.param.name); });

} // namespace
} // namespace vpx::test
