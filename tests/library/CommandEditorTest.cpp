#include "EditTestUtil.h"

#include "library/CommandPropDlg.h"
#include "library/GroupPropDlg.h"
#include "library/RadioGroup.h"

#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>

namespace vpx::test {
namespace {

struct EditorTest : ::testing::Test, EditFixture {
    CommandNode* device = tree.AddGroup(nullptr, "Device");
    CommandNode* status = tree.AddGroup(device, "Status");
    CommandNode* read = tree.AddCommand(status, "Read", {"0x01", 0, -1});
    CommandNode* reset = tree.AddCommand(device, "Reset", {"RESET", 1, -1});
    CommandNode* other = tree.AddGroup(nullptr, "Other");

    // The user's part in the next command properties dialog: fill or check it, then press OK or Cancel.
    void OnCommandDialog(std::function<void(TfrmCommandProp&)> user, int result = QDialog::Accepted)
    {
        prompts.dialogScripts.push_back([user, result](QDialog& d) {
            auto* dialog = dynamic_cast<TfrmCommandProp*>(&d);
            EXPECT_NE(dialog, nullptr);
            if (dialog && user)
                user(*dialog);
            return result;
        });
    }
    void OnGroupDialog(std::function<void(TfrmGroupProp&)> user, int result = QDialog::Accepted)
    {
        prompts.dialogScripts.push_back([user, result](QDialog& d) {
            auto* dialog = dynamic_cast<TfrmGroupProp*>(&d);
            EXPECT_NE(dialog, nullptr);
            if (dialog && user)
                user(*dialog);
            return result;
        });
    }
};

TEST_F(EditorTest, AddCommandToAGroupOpensItsDialogAndModifiesEvenWhenCancelled)
{
    Select(status);
    OnCommandDialog([](TfrmCommandProp& d) {
        EXPECT_EQ(d.edtCommandName->text(), QStringLiteral("新しいｺﾏﾝﾄﾞ"));
        EXPECT_EQ(d.edtCommand->text(), QString());
        EXPECT_EQ(d.rdgMode->ItemIndex(), 0);
        EXPECT_EQ(d.rdgByteOrder->ItemIndex(), 0); // ByteOrder -1
        d.edtCommandName->setText(QStringLiteral("ignored"));
    }, QDialog::Rejected);
    editor.ActionAddCommandExecute();

    ASSERT_EQ(status->ChildCount(), 2);
    CommandNode* added = status->Child(1);
    EXPECT_EQ(FromAnsi(added->Name()), QStringLiteral("新しいｺﾏﾝﾄﾞ"));
    EXPECT_EQ(added->ImageIndex(), image::CommandEmpty);
    EXPECT_EQ(*added->Info(), (TCommandInfo{"", 0, -1}));
    EXPECT_EQ(view.Selected(), added);
    EXPECT_TRUE(view.isExpanded(Index(status)));
    EXPECT_EQ(status->ImageIndex(), image::GroupExpanded);
    EXPECT_EQ(prompts.dialogsShown, std::vector<QString>{QStringLiteral("frmCommandProp")});
    EXPECT_TRUE(doc.Modified());
    ASSERT_FALSE(changes.empty());
    EXPECT_EQ(changes.front().first, added); // selecting it ran the selection handler
}

TEST_F(EditorTest, AddPlacesTheNewNode)
{
    struct Case {
        const char* what;
        CommandNode* EditorTest::*selected; // nullptr member: nothing selected
        void (TCommandEditor::*action)();
        CommandNode* EditorTest::*parent; // nullptr member: root level
        bool group;
    } cases[] = {
        {"group into a group", &EditorTest::device, &TCommandEditor::ActionAddGroupExecute, &EditorTest::device, true},
        {"group with nothing selected", nullptr, &TCommandEditor::ActionAddGroupExecute, nullptr, true},
        {"command with nothing selected", nullptr, &TCommandEditor::ActionAddCommandExecute, nullptr, false},
        {"root group with a command selected", &EditorTest::reset, &TCommandEditor::ActionAddRootExecute, nullptr, true},
        {"root group with a group selected", &EditorTest::status, &TCommandEditor::ActionAddRootExecute, nullptr, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Select(c.selected ? this->*c.selected : nullptr);
        doc.SetModified(false);
        OnGroupDialog(nullptr, QDialog::Rejected);
        if (!c.group)
            prompts.dialogScripts.back() = [](QDialog& d) {
                EXPECT_NE(dynamic_cast<TfrmCommandProp*>(&d), nullptr);
                return int(QDialog::Rejected);
            };
        (editor.*c.action)();
        CommandNode* parent = c.parent ? this->*c.parent : nullptr;
        CommandNode* last = parent ? parent->Child(parent->ChildCount() - 1) : tree.Root(tree.RootCount() - 1);
        EXPECT_EQ(last->IsGroup(), c.group);
        EXPECT_EQ(FromAnsi(last->Name()), c.group ? QStringLiteral("新しいｸﾞﾙｰﾌﾟ") : QStringLiteral("新しいｺﾏﾝﾄﾞ"));
        EXPECT_EQ(last->ImageIndex(), c.group ? image::GroupCollapsed : image::CommandEmpty);
        EXPECT_EQ(view.Selected(), last);
        EXPECT_TRUE(doc.Modified());
        EXPECT_TRUE(prompts.dialogScripts.empty());
    }
}

TEST_F(EditorTest, AddNamesTheNodeThroughItsDialog)
{
    Select(other);
    OnGroupDialog([](TfrmGroupProp& d) { d.edtGroupName->setText(QStringLiteral("電源")); });
    editor.ActionAddGroupExecute();
    EXPECT_EQ(FromAnsi(other->Child(0)->Name()), QStringLiteral("電源"));
    EXPECT_EQ(other->Child(0)->Name(), ToAnsi(QStringLiteral("電源")));
}

TEST_F(EditorTest, AddUnderACommandIsRefused)
{
    Select(read);
    const std::size_t before = tree.NodeCount();
    editor.ActionAddGroupExecute();
    editor.ActionAddCommandExecute();
    EXPECT_EQ(tree.NodeCount(), before);
    EXPECT_TRUE(prompts.dialogsShown.empty());
    EXPECT_FALSE(doc.Modified());
}

struct PropertyCase {
    const char* what;
    TCommandInfo before;
    bool modifiedBefore;
    std::function<void(TfrmCommandProp&)> user;
    int result;
    const char* nameAfter; // UTF-8
    TCommandInfo after;
    int imageAfter;
    bool modifiedAfter;
};

TEST_F(EditorTest, CommandPropertiesFollowEveryRule)
{
    const auto none = [](TfrmCommandProp&) {};
    const PropertyCase cases[] = {
        {"OK without changes, clear flag", {"0x01", 0, -1}, false, none, QDialog::Accepted, "Read", {"0x01", 0, -1}, 8, false},
        {"OK without changes, set flag", {"0x01", 0, -1}, true, none, QDialog::Accepted, "Read", {"0x01", 0, -1}, 8, true},
        {"only the byte order: little", {"0x01", 0, -1}, false, [](TfrmCommandProp& d) { d.rdgByteOrder->SetItemIndex(1); },
         QDialog::Accepted, "Read", {"0x01", 0, 0}, 9, true},
        {"only the byte order: big", {"0x01", 0, 0}, false, [](TfrmCommandProp& d) { d.rdgByteOrder->SetItemIndex(2); },
         QDialog::Accepted, "Read", {"0x01", 0, 1}, 10, true},
        {"only the byte order: default", {"0x01", 0, 1}, false, [](TfrmCommandProp& d) { d.rdgByteOrder->SetItemIndex(0); },
         QDialog::Accepted, "Read", {"0x01", 0, -1}, 8, true},
        {"text mode whatever the byte order", {"0x01", 0, 1}, false, [](TfrmCommandProp& d) { d.rdgMode->SetItemIndex(1); },
         QDialog::Accepted, "Read", {"0x01", 1, 1}, 7, true},
        {"empty command string", {"0x01", 1, -1}, false, [](TfrmCommandProp& d) { d.edtCommand->clear(); },
         QDialog::Accepted, "Read", {"", 1, -1}, 11, true},
        {"new name and string", {"0x01", 0, -1}, false,
         [](TfrmCommandProp& d) {
             d.edtCommandName->setText(QStringLiteral("読出し"));
             d.edtCommand->setText(QStringLiteral("\"ｱ\""));
         },
         QDialog::Accepted, "読出し", {ToAnsi(QStringLiteral("\"ｱ\"")), 0, -1}, 8, true},
        {"empty name keeps the old one", {"0x01", 0, -1}, false, [](TfrmCommandProp& d) { d.edtCommandName->clear(); },
         QDialog::Accepted, "Read", {"0x01", 0, -1}, 8, false},
        {"only the case of the name", {"0x01", 0, -1}, false,
         [](TfrmCommandProp& d) { d.edtCommandName->setText(QStringLiteral("READ")); }, QDialog::Accepted, "READ",
         {"0x01", 0, -1}, 8, true},
        {"cancel changes nothing", {"0x01", 0, -1}, false,
         [](TfrmCommandProp& d) {
             d.edtCommandName->setText(QStringLiteral("x"));
             d.rdgMode->SetItemIndex(1);
         },
         QDialog::Rejected, "Read", {"0x01", 0, -1}, 8, false},
    };
    for (const PropertyCase& c : cases) {
        SCOPED_TRACE(c.what);
        tree.SetName(read, "Read");
        tree.SetInfo(read, c.before);
        Select(read);
        doc.SetModified(c.modifiedBefore);
        OnCommandDialog([&c](TfrmCommandProp& d) {
            EXPECT_EQ(d.edtCommandName->text(), QStringLiteral("Read"));
            EXPECT_EQ(d.edtCommand->text(), FromAnsi(c.before.Command));
            EXPECT_EQ(d.rdgMode->ItemIndex(), c.before.Mode);
            EXPECT_EQ(d.rdgByteOrder->ItemIndex(), c.before.ByteOrder + 1);
            c.user(d);
        }, c.result);
        editor.ActionPropertyExecute();
        EXPECT_EQ(FromAnsi(read->Name()), QString::fromUtf8(c.nameAfter));
        EXPECT_EQ(*read->Info(), c.after);
        EXPECT_EQ(read->ImageIndex(), c.imageAfter);
        EXPECT_EQ(doc.Modified(), c.modifiedAfter);
        // The selection handler runs after OK only, with the new values.
        if (c.result == QDialog::Accepted)
            EXPECT_EQ(changes, (std::vector<std::pair<CommandNode*, bool>>{{read, true}}));
        else
            EXPECT_TRUE(changes.empty());
    }
}

TEST_F(EditorTest, OkKeepsBytesTheCodePageCannotShow)
{
    // ED 40 shows the same character as FA 5C, which is what typing it writes: an
    // unchanged box must keep the pair it was filled with.
    const AnsiString odd = "A\xFD\xED\x40";
    ASSERT_NE(ToAnsi(FromAnsi(odd)), odd);
    tree.SetName(read, odd);
    tree.SetInfo(read, {odd, 0, -1});
    Select(read);
    OnCommandDialog(nullptr);
    editor.ActionPropertyExecute();
    EXPECT_EQ(read->Name(), odd);
    EXPECT_EQ(read->Info()->Command, odd);
    EXPECT_FALSE(doc.Modified());
}

TEST_F(EditorTest, GroupProperties)
{
    struct Case {
        const char* what;
        QString typed;
        int result;
        bool modifiedBefore;
        QString nameAfter;
        bool modifiedAfter;
    } cases[] = {
        {"OK unchanged, clear flag", QStringLiteral("Status"), QDialog::Accepted, false, QStringLiteral("Status"), false},
        {"OK unchanged, set flag", QStringLiteral("Status"), QDialog::Accepted, true, QStringLiteral("Status"), true},
        {"renamed", QStringLiteral("状態"), QDialog::Accepted, false, QStringLiteral("状態"), true},
        {"empty keeps the name", QString(), QDialog::Accepted, false, QStringLiteral("Status"), false},
        {"cancelled", QStringLiteral("x"), QDialog::Rejected, false, QStringLiteral("Status"), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        tree.SetName(status, "Status");
        Select(status);
        doc.SetModified(c.modifiedBefore);
        OnGroupDialog([&c](TfrmGroupProp& d) {
            EXPECT_EQ(d.edtGroupName->text(), QStringLiteral("Status"));
            d.edtGroupName->setText(c.typed);
        }, c.result);
        editor.ActionPropertyExecute();
        EXPECT_EQ(FromAnsi(status->Name()), c.nameAfter);
        EXPECT_EQ(doc.Modified(), c.modifiedAfter);
        EXPECT_EQ(changes.size(), c.result == QDialog::Accepted ? 1u : 0u);
    }
    EXPECT_EQ(prompts.dialogsShown.front(), QStringLiteral("frmGroupProp"));
}

TEST_F(EditorTest, CommandsNeedingASelectionDoNothingWithout)
{
    Select(nullptr);
    editor.ActionPropertyExecute();
    editor.ActionDeleteExecute();
    EXPECT_TRUE(prompts.dialogsShown.empty());
    EXPECT_TRUE(prompts.messages.empty());
    EXPECT_FALSE(doc.Modified());
}

TEST_F(EditorTest, DeleteAsksAndReleasesTheWholeSubtree)
{
    tree.AddCommand(status, "Write", {"0x02", 0, 0});
    Select(device);
    const std::size_t live = CommandNode::LiveCount();

    prompts.answers = {PromptButton::No};
    editor.ActionDeleteExecute();
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].text, QStringLiteral("'Device'を削除します。\r\nよろしいですか？"));
    EXPECT_EQ(prompts.messages[0].caption, QStringLiteral("Vorpex"));
    EXPECT_EQ(prompts.messages[0].icon, PromptIcon::Question);
    EXPECT_EQ(prompts.messages[0].buttons, int(PromptButton::Yes) | int(PromptButton::No));
    EXPECT_EQ(tree.RootCount(), 2);
    EXPECT_FALSE(doc.Modified());
    EXPECT_TRUE(changes.empty());

    prompts.answers = {PromptButton::Yes};
    editor.ActionDeleteExecute();
    // Device, Status, Read, Write and Reset are gone, records and all.
    EXPECT_EQ(CommandNode::LiveCount(), live - 5);
    EXPECT_EQ(Dump(tree), "Other[0]");
    EXPECT_TRUE(doc.Modified());
    // The tree picked the remaining node; the direct-input box is left alone.
    EXPECT_EQ(view.Selected(), other);
    EXPECT_TRUE(view.selectionModel()->isSelected(Index(other)));
    EXPECT_EQ(changes, (std::vector<std::pair<CommandNode*, bool>>{{other, false}}));

    changes.clear();
    prompts.answers = {PromptButton::Yes};
    editor.ActionDeleteExecute();
    EXPECT_TRUE(tree.Empty());
    EXPECT_EQ(view.Selected(), nullptr);
    EXPECT_EQ(changes, (std::vector<std::pair<CommandNode*, bool>>{{nullptr, false}}));
}

TEST_F(EditorTest, RenameInPlaceShowsTheNameAndModifies)
{
    std::vector<std::pair<const CommandNode*, QString>> shown;
    editor.ShowSelection = [&](const CommandNode* node, const QString& name) { shown.emplace_back(node, name); };
    view.resize(300, 300);
    view.show();
    view.expandAll();

    struct Case {
        CommandNode* EditorTest::*node;
        QString typed;
        QString result;
    } cases[] = {
        {&EditorTest::read, QStringLiteral("読出し"), QStringLiteral("読出し")},
        {&EditorTest::read, QString(), QStringLiteral("ｺﾏﾝﾄﾞ")},
        {&EditorTest::status, QString(), QStringLiteral("ｸﾞﾙｰﾌﾟ")},
        {&EditorTest::status, QStringLiteral("ｸﾞﾙｰﾌﾟ"), QStringLiteral("ｸﾞﾙｰﾌﾟ")}, // unchanged still modifies
    };
    for (const Case& c : cases) {
        CommandNode* node = this->*c.node;
        Select(node);
        doc.SetModified(false);
        shown.clear();
        // F2 opens the platform's edit box on the selected node; Enter accepts.
        view.setFocus();
        QTest::keyClick(&view, Qt::Key_F2);
        auto* box = view.viewport()->findChild<QLineEdit*>();
        ASSERT_NE(box, nullptr);
        box->setText(c.typed);
        QTest::keyClick(box, Qt::Key_Return);
        QCoreApplication::processEvents(); // the delegate commits through a queued call
        EXPECT_EQ(FromAnsi(node->Name()), c.result);
        EXPECT_TRUE(doc.Modified());
        EXPECT_EQ(shown, (std::vector<std::pair<const CommandNode*, QString>>{{node, c.result}}));
        QCoreApplication::processEvents(); // the edit box goes with deleteLater
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // Esc leaves the name and the flag alone.
    Select(reset);
    doc.SetModified(false);
    QTest::keyClick(&view, Qt::Key_F2);
    auto* box = view.viewport()->findChild<QLineEdit*>();
    ASSERT_NE(box, nullptr);
    box->setText(QStringLiteral("x"));
    QTest::keyClick(box, Qt::Key_Escape);
    QCoreApplication::processEvents();
    EXPECT_EQ(reset->Name(), "Reset");
    EXPECT_FALSE(doc.Modified());
}

TEST_F(EditorTest, RenameInPlaceWithoutTypingKeepsTheSavedFileByteForByte)
{
    // ED 40 shows the character FA 5C shows (and typing it writes FA 5C); 0x80 has none.
    const std::string file = "0 Group\xED\x40\x80\r\n1 Name\x80\xED\x40=1:A\x80" "B\r\n";
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("library.vpx"));
    const QString saved = dir.filePath(QStringLiteral("saved.vpx"));
    WriteBytes(path.toStdString(), file);
    ASSERT_TRUE(doc.LoadCommandFile(path));
    view.resize(300, 300);
    view.show();
    view.expandAll();

    const auto renameInPlace = [this](CommandNode* node, const std::function<void(QLineEdit&)>& user) {
        Select(node);
        view.setFocus();
        QTest::keyClick(&view, Qt::Key_F2);
        auto* box = view.viewport()->findChild<QLineEdit*>();
        ASSERT_NE(box, nullptr);
        user(*box);
        QTest::keyClick(box, Qt::Key_Return);
        QCoreApplication::processEvents(); // the delegate commits through a queued call
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    };
    CommandNode* group = tree.Root(0);
    ASSERT_NE(group, nullptr);
    for (CommandNode* node : {group, group->Child(0)})
        renameInPlace(node, [](QLineEdit&) {});
    ASSERT_TRUE(doc.SaveCommandFile(saved));
    EXPECT_EQ(ReadBytes(saved.toStdString()), file);

    // An edited name keeps the pairs the edit did not touch; only what was typed is written afresh.
    renameInPlace(group, [](QLineEdit& box) { box.setText(box.text() + QLatin1Char('!')); });
    EXPECT_EQ(group->Name(), "Group\xED\x40\x80!");
}

TEST_F(EditorTest, ActionsAndPopupMenuAreWired)
{
    QAction addGroup, addCommand, addRoot, del, prop, send;
    editor.ConnectActions(&addGroup, &addCommand, &addRoot, &del, &prop);
    Select(device);
    OnGroupDialog(nullptr, QDialog::Rejected);
    addRoot.trigger();
    EXPECT_EQ(tree.RootCount(), 3);
    prompts.answers = {PromptButton::Yes};
    del.trigger();
    EXPECT_EQ(tree.RootCount(), 2);

    QMenu menu;
    TCommandEditor::FillPopupMenu(menu, &send, &addGroup, &addCommand, &addRoot, &del, &prop);
    const QList<QAction*> items = menu.actions();
    ASSERT_EQ(items.size(), 5);
    EXPECT_EQ(items[0], &send);
    EXPECT_TRUE(items[1]->isSeparator());
    ASSERT_NE(items[2]->menu(), nullptr);
    EXPECT_EQ(items[2]->text(), QStringLiteral("新規作成(&N)"));
    EXPECT_EQ(items[2]->menu()->actions(), (QList<QAction*>{&addGroup, &addCommand, &addRoot}));
    EXPECT_EQ(items[3], &del);
    EXPECT_EQ(items[4], &prop);
}

TEST(PropertyDialogs, LaidOutAsTheUserSeesThem)
{
    TfrmCommandProp c;
    EXPECT_EQ(c.windowTitle(), QStringLiteral("ｺﾏﾝﾄﾞのﾌﾟﾛﾊﾟﾃｨ"));
    EXPECT_FALSE(c.windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(c.windowFlags() & Qt::WindowContextHelpButtonHint);
    EXPECT_EQ(c.lblCommandName->text(), QStringLiteral("コマンド名(&N)："));
    EXPECT_EQ(c.lblCommandName->buddy(), c.edtCommandName);
    EXPECT_TRUE(c.lblCommandName->alignment() & Qt::AlignRight);
    EXPECT_TRUE(c.lblCommand->alignment() & Qt::AlignRight);
    EXPECT_EQ(c.lblCommand->text(), QStringLiteral("コマンド(&C)："));
    EXPECT_EQ(c.lblCommand->buddy(), c.edtCommand);
    EXPECT_TRUE(c.edtCommand->font().fixedPitch());
    EXPECT_EQ(c.edtCommand->font().families().value(0), QStringLiteral("ＭＳ ゴシック"));
    EXPECT_EQ(c.rdgByteOrder->title(), QStringLiteral("バイトオーダー(&B)"));
    EXPECT_EQ(c.rdgByteOrder->Columns(), 1);
    ASSERT_EQ(c.rdgByteOrder->Count(), 3);
    EXPECT_EQ(c.rdgByteOrder->Button(0)->text(), QStringLiteral("デフォルトを使用(&D)"));
    EXPECT_EQ(c.rdgByteOrder->Button(1)->text(), QStringLiteral("リトルエンディアン(&L)"));
    EXPECT_EQ(c.rdgByteOrder->Button(2)->text(), QStringLiteral("ビッグエンディアン(&B)"));
    EXPECT_EQ(c.rdgMode->title(), QStringLiteral("送信モード(&M)"));
    EXPECT_EQ(c.rdgMode->Columns(), 2);
    ASSERT_EQ(c.rdgMode->Count(), 2);
    EXPECT_EQ(c.rdgMode->Button(0)->text(), QStringLiteral("混合モード(&B)"));
    EXPECT_EQ(c.rdgMode->Button(1)->text(), QStringLiteral("テキストモード(&T)"));
    EXPECT_EQ(c.btnOK->text(), QStringLiteral("OK"));
    EXPECT_TRUE(c.btnOK->isDefault());
    EXPECT_EQ(c.btnCancel->text(), QStringLiteral("キャンセル"));
    c.show();
    EXPECT_LT(c.rdgByteOrder->geometry().top(), c.rdgMode->geometry().top()); // byte order above mode
    EXPECT_EQ(c.rdgMode->Button(0)->y(), c.rdgMode->Button(1)->y());         // two columns
    EXPECT_EQ(c.minimumSize(), c.maximumSize());                             // fixed size
    // Esc is Cancel.
    QTest::keyClick(&c, Qt::Key_Escape);
    EXPECT_EQ(c.result(), QDialog::Rejected);

    TfrmGroupProp g;
    EXPECT_EQ(g.windowTitle(), QStringLiteral("ｸﾞﾙｰﾌﾟのﾌﾟﾛﾊﾟﾃｨ"));
    EXPECT_FALSE(g.windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_EQ(g.lblGroupName->text(), QStringLiteral("グループ名(&N)："));
    EXPECT_EQ(g.lblGroupName->buddy(), g.edtGroupName);
    EXPECT_TRUE(g.btnOK->isDefault());
    EXPECT_EQ(g.btnCancel->text(), QStringLiteral("キャンセル"));
}

TEST(RadioGroup, IndexRoundTripsAndOutOfRangeChecksNothing)
{
    TRadioGroup g(QStringLiteral("t"), {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}, 1);
    EXPECT_EQ(g.ItemIndex(), -1);
    for (int i : {2, 0, 1}) {
        g.SetItemIndex(i);
        EXPECT_EQ(g.ItemIndex(), i);
    }
    g.SetItemIndex(5);
    EXPECT_EQ(g.ItemIndex(), -1);
}

} // namespace
} // namespace vpx::test
