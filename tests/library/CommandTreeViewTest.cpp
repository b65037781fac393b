#include "EditTestUtil.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <optional>

namespace vpx::test {
namespace {

// Device{Status{Read} Reset} Other{Only} Tail, shown with every group expanded.
struct TreeViewTest : ::testing::Test, EditFixture {
    CommandNode* device = tree.AddGroup(nullptr, "Device");
    CommandNode* status = tree.AddGroup(device, "Status");
    CommandNode* read = tree.AddCommand(status, "Read", {"0x01", 0, 0});
    CommandNode* reset = tree.AddCommand(device, "Reset", {"RESET", 1, -1});
    CommandNode* other = tree.AddGroup(nullptr, "Other");
    CommandNode* only = tree.AddCommand(other, "Only", {"1", 0, -1});
    CommandNode* tail = tree.AddCommand(nullptr, "Tail", {"", 0, -1});

    // What the move menu showed on the last drop, and the entry the user picks.
    struct MenuSeen {
        bool intoGroup, before, after, cancel;
    };
    std::vector<MenuSeen> menus;
    std::optional<MoveChoice> pick;

    void SetUp() override
    {
        view.resize(320, 400);
        view.show();
        for (CommandNode* g : {device, status, other})
            view.expand(Index(g));
        view.ExecMoveMenu = [this](QMenu& menu, const QPoint&) -> QAction* {
            EXPECT_EQ(&menu, view.popDD());
            menus.push_back({view.popMoveToGroup()->isEnabled(), view.popMoveToBefore()->isEnabled(),
                             view.popMoveToAfter()->isEnabled(), view.popMoveCancel()->isEnabled()});
            if (!pick)
                return nullptr; // dismissed
            for (QAction* a : menu.actions())
                if (!a->isSeparator() && a->data().toInt() == static_cast<int>(*pick))
                    return a;
            return nullptr;
        };
        doc.SetModified(false);
        Select(read);
    }

    QWidget* Viewport() const { return view.viewport(); }
    // A point on the node's icon.
    QPoint OnIcon(const CommandNode* node) const
    {
        const QRect r = view.visualRect(Index(node));
        return {r.left() + 8, r.center().y()};
    }
    void Drag(const CommandNode* from, const QPoint& to)
    {
        const QPoint start = OnIcon(from);
        QTest::mousePress(Viewport(), Qt::LeftButton, {}, start);
        QTest::mouseMove(Viewport(), start + QPoint(0, 3)); // not far enough yet
        QTest::mouseMove(Viewport(), to);
        QTest::mouseRelease(Viewport(), Qt::LeftButton, {}, to);
    }
    void Drag(const CommandNode* from, const CommandNode* to, std::optional<MoveChoice> choice)
    {
        pick = choice;
        // Onto the node itself: along its name, past the threshold.
        Drag(from, OnIcon(to) + QPoint(from == to ? 12 : 0, 0));
    }
};

TEST_F(TreeViewTest, MoveMenuLaidOutWithItsTags)
{
    const QList<QAction*> items = view.popDD()->actions();
    ASSERT_EQ(items.size(), 5);
    const struct {
        const char* name;
        QString caption;
        int tag;
    } expected[] = {{"popMoveToGroup", QStringLiteral("このｸﾞﾙｰﾌﾟに移動(&M)"), 0},
                    {"popMoveToBefore", QStringLiteral("この項目の前に移動(&B)"), 1},
                    {"popMoveToAfter", QStringLiteral("この項目の後ろに移動(&A)"), 2}};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(items[i]->objectName(), QString::fromLatin1(expected[i].name));
        EXPECT_EQ(items[i]->text(), expected[i].caption);
        EXPECT_EQ(items[i]->data().toInt(), expected[i].tag);
    }
    EXPECT_TRUE(items[3]->isSeparator());
    EXPECT_EQ(items[4], view.popMoveCancel());
    EXPECT_EQ(items[4]->text(), QStringLiteral("ｷｬﾝｾﾙ(&C)"));
    EXPECT_EQ(items[4]->data().toInt(), 3);
}

TEST_F(TreeViewTest, EnabledEntriesDependOnTheDropNode)
{
    Drag(reset, other, std::nullopt);
    Drag(other, read, std::nullopt);
    Drag(tail, device, std::nullopt);
    ASSERT_EQ(menus.size(), 3u);
    EXPECT_TRUE(menus[0].intoGroup);
    EXPECT_FALSE(menus[1].intoGroup); // onto a command
    EXPECT_TRUE(menus[2].intoGroup);
    for (const MenuSeen& m : menus)
        EXPECT_TRUE(m.before && m.after && m.cancel);
    // A dismissed menu moves nothing and leaves the flag alone.
    EXPECT_EQ(Dump(tree), "Device[1]{Status[1]{Read[9]=2:0x01} Reset[7]=1:RESET} Other[1]{Only[8]=0:1} Tail[11]=0:");
    EXPECT_FALSE(doc.Modified());
}

TEST_F(TreeViewTest, DragStartsOnlyAfterTenPixelsFromANode)
{
    const QPoint start = OnIcon(device);
    // 9 pixels: a click, no menu.
    QTest::mousePress(Viewport(), Qt::LeftButton, {}, start);
    QTest::mouseMove(Viewport(), start + QPoint(9, 0));
    EXPECT_FALSE(view.Dragging());
    QTest::mouseRelease(Viewport(), Qt::LeftButton, {}, start + QPoint(9, 0));
    EXPECT_TRUE(menus.empty());
    EXPECT_EQ(view.Selected(), device);

    // 10 pixels along the name: a drag, dropped onto the node itself.
    QTest::mousePress(Viewport(), Qt::LeftButton, {}, start);
    QTest::mouseMove(Viewport(), start + QPoint(10, 0));
    EXPECT_TRUE(view.Dragging());
    EXPECT_EQ(view.DragNode(), device);
    QTest::mouseRelease(Viewport(), Qt::LeftButton, {}, start + QPoint(10, 0));
    EXPECT_FALSE(view.Dragging());
    ASSERT_EQ(menus.size(), 1u);
    EXPECT_EQ(view.DropNode(), device);

    // A press beside the name or with the right button starts nothing.
    const QRect row = view.visualRect(Index(tail));
    const QPoint beside(row.right() - 4, row.center().y());
    ASSERT_FALSE(view.NodeIndexAt(beside).isValid());
    Drag(tail, beside);
    EXPECT_FALSE(view.Dragging());
    QTest::mousePress(Viewport(), Qt::RightButton, {}, OnIcon(tail));
    QTest::mouseMove(Viewport(), OnIcon(device));
    EXPECT_FALSE(view.Dragging());
    QTest::mouseRelease(Viewport(), Qt::RightButton, {}, OnIcon(device));
    EXPECT_EQ(menus.size(), 1u);
}

TEST_F(TreeViewTest, DropAwayFromAnyNodeOrEscapeOpensNoMenu)
{
    const QPoint empty(OnIcon(tail).x(), view.viewport()->height() - 5);
    ASSERT_FALSE(view.indexAt(empty).isValid());
    Drag(reset, empty);
    EXPECT_TRUE(menus.empty());

    const QPoint start = OnIcon(reset);
    QTest::mousePress(Viewport(), Qt::LeftButton, {}, start);
    QTest::mouseMove(Viewport(), OnIcon(other));
    ASSERT_TRUE(view.Dragging());
    EXPECT_EQ(view.viewport()->cursor().shape(), Qt::DragMoveCursor);
    QTest::mouseMove(Viewport(), empty);
    EXPECT_EQ(view.viewport()->cursor().shape(), Qt::ForbiddenCursor);
    QTest::keyClick(&view, Qt::Key_Escape);
    EXPECT_FALSE(view.Dragging());
    QTest::mouseRelease(Viewport(), Qt::LeftButton, {}, OnIcon(other));
    EXPECT_TRUE(menus.empty());
    EXPECT_EQ(reset->Parent(), device);
}

TEST_F(TreeViewTest, IntoBeforeAndAfter)
{
    struct Case {
        const char* what;
        CommandNode* TreeViewTest::*drag;
        CommandNode* TreeViewTest::*drop;
        MoveChoice choice;
        const char* after;
    } cases[] = {
        {"command into a group", &TreeViewTest::reset, &TreeViewTest::other, MoveChoice::IntoGroup,
         "Device[1]{Status[1]{Read[9]=2:0x01}} Other[1]{Only[8]=0:1 Reset[7]=1:RESET} Tail[11]=0:"},
        {"before a root node makes a root command", &TreeViewTest::read, &TreeViewTest::device, MoveChoice::Before,
         "Read[9]=2:0x01 Device[1]{Status[0] Reset[7]=1:RESET} Other[1]{Only[8]=0:1} Tail[11]=0:"},
        {"after the last child of a group", &TreeViewTest::tail, &TreeViewTest::only, MoveChoice::After,
         "Device[1]{Status[1]{Read[9]=2:0x01} Reset[7]=1:RESET} Other[1]{Only[8]=0:1 Tail[11]=0:}"},
        {"after a node with a next sibling", &TreeViewTest::tail, &TreeViewTest::status, MoveChoice::After,
         "Device[1]{Status[1]{Read[9]=2:0x01} Tail[11]=0: Reset[7]=1:RESET} Other[1]{Only[8]=0:1}"},
        {"after the last root node", &TreeViewTest::device, &TreeViewTest::tail, MoveChoice::After,
         "Other[1]{Only[8]=0:1} Tail[11]=0: Device[1]{Status[1]{Read[9]=2:0x01} Reset[7]=1:RESET}"},
        {"a group into a group", &TreeViewTest::other, &TreeViewTest::status, MoveChoice::IntoGroup,
         "Device[1]{Status[1]{Read[9]=2:0x01 Other[1]{Only[8]=0:1}} Reset[7]=1:RESET} Tail[11]=0:"},
    };
    const std::string start = Dump(tree);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        // Back to the starting shape, all groups expanded.
        CommandTree fresh;
        ReadTree(fresh, SplitLinesUpToNul("0 Device\r\n1 Status\r\n2 Read=2:0x01\r\n1 Reset=1:RESET\r\n0 Other\r\n1 Only=0:1\r\n0 Tail=0:\r\n"));
        tree.ReplaceWith(fresh);
        device = tree.Root(0), status = device->Child(0), read = status->Child(0), reset = device->Child(1);
        other = tree.Root(1), only = other->Child(0), tail = tree.Root(2);
        view.expandAll();
        ASSERT_EQ(Dump(tree), start);
        Select(only); // never dragged itself
        doc.SetModified(false);

        CommandNode* dragged = this->*c.drag;
        Drag(dragged, this->*c.drop, c.choice);
        EXPECT_EQ(Dump(tree), c.after);
        EXPECT_TRUE(doc.Modified());
        // The press selected the dragged node; it stays selected where it went,
        // and the move itself did not run the selection handler again.
        EXPECT_EQ(view.Selected(), dragged);
        EXPECT_EQ(changes, (std::vector<std::pair<CommandNode*, bool>>{{dragged, true}}));
        // The images and the view's expanded state agree for every group.
        for (CommandNode* n = tree.First(); n; n = CommandTree::Next(n))
            if (n->IsGroup()) {
                EXPECT_EQ(view.isExpanded(Index(n)), n->ImageIndex() == image::GroupExpanded) << n->Name();
            }
    }
}

TEST_F(TreeViewTest, OnlyChildMovedOutCollapsesItsGroupAndTheTargetExpands)
{
    view.collapse(Index(status));
    ASSERT_EQ(status->ImageIndex(), image::GroupCollapsed);
    Drag(only, status, MoveChoice::IntoGroup);
    EXPECT_EQ(only->Parent(), status);
    EXPECT_EQ(other->ChildCount(), 0);
    EXPECT_EQ(other->ImageIndex(), image::GroupCollapsed);
    EXPECT_FALSE(view.isExpanded(Index(other)));
    EXPECT_EQ(status->ImageIndex(), image::GroupExpanded);
    EXPECT_TRUE(view.isExpanded(Index(status)));

    // A new child of the emptied group later shows it collapsed, as its image says.
    tree.AddCommand(other, "New", {});
    EXPECT_FALSE(view.isExpanded(Index(other)));
}

TEST_F(TreeViewTest, GroupOntoItsOwnSubtreeChangesNothingButModifies)
{
    const std::string before = Dump(tree);
    for (auto [target, choice] : {std::pair{status, MoveChoice::IntoGroup}, std::pair{read, MoveChoice::Before},
                                  std::pair{read, MoveChoice::After}, std::pair{device, MoveChoice::IntoGroup},
                                  std::pair{device, MoveChoice::After}}) {
        doc.SetModified(false);
        Drag(device, target, choice);
        EXPECT_EQ(Dump(tree), before);
        EXPECT_TRUE(doc.Modified());
    }
    // Cancel touches neither the tree nor the flag.
    doc.SetModified(false);
    Drag(device, status, MoveChoice::Cancel);
    EXPECT_EQ(Dump(tree), before);
    EXPECT_FALSE(doc.Modified());
    EXPECT_EQ(menus.size(), 6u);
}

TEST_F(TreeViewTest, ExpandAndCollapseSwitchTheFolderImage)
{
    view.collapse(Index(device));
    EXPECT_EQ(device->ImageIndex(), image::GroupCollapsed);
    view.expand(Index(device));
    EXPECT_EQ(device->ImageIndex(), image::GroupExpanded);
    // A click on the branch arrow collapses as well.
    const QRect r = view.visualRect(Index(other));
    QTest::mouseClick(Viewport(), Qt::LeftButton, {}, QPoint(r.left() - view.indentation() / 2, r.center().y()));
    EXPECT_FALSE(view.isExpanded(Index(other)));
    EXPECT_EQ(other->ImageIndex(), image::GroupCollapsed);
}

TEST_F(TreeViewTest, SelectionStaysHighlightedWithoutFocusAndRightClickKeepsIt)
{
    const QPalette& pal = view.palette();
    EXPECT_EQ(pal.color(QPalette::Inactive, QPalette::Highlight), pal.color(QPalette::Active, QPalette::Highlight));
    EXPECT_EQ(pal.color(QPalette::Inactive, QPalette::HighlightedText),
              pal.color(QPalette::Active, QPalette::HighlightedText));

    QMenu popup;
    popup.addAction(QStringLiteral("x"));
    view.SetPopupMenu(&popup);
    // Through the window, as the platform delivers it: the press also asks for the menu.
    ASSERT_NE(view.windowHandle(), nullptr);
    QTest::mousePress(view.windowHandle(), Qt::RightButton, {}, Viewport()->mapTo(&view, OnIcon(tail)));
    EXPECT_TRUE(popup.isVisible());
    QTest::mouseRelease(view.windowHandle(), Qt::RightButton, {}, Viewport()->mapTo(&view, OnIcon(tail)));
    EXPECT_EQ(view.Selected(), read);
    popup.close();
    EXPECT_EQ(view.Selected(), read);
    EXPECT_TRUE(changes.empty());

    // Ctrl+click on the selected node does not leave the tree without a selection.
    QTest::mouseClick(Viewport(), Qt::LeftButton, Qt::ControlModifier, OnIcon(read));
    EXPECT_TRUE(view.selectionModel()->isSelected(Index(read)));
}

TEST_F(TreeViewTest, SignalsForTheWindow)
{
    QSignalSpy keys(&view, &TCommandTreeView::tvCommandKeyPress);
    QSignalSpy doubles(&view, &TCommandTreeView::tvCommandDblClick);
    view.setFocus();
    // A character key is reported and then handled by the tree: "t" jumps to Tail.
    QTest::keyClick(&view, Qt::Key_T);
    ASSERT_EQ(keys.count(), 1);
    EXPECT_EQ(keys.last().at(0).toString(), QStringLiteral("t"));
    EXPECT_EQ(view.Selected(), tail);
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(changes[0], (std::pair<CommandNode*, bool>{tail, true}));
    // Keys without a character are not.
    QTest::keyClick(&view, Qt::Key_Up);
    QTest::keyClick(&view, Qt::Key_F5);
    EXPECT_EQ(keys.count(), 1);
    EXPECT_EQ(view.Selected(), only);

    QTest::mouseDClick(Viewport(), Qt::LeftButton, {}, OnIcon(reset));
    EXPECT_EQ(doubles.count(), 1);

    // A new file (model reset) empties the selection and says so.
    changes.clear();
    tree.Clear();
    EXPECT_EQ(changes, (std::vector<std::pair<CommandNode*, bool>>{{nullptr, true}}));
}

TEST_F(TreeViewTest, SelectingExpandsTheWayToTheNode)
{
    view.collapseAll();
    view.Select(read);
    EXPECT_TRUE(view.isExpanded(Index(device)));
    EXPECT_TRUE(view.isExpanded(Index(status)));
    EXPECT_EQ(status->ImageIndex(), image::GroupExpanded);
    EXPECT_EQ(view.Selected(), read);
    EXPECT_FALSE(view.isExpanded(Index(other)));
}

} // namespace
} // namespace vpx::test
