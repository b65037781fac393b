#include "LibraryTestUtil.h"

#include "library/CommandTree.h"

#include <gtest/gtest.h>

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

} // namespace
} // namespace vpx::test
