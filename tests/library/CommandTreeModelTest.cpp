#include "LibraryTestUtil.h"

#include "library/CommandTreeModel.h"

#include <QAbstractItemModelTester>
#include <QPixmap>
#include <QSignalSpy>
#include <QTreeView>

#include <gtest/gtest.h>

#include <memory>
#include <random>

namespace vpx::test {
namespace {

struct ModelTest : ::testing::Test {
    CommandTree tree;
    CommandTreeModel model{tree};
    QAbstractItemModelTester tester{&model, QAbstractItemModelTester::FailureReportingMode::Fatal};
    CommandNode* device = tree.AddGroup(nullptr, ToAnsi(QStringLiteral("装置")));
    CommandNode* status = tree.AddGroup(device, "Status");
    CommandNode* read = tree.AddCommand(status, "Read", {"0x01", 0, 0});
    CommandNode* reset = tree.AddCommand(device, "Reset", {"RESET", 1, -1});
    CommandNode* other = tree.AddGroup(nullptr, "Other");

    QModelIndex Index(const CommandNode* n) const { return model.IndexFromNode(n); }
};

TEST_F(ModelTest, ShowsNamesImagesAndKinds)
{
    EXPECT_EQ(model.rowCount(), 2);
    EXPECT_EQ(model.rowCount(Index(device)), 2);
    EXPECT_EQ(Index(device).data().toString(), QStringLiteral("装置"));
    EXPECT_EQ(Index(read).data(CommandTreeModel::ImageIndexRole).toInt(), image::CommandMixedLittle);
    EXPECT_TRUE(Index(read).data(CommandTreeModel::IsCommandRole).toBool());
    EXPECT_FALSE(Index(status).data(CommandTreeModel::IsCommandRole).toBool());
    EXPECT_EQ(model.NodeFromIndex(model.index(1, 0, Index(status).parent())), reset);
    EXPECT_FALSE(Index(read).data(Qt::DecorationRole).isValid());

    std::vector<int> asked;
    model.SetIconLookup([&](int i) {
        asked.push_back(i);
        QPixmap p(16, 16);
        p.fill(Qt::red);
        return QIcon(p);
    });
    EXPECT_FALSE(Index(read).data(Qt::DecorationRole).value<QIcon>().isNull());
    EXPECT_EQ(asked.back(), image::CommandMixedLittle);
}

TEST_F(ModelTest, ExpandAndCollapseSwitchGroupImagesOnly)
{
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    model.SetExpanded(Index(device), true);
    EXPECT_EQ(device->ImageIndex(), image::GroupExpanded);
    EXPECT_EQ(changed.count(), 1);
    model.SetExpanded(Index(device), false);
    EXPECT_EQ(device->ImageIndex(), image::GroupCollapsed);
    model.SetExpanded(Index(reset), true);
    EXPECT_EQ(reset->ImageIndex(), image::CommandText);
}

TEST_F(ModelTest, ExpandingInARealViewSetsTheImage)
{
    QTreeView view;
    view.setModel(&model);
    QObject::connect(&view, &QTreeView::expanded, &model, [&](const QModelIndex& i) { model.SetExpanded(i, true); });
    QObject::connect(&view, &QTreeView::collapsed, &model, [&](const QModelIndex& i) { model.SetExpanded(i, false); });
    view.expand(Index(device));
    EXPECT_EQ(device->ImageIndex(), image::GroupExpanded);
    view.collapse(Index(device));
    EXPECT_EQ(device->ImageIndex(), image::GroupCollapsed);
}

TEST_F(ModelTest, RenameInPlaceConvertsAndFillsEmptyNames)
{
    QSignalSpy renamed(&model, &CommandTreeModel::nodeRenamed);
    struct Case {
        CommandNode* ModelTest::*node;
        QString typed;
        QString result;
    } cases[] = {
        {&ModelTest::read, QStringLiteral("読み出し表"), QStringLiteral("読み出し表")},
        {&ModelTest::read, QString(), QStringLiteral("ｺﾏﾝﾄﾞ")},
        {&ModelTest::status, QString(), QStringLiteral("ｸﾞﾙｰﾌﾟ")},
        {&ModelTest::status, QStringLiteral("ｸﾞﾙｰﾌﾟ"), QStringLiteral("ｸﾞﾙｰﾌﾟ")}, // unchanged still reported
    };
    int n = 0;
    for (const Case& c : cases) {
        CommandNode* node = this->*c.node;
        ASSERT_TRUE(model.setData(Index(node), c.typed));
        EXPECT_EQ(FromAnsi(node->Name()), c.result);
        EXPECT_EQ(node->Name(), ToAnsi(c.result));
        ASSERT_EQ(renamed.count(), ++n);
        EXPECT_EQ(renamed.last().at(1).toString(), c.result);
    }
    EXPECT_FALSE(model.setData(Index(read), QStringLiteral("x"), Qt::DisplayRole + 100));
    // Blanks alone are refused, and the name stays as it was.
    for (const QString& blank : {QStringLiteral(" "), QStringLiteral("\t "), QStringLiteral("　")}) {
        EXPECT_FALSE(model.setData(Index(read), blank));
        EXPECT_EQ(FromAnsi(read->Name()), QStringLiteral("ｺﾏﾝﾄﾞ"));
    }
    EXPECT_EQ(renamed.count(), n);
}

TEST_F(ModelTest, OffersNoDragAndDropOfItsOwn)
{
    // The view drags by itself and asks the move menu before anything moves; a
    // drag of Qt's own would move the node on the drop.
    EXPECT_EQ(model.flags({}), Qt::NoItemFlags);
    for (const CommandNode* n = tree.First(); n; n = CommandTree::Next(n)) {
        const Qt::ItemFlags f = model.flags(Index(n));
        EXPECT_FALSE(f & (Qt::ItemIsDragEnabled | Qt::ItemIsDropEnabled)) << n->Name();
        EXPECT_TRUE(f & Qt::ItemIsEditable) << n->Name();
    }
}

TEST_F(ModelTest, TesterFollowsEveryKindOfChange)
{
    std::mt19937 rng(7);
    for (int i = 0; i < 300; ++i) {
        std::vector<CommandNode*> nodes;
        for (CommandNode* n = tree.First(); n; n = CommandTree::Next(n))
            nodes.push_back(n);
        CommandNode* any = nodes.empty() ? nullptr : nodes[rng() % nodes.size()];
        switch (rng() % 6) {
        case 0: tree.AddGroup(any && any->IsGroup() ? any : nullptr, "g"); break;
        case 1: tree.Insert(any, static_cast<int>(rng() % 3), "c", TCommandInfo{"x", 0, -1}); break;
        case 2:
            if (any && nodes.size() > 20)
                tree.Remove(any);
            break;
        case 3:
            if (any && !nodes.empty())
                ApplyMoveChoice(tree, any, nodes[rng() % nodes.size()], static_cast<MoveChoice>(rng() % 4));
            break;
        case 4:
            if (any)
                model.setData(Index(any), QStringLiteral("名前"));
            break;
        case 5:
            if (any)
                model.SetExpanded(Index(any), rng() % 2);
            break;
        }
    }
    CommandTree replacement;
    ReadTree(replacement, SplitLinesUpToNul("0 A\r\n1 B=0:x\r\n"));
    tree.ReplaceWith(replacement);
    EXPECT_EQ(model.rowCount(), 1);
    tree.Clear();
    EXPECT_EQ(model.rowCount(), 0);
}

} // namespace
} // namespace vpx::test
