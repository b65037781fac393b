#include "EditTestUtil.h"

#include "library/FindCommands.h"
#include "library/FindDlg.h"

#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

#include <gtest/gtest.h>

namespace vpx::test {
namespace {

// Top{Sub{xABy="AB" Mid="q" ab="zz"} Empty=""} AB="x" Tail{ABgroup{}}
struct FindTest : ::testing::Test, EditFixture {
    CommandNode* top = tree.AddGroup(nullptr, "Top");
    CommandNode* sub = tree.AddGroup(top, "Sub");
    CommandNode* xaby = tree.AddCommand(sub, "xABy", {"AB", 0, -1});
    CommandNode* mid = tree.AddCommand(sub, "Mid", {"q", 0, -1});
    CommandNode* ab = tree.AddCommand(sub, "ab", {"zz", 0, -1});
    CommandNode* empty = tree.AddCommand(top, "Empty", {"", 0, -1});
    CommandNode* abRoot = tree.AddCommand(nullptr, "AB", {"x", 0, -1});
    CommandNode* tailGroup = tree.AddGroup(nullptr, "Tail");
    CommandNode* abGroup = tree.AddGroup(tailGroup, "ABgroup");

    QAction goFind, findPrev, findNext;
    QToolButton tbSearch;
    TFindCommands find{view, prompts, {&goFind, &findPrev, &findNext, &tbSearch}};

    FindTest()
    {
        for (QAction* a : {&goFind, &findPrev, &findNext})
            a->setEnabled(false);
        tbSearch.setEnabled(false);
    }

    // The user types into the dialog and presses a button (Up, Down or Cancel).
    void Dialog(const QString& text, FindTargets targets, QPushButton* TfrmFind::*button)
    {
        prompts.dialogScripts.push_back([=](QDialog& d) {
            auto& f = dynamic_cast<TfrmFind&>(d);
            f.edtFindText->setText(text);
            f.SetFindTargets(targets);
            (f.*button)->click();
            return f.result();
        });
    }
    void Search(const QString& text, FindTargets targets, QPushButton* TfrmFind::*button)
    {
        Dialog(text, targets, button);
        find.ActionGoFindExecute();
    }
};

TEST_F(FindTest, DialogStartsWithGroupAndCommandNamesAndNoText)
{
    TfrmFind& d = find.Dialog();
    EXPECT_EQ(d.windowTitle(), QStringLiteral("検索"));
    EXPECT_TRUE(d.windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(d.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_EQ(d.lblFindText->text(), QStringLiteral("検索文字列(&F)："));
    EXPECT_EQ(d.lblFindText->buddy(), d.edtFindText);
    EXPECT_EQ(d.grpTargets->title(), QStringLiteral("検索対象(&T)"));
    EXPECT_EQ(d.chkGroup->text(), QStringLiteral("ｸﾞﾙｰﾌﾟ名(&G)"));
    EXPECT_EQ(d.chkCommand->text(), QStringLiteral("ｺﾏﾝﾄﾞ名(&N)"));
    EXPECT_EQ(d.chkString->text(), QStringLiteral("ｺﾏﾝﾄﾞ文字列(&S)"));
    EXPECT_EQ(d.btnUp->text(), QStringLiteral("上候補(&P)"));
    EXPECT_EQ(d.btnDown->text(), QStringLiteral("下候補(&N)"));
    EXPECT_TRUE(d.btnDown->isDefault());
    EXPECT_EQ(d.btnCancel->text(), QStringLiteral("ｷｬﾝｾﾙ"));
    EXPECT_TRUE(d.chkGroup->isChecked());
    EXPECT_TRUE(d.chkCommand->isChecked());
    EXPECT_FALSE(d.chkString->isChecked());
    EXPECT_TRUE(d.edtFindText->text().isEmpty());
    EXPECT_EQ(d.GetFindTargets(), 3);
    EXPECT_EQ(find.State().targets, 3);
    EXPECT_FALSE(find.FindDone());
    for (FindTargets t = 0; t < 8; ++t) {
        d.SetFindTargets(t);
        EXPECT_EQ(d.GetFindTargets(), t);
    }
}

TEST_F(FindTest, FindTextWithAByteWithoutACharacterFindsItAndComesBackUnchanged)
{
    // Turned into "?", the text would find the first of these.
    tree.AddCommand(nullptr, "A?", {"", 0, -1});
    CommandNode* odd = tree.AddCommand(nullptr, "A\x80", {"", 0, -1});
    Select(top);
    Search(FromAnsi("A\x80"), kFindCommandNames, &TfrmFind::btnDown);
    EXPECT_EQ(find.State().text, "A\x80");
    EXPECT_EQ(view.Selected(), odd);

    // Opened again and left as it is, the box gives back the same bytes.
    Select(top);
    prompts.dialogScripts.push_back([](QDialog& d) {
        auto& f = dynamic_cast<TfrmFind&>(d);
        EXPECT_EQ(f.edtFindText->text(), QStringLiteral("A\u0080"));
        f.btnDown->click();
        return f.result();
    });
    find.ActionGoFindExecute();
    EXPECT_EQ(find.State().text, "A\x80");
    EXPECT_EQ(view.Selected(), odd);
}

TEST_F(FindTest, DownKeepsAMatchingSelectionAndF3MovesOnOrStays)
{
    Select(xaby);
    Search(QStringLiteral("AB"), kFindCommandNames, &TfrmFind::btnDown);
    EXPECT_EQ(view.Selected(), xaby);
    EXPECT_TRUE(find.FindDone());
    EXPECT_EQ(find.State().text, "AB");
    EXPECT_EQ(find.State().targets, kFindCommandNames);
    for (QAction* a : {&goFind, &findPrev, &findNext})
        EXPECT_TRUE(a->isEnabled());
    EXPECT_TRUE(tbSearch.isEnabled());

    find.ActionFindNextExecute(); // "ab" is no match: case-sensitive
    EXPECT_EQ(view.Selected(), abRoot);
    EXPECT_EQ(changes.back(), (std::pair<CommandNode*, bool>{abRoot, true})); // the selection handler ran
    const std::size_t runs = changes.size();
    find.ActionFindNextExecute(); // ABgroup is a group, not a command name
    EXPECT_EQ(view.Selected(), abRoot);
    EXPECT_EQ(changes.size(), runs);
    find.ActionFindPrevExecute();
    EXPECT_EQ(view.Selected(), xaby);
}

TEST_F(FindTest, CaseSensitive)
{
    Select(top);
    Search(QStringLiteral("ab"), kFindCommandNames, &TfrmFind::btnDown);
    EXPECT_EQ(view.Selected(), ab);
    Select(abRoot);
    Search(QStringLiteral("aB"), kFindGroupNames | kFindCommandNames | kFindCommandStrings, &TfrmFind::btnUp);
    EXPECT_EQ(view.Selected(), abRoot);
}

TEST_F(FindTest, CollapsedGroupsAreSearchedAndOpened)
{
    view.collapseAll();
    Select(top);
    ASSERT_FALSE(view.isExpanded(view.model()->index(0, 0)));
    Search(QStringLiteral("zz"), kFindCommandStrings, &TfrmFind::btnDown);
    EXPECT_EQ(view.Selected(), ab);
    EXPECT_TRUE(view.isExpanded(Index(top)));
    EXPECT_TRUE(view.isExpanded(Index(sub)));
    EXPECT_EQ(sub->ImageIndex(), image::GroupExpanded);
}

TEST_F(FindTest, GroupNameFlagLooksAtCommandsOnlyUpward)
{
    Select(abGroup);
    Search(QStringLiteral("AB"), kFindGroupNames, &TfrmFind::btnUp);
    EXPECT_EQ(view.Selected(), abGroup); // the selected node matches and stays
    find.ActionFindPrevExecute();
    EXPECT_EQ(view.Selected(), abRoot); // a command, by its name
    find.ActionFindPrevExecute();
    EXPECT_EQ(view.Selected(), xaby);
    find.ActionFindNextExecute(); // downward only groups: past AB to ABgroup
    EXPECT_EQ(view.Selected(), abGroup);
}

TEST_F(FindTest, CommandStringsNeverFindEmptyStringsOrGroups)
{
    tree.SetName(empty, "Q");
    Select(top);
    Search(QStringLiteral("q"), kFindCommandStrings, &TfrmFind::btnDown);
    EXPECT_EQ(view.Selected(), mid);
    find.ActionFindNextExecute();
    EXPECT_EQ(view.Selected(), mid);
    Select(tailGroup);
    Search(QStringLiteral("Tail"), kFindCommandStrings, &TfrmFind::btnDown);
    EXPECT_EQ(view.Selected(), tailGroup);
    find.ActionFindPrevExecute();
    EXPECT_EQ(view.Selected(), tailGroup);
}

TEST_F(FindTest, NoWrapAroundAtEitherEnd)
{
    Select(abGroup); // the last node
    Search(QStringLiteral("Top"), kFindGroupNames, &TfrmFind::btnDown);
    EXPECT_EQ(view.Selected(), abGroup);
    EXPECT_TRUE(find.FindDone());
    find.ActionFindNextExecute();
    EXPECT_EQ(view.Selected(), abGroup);

    Select(top); // the first root node
    find.ActionFindPrevExecute();
    EXPECT_EQ(view.Selected(), top);
    EXPECT_TRUE(changes.empty());
    find.ActionFindNextExecute(); // "Top" is there, but forward from the next node
    EXPECT_EQ(view.Selected(), top);
}

TEST_F(FindTest, ClearedAndCancelledDialogSilencesTheRepeats)
{
    Select(top);
    Search(QStringLiteral("AB"), kFindCommandNames, &TfrmFind::btnDown);
    ASSERT_EQ(view.Selected(), xaby);

    Dialog(QString(), kFindCommandNames, &TfrmFind::btnCancel);
    find.ActionGoFindExecute();
    EXPECT_EQ(find.State().text, "AB"); // the stored state is unchanged
    find.ActionFindNextExecute();
    EXPECT_EQ(view.Selected(), xaby);
    Select(abGroup);
    find.ActionFindPrevExecute();
    EXPECT_EQ(view.Selected(), abGroup);

    // Unticking every box and cancelling does the same.
    Dialog(QStringLiteral("AB"), 0, &TfrmFind::btnCancel);
    find.ActionGoFindExecute();
    find.ActionFindPrevExecute();
    EXPECT_EQ(view.Selected(), abGroup);

    // The next opening shows the stored state again, and F3 works once the dialog has a text.
    prompts.dialogScripts.push_back([](QDialog& d) {
        auto& f = dynamic_cast<TfrmFind&>(d);
        EXPECT_EQ(f.edtFindText->text(), QStringLiteral("AB"));
        EXPECT_EQ(f.GetFindTargets(), kFindCommandNames);
        return int(QDialog::Rejected);
    });
    find.ActionGoFindExecute();
    find.ActionFindPrevExecute();
    EXPECT_EQ(view.Selected(), abRoot);
}

TEST_F(FindTest, EmptyTextOrNoTargetSearchesAndStoresNothing)
{
    Select(top);
    Search(QString(), kFindCommandNames, &TfrmFind::btnDown);
    Search(QStringLiteral("AB"), 0, &TfrmFind::btnUp);
    EXPECT_EQ(view.Selected(), top);
    EXPECT_FALSE(find.FindDone());
    EXPECT_EQ(find.State().text, "");
    EXPECT_EQ(find.State().targets, kDefaultFindTargets);
    EXPECT_FALSE(findNext.isEnabled());
    EXPECT_FALSE(tbSearch.isEnabled());
    EXPECT_EQ(prompts.dialogsShown.size(), 2u);
    EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(FindTest, NothingSelectedDoesNothing)
{
    Select(nullptr);
    find.ActionGoFindExecute();
    find.ActionFindNextExecute();
    find.ActionFindPrevExecute();
    EXPECT_TRUE(prompts.dialogsShown.empty());
    EXPECT_EQ(view.Selected(), nullptr);
}

TEST_F(FindTest, ActionsAreWiredAndTheDialogIsKept)
{
    for (QAction* a : {&goFind, &findPrev, &findNext})
        a->setEnabled(true); // as the selection handler leaves them
    Select(top);
    Dialog(QStringLiteral("AB"), kFindCommandNames, &TfrmFind::btnDown);
    goFind.trigger();
    EXPECT_EQ(view.Selected(), xaby);
    findNext.trigger();
    EXPECT_EQ(view.Selected(), abRoot);
    findPrev.trigger();
    EXPECT_EQ(view.Selected(), xaby);
    Dialog(QStringLiteral("Mid"), kFindCommandNames, &TfrmFind::btnDown);
    goFind.trigger();
    EXPECT_EQ(view.Selected(), mid);
    ASSERT_EQ(prompts.dialogsShown.size(), 2u);
    EXPECT_EQ(prompts.dialogsShown[0], QStringLiteral("frmFind"));
    EXPECT_EQ(find.State().text, "Mid");
}

} // namespace
} // namespace vpx::test

namespace vpx::test {
namespace {

TEST(FindCommandsLifetime, TheWindowMayTakeTheDialogDownFirst)
{
    FakePrompts prompts;
    TCommandTreeView view;
    auto window = std::make_unique<QWidget>();
    {
        TFindCommands find(view, prompts, {}, window.get());
        EXPECT_EQ(find.Dialog().parentWidget(), window.get());
        window.reset();
    }
    TFindCommands own(view, prompts, {}); // unparented: released with the commands
}

} // namespace
} // namespace vpx::test
