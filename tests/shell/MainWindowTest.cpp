#include "platform/CodePage.h"
#include "shell/ConnectionCommands.h"
#include "shell/InfoDlg.h"
#include "shell/Main.h"
#include "shell/MainActions.h"
#include "shell/NumEdit.h"
#include "shell/UDPProp.h"
#include "traffic/TrafficExportCommands.h"
#include "traffic/TrafficLogView.h"
#include "shell/ShellTestUtil.h"
#include "support/FakePrompts.h"
#include "transport/TransportTestUtil.h"

#include <QAction>
#include <QComboBox>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QImage>
#include <QStatusTipEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <QSplitter>
#include <QTemporaryDir>
#include <QToolButton>
#include <QTreeView>

#include "library/CommandTreeView.h"
#include "shell/IPEdit.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace vpx::test {
namespace {

// A main window on its own settings folder, answered by scripted prompts.
class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_config.isValid());
        qputenv("XDG_CONFIG_HOME", m_config.path().toUtf8());
    }

    TfrmSimMain& Start(const QStringList& arguments = {})
    {
        m_window = std::make_unique<TfrmSimMain>(arguments, &prompts);
        return *m_window;
    }

    // The texts of the four connection indicators, as one line for comparisons.
    static std::string Indicators(TfrmSimMain& w)
    {
        return std::string(w.Actions()->ActionConnect->isChecked() ? "down" : "up") + " " +
               (w.mnuConnect->isChecked() ? "checked " : "unchecked ") + w.mnuConnect->text().toStdString() +
               " " + w.StatusPanel[0]->text().toStdString();
    }

    static std::uint16_t FreePort()
    {
        Peer probe;
        return probe.Port(); // free again once the probe is gone
    }

    FakePrompts prompts;
    QTemporaryDir m_config;
    std::unique_ptr<TfrmSimMain> m_window;
};

// The time column and the filter row are hidden on a first start, so the
// window looks as it always did; the 表示 menu's switches are remembered.
TEST_F(MainWindowTest, TimeColumnAndFilterRowStartHiddenAndAreRemembered)
{
    const struct {
        bool time, filter;
    } cases[] = {{true, false}, {false, true}, {true, true}, {false, false}};
    {
        TfrmSimMain& w = Start();
        EXPECT_FALSE(w.LogView->TimeColumnVisible());
        EXPECT_FALSE(w.LogView->FilterRowVisible());
        EXPECT_FALSE(w.LogExport()->ActionTimeColumn()->isChecked());
        EXPECT_FALSE(w.LogExport()->ActionFilterRow()->isChecked());
        m_window.reset();
    }
    for (const auto& c : cases) {
        {
            TfrmSimMain& w = Start();
            if (w.LogExport()->ActionTimeColumn()->isChecked() != c.time)
                w.LogExport()->ActionTimeColumn()->trigger();
            if (w.LogExport()->ActionFilterRow()->isChecked() != c.filter)
                w.LogExport()->ActionFilterRow()->trigger();
            EXPECT_EQ(w.LogView->TimeColumnVisible(), c.time);
            EXPECT_EQ(w.LogView->FilterRowVisible(), c.filter);
            m_window.reset();
        }
        TfrmSimMain& again = Start();
        EXPECT_EQ(again.LogView->TimeColumnVisible(), c.time) << c.time << c.filter;
        EXPECT_EQ(again.LogView->FilterRowVisible(), c.filter) << c.time << c.filter;
        EXPECT_EQ(again.LogExport()->ActionTimeColumn()->isChecked(), c.time);
        EXPECT_EQ(again.LogExport()->ActionFilterRow()->isChecked(), c.filter);
        m_window.reset();
    }
}

TEST_F(MainWindowTest, LogSaveCommandsAreInTheFileMenuAndTheSwitchesInTheViewMenu)
{
    TfrmSimMain& w = Start();
    const auto captions = [&w](const char* menu) {
        QStringList texts;
        for (QAction* a : w.findChild<QMenu*>(QString::fromLatin1(menu))->actions())
            texts << a->text();
        return texts;
    };
    EXPECT_TRUE(captions("mnuFile").contains(QStringLiteral("通信ログの保存...")));
    EXPECT_TRUE(captions("mnuFile").contains(QStringLiteral("選択行の保存...")));
    EXPECT_TRUE(captions("mnuView").contains(QStringLiteral("時刻(&M)")));
    EXPECT_TRUE(captions("mnuView").contains(QStringLiteral("フィルタ(&F)")));
}

TEST_F(MainWindowTest, StartsWithThePortOpenAndTellsWhereItListens)
{
    TfrmSimMain& w = Start();
    EXPECT_TRUE(w.UDPControl.Active());
    EXPECT_EQ(Indicators(w), "down checked 切断(&P) 接続中");
    // Port 0 lets the system choose: the panel shows its choice, not the 0.
    const std::uint16_t bound = BoundPort(w.UDPControl.Socket());
    EXPECT_NE(bound, 0);
    EXPECT_EQ(w.StatusPanel[1]->text(), QStringLiteral("127.0.0.1 [%1]").arg(bound));
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Vorpex - 無題 "));
    EXPECT_FALSE(w.Actions()->ActionSave->isEnabled());
    EXPECT_TRUE(prompts.messages.empty());
    EXPECT_TRUE(w.UDPControl.LogName().endsWith(QStringLiteral("/Command.log")));
}

TEST_F(MainWindowTest, ConnectTogglesAllFourIndicators)
{
    TfrmSimMain& w = Start();
    w.Actions()->ActionConnect->trigger();
    EXPECT_FALSE(w.UDPControl.Active());
    EXPECT_EQ(Indicators(w), "up unchecked 接続(&P) 未接続");
    w.mnuConnect->trigger(); // the menu item runs the same command
    EXPECT_TRUE(w.UDPControl.Active());
    EXPECT_EQ(Indicators(w), "down checked 切断(&P) 接続中");
    EXPECT_TRUE(w.tbConnect->isChecked());
}

TEST_F(MainWindowTest, APortHeldByAnotherSocketGivesTheBoxAndStaysClosed)
{
    TfrmSimMain& w = Start();
    Peer holder;
    w.Actions()->ActionConnect->trigger(); // close
    w.UDPControl.SetPort(holder.Port());
    w.Actions()->ActionConnect->trigger(); // open fails
    EXPECT_FALSE(w.UDPControl.Active());
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].text,
              QStringLiteral("ポートのオープンに失敗しました。\r\n\r\nソケットのバインド時にエラーが発生しました。\r\n"
                             "指定されたアドレスは、すでに使用されています。"));
    EXPECT_EQ(prompts.messages[0].caption, QStringLiteral("エラー"));
    EXPECT_EQ(prompts.messages[0].icon, PromptIcon::Error);
    EXPECT_FALSE(w.tbConnect->isChecked());
    EXPECT_EQ(Indicators(w), "up unchecked 接続(&P) 未接続");
}

TEST_F(MainWindowTest, SettingsOkWhileOpenReopensOnTheNewPort)
{
    TfrmSimMain& w = Start();
    const std::uint16_t port = FreePort();
    prompts.dialogScripts.push_back([port](QDialog& d) {
        auto& dialog = dynamic_cast<TfrmUDPProperty&>(d);
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("ＵＤＰコントロールの設定"));
        EXPECT_EQ(dialog.nedtPort->Value(), 0u);
        EXPECT_EQ(dialog.cboPriority->currentIndex(), 3);
        dialog.nedtPort->SetValue(port);
        dialog.cboPriority->setCurrentIndex(1);
        return int(QDialog::Accepted);
    });
    w.Actions()->ActionCommEnv->trigger();
    EXPECT_TRUE(w.UDPControl.Active());
    EXPECT_EQ(w.UDPControl.Port(), port);
    EXPECT_EQ(w.UDPControl.Priority(), tpLowest);
    EXPECT_EQ(w.StatusPanel[1]->text(), QStringLiteral("127.0.0.1 [%1]").arg(port));
    EXPECT_EQ(Indicators(w), "down checked 切断(&P) 接続中");

    // The socket really listens there now.
    Peer peer;
    ASSERT_GT(peer.SendTo(port, "x"), 0);
    std::int32_t received = 0;
    w.UDPControl.OnReceive = [&](TCustomUDPSock&, std::int32_t size) {
        std::string buf(static_cast<std::size_t>(size), '\0');
        AnsiString address;
        std::uint16_t from = 0;
        received += w.UDPControl.Receive(buf.data(), size, address, from, false);
    };
    EXPECT_TRUE(WaitUntil([&] { return received == 1; }));
}

TEST_F(MainWindowTest, SettingsOkWhileClosedChangesValuesButStaysClosed)
{
    TfrmSimMain& w = Start();
    w.Actions()->ActionConnect->trigger();
    const std::uint16_t port = FreePort();
    prompts.dialogScripts.push_back([port](QDialog& d) {
        dynamic_cast<TfrmUDPProperty&>(d).nedtPort->SetValue(port);
        return int(QDialog::Accepted);
    });
    w.Actions()->ActionCommEnv->trigger();
    EXPECT_FALSE(w.UDPControl.Active());
    EXPECT_EQ(w.UDPControl.Port(), port);
    EXPECT_EQ(Indicators(w), "up unchecked 接続(&P) 未接続");
    EXPECT_EQ(w.StatusPanel[1]->text(), QStringLiteral("127.0.0.1 [%1]").arg(port));
}

TEST_F(MainWindowTest, SettingsCancelChangesNothingNotEvenAReopen)
{
    TfrmSimMain& w = Start();
    const ws::SOCKET before = w.UDPControl.Socket();
    prompts.dialogScripts.push_back([](QDialog& d) {
        dynamic_cast<TfrmUDPProperty&>(d).nedtPort->SetValue(4321);
        return int(QDialog::Rejected);
    });
    w.Actions()->ActionCommEnv->trigger();
    EXPECT_EQ(w.UDPControl.Socket(), before);
    EXPECT_EQ(w.UDPControl.Port(), 0);
    EXPECT_EQ(w.StatusPanel[1]->text(), QStringLiteral("127.0.0.1 [%1]").arg(BoundPort(before)));
}

TEST_F(MainWindowTest, AFailedReopenShowsTheErrorWithTheIndicatorsClosed)
{
    TfrmSimMain& w = Start();
    Peer holder;
    prompts.dialogScripts.push_back([&holder](QDialog& d) {
        dynamic_cast<TfrmUDPProperty&>(d).nedtPort->SetValue(holder.Port());
        return int(QDialog::Accepted);
    });
    w.Actions()->ActionCommEnv->trigger();
    EXPECT_FALSE(w.UDPControl.Active());
    EXPECT_EQ(w.UDPControl.Port(), holder.Port()); // the new value stays set
    EXPECT_EQ(Indicators(w), "up unchecked 接続(&P) 未接続");
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_TRUE(prompts.messages[0].text.startsWith(QStringLiteral("ソケットのバインド時にエラーが発生しました。")));
    EXPECT_EQ(prompts.messages[0].caption, QStringLiteral("Vorpex"));
}

TEST_F(MainWindowTest, SocketInformationShowsWhatTheSocketLayerReported)
{
    TfrmSimMain& w = Start();
    prompts.dialogScripts.push_back([&w](QDialog& d) {
        auto& dialog = dynamic_cast<TfrmSockInfoDialog&>(d);
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("ソケット情報"));
        EXPECT_EQ(dialog.lblDescription->text(), FromAnsi(w.UDPControl.Description()));
        EXPECT_FALSE(dialog.lblDescription->text().isEmpty());
        EXPECT_EQ(dialog.lblSystemStatus->text(), FromAnsi(w.UDPControl.SystemStatus()));
        EXPECT_EQ(dialog.lblLocalAddress->text(), QStringLiteral("127.0.0.1"));
        EXPECT_EQ(dialog.lblPort->text(), QString::number(BoundPort(w.UDPControl.Socket())));
        EXPECT_EQ(dialog.lblMaxSockets->text(), QString::number(w.UDPControl.MaxSockets()));
        EXPECT_EQ(dialog.lblMaxUdpDg->text(), QStringLiteral("65507 Byte"));
        return int(QDialog::Accepted);
    });
    w.Actions()->ActionSockInfo->trigger();
    EXPECT_EQ(prompts.dialogsShown, std::vector<QString>{QStringLiteral("frmSockInfoDialog")});
}

// The port shown is the one datagrams reach: the system's choice for port 0 while
// open, the configured port while closed; the panel follows every connect.
TEST_F(MainWindowTest, StatusBarAndInformationShowThePortTheSocketIsBoundTo)
{
    TfrmSimMain& w = Start();
    const std::uint16_t fixed = FreePort();
    const struct {
        const char* name;
        std::function<void()> step;
        bool open;
        bool ephemeral; // port 0, open: a port of the system's choosing
        std::uint16_t configured;
    } cases[] = {
        {"start, port 0", [] {}, true, true, 0},
        {"closed, port 0", [&] { w.Actions()->ActionConnect->trigger(); }, false, false, 0},
        {"reopened, port 0", [&] { w.Actions()->ActionConnect->trigger(); }, true, true, 0},
        {"settings, fixed port",
         [&] {
             prompts.dialogScripts.push_back([fixed](QDialog& d) {
                 dynamic_cast<TfrmUDPProperty&>(d).nedtPort->SetValue(fixed);
                 return int(QDialog::Accepted);
             });
             w.Actions()->ActionCommEnv->trigger();
         },
         true, false, fixed},
        {"closed, fixed port", [&] { w.Actions()->ActionConnect->trigger(); }, false, false, fixed},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        c.step();
        ASSERT_EQ(w.UDPControl.Active(), c.open);
        const std::uint16_t expected = c.open ? BoundPort(w.UDPControl.Socket()) : c.configured;
        if (c.ephemeral)
            EXPECT_NE(expected, 0);
        else
            EXPECT_EQ(expected, c.configured);
        EXPECT_EQ(w.StatusPanel[1]->text(), QStringLiteral("127.0.0.1 [%1]").arg(expected));
        QString shown;
        prompts.dialogScripts.push_back([&shown](QDialog& d) {
            shown = dynamic_cast<TfrmSockInfoDialog&>(d).lblPort->text();
            return int(QDialog::Accepted);
        });
        w.Actions()->ActionSockInfo->trigger();
        EXPECT_EQ(shown, QString::number(expected));
        EXPECT_EQ(w.UDPControl.Port(), c.configured); // what is stored stays the setting
    }
    EXPECT_TRUE(prompts.messages.empty());
}

// OK checks the port before the dialog closes: out of range, the error is shown
// over the open dialog, which keeps the field focused with its text selected.
TEST_F(MainWindowTest, SettingsOkWithAPortOutOfRangeKeepsTheDialogOpen)
{
    TfrmSimMain& w = Start();
    const std::uint16_t port = FreePort();
    bool stayedOpen = false;
    QString selected;
    std::size_t errors = 0;
    prompts.dialogScripts.push_back([&](QDialog& d) {
        auto& dialog = dynamic_cast<TfrmUDPProperty&>(d);
        EXPECT_TRUE(ShowActive(dialog));
        EXPECT_TRUE(WaitUntil([&] { return dialog.nedtPort->hasFocus(); }));
        QTest::keyClicks(dialog.nedtPort, QStringLiteral("70000")); // replaces the selected "0"
        QTest::keyClick(dialog.nedtPort, Qt::Key_Return);           // the default button, OK
        errors = prompts.messages.size();
        stayedOpen = dialog.isVisible() && dialog.result() != QDialog::Accepted;
        selected = dialog.nedtPort->selectedText();
        EXPECT_TRUE(dialog.nedtPort->hasFocus());
        QTest::keyClicks(dialog.nedtPort, QString::number(port)); // typing replaces the selection
        QTest::keyClick(dialog.nedtPort, Qt::Key_Return);
        EXPECT_FALSE(dialog.isVisible());
        return dialog.result();
    });
    w.Actions()->ActionCommEnv->trigger();
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(selected, QStringLiteral("70000"));
    ASSERT_EQ(errors, 1u);
    EXPECT_EQ(prompts.messages[0].text, QStringLiteral("0 から 65535 の間の値でなければなりません"));
    EXPECT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(w.UDPControl.Port(), port); // the second OK applied the corrected value
    EXPECT_TRUE(w.UDPControl.Active());
}

// Every dialog with a text field opens with the focused field's text selected,
// so typing replaces it, as on any desktop.
TEST_F(MainWindowTest, DialogsOpenWithTheFocusedFieldsTextSelected)
{
    TfrmSimMain& w = Start();
    struct Case {
        const char* dialog;
        std::function<void()> open;
        const char* focused;
        QString selected;
    };
    const Case cases[] = {
        {"frmUDPProperty", [&] { w.Actions()->ActionCommEnv->trigger(); }, "nedtPort", QStringLiteral("0")},
        {"frmGroupProp", [&] { w.Actions()->ActionAddRoot->trigger(); }, "edtGroupName",
         QStringLiteral("新しいｸﾞﾙｰﾌﾟ")},
        {"frmCommandProp", [&] { w.Actions()->ActionAddCommand->trigger(); }, "edtCommandName",
         QStringLiteral("新しいｺﾏﾝﾄﾞ")},
        // The find dialog is kept: its field has the focus, empty at the first search.
        {"frmFind", [&] { w.Actions()->ActionGoFind->trigger(); }, "edtFindText", QString()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.dialog);
        QString focused, selected, after;
        prompts.dialogScripts.push_back([&](QDialog& d) {
            EXPECT_EQ(d.objectName(), QString::fromLatin1(c.dialog));
            EXPECT_TRUE(ShowActive(d));
            QWidget* f = d.focusWidget();
            focused = f ? f->objectName() : QString();
            auto* edit = qobject_cast<QLineEdit*>(f);
            if (!edit)
                return int(QDialog::Rejected);
            selected = edit->selectedText();
            QTest::keyClicks(edit, QStringLiteral("7"));
            after = edit->text();
            d.hide();
            return int(QDialog::Rejected);
        });
        c.open();
        EXPECT_EQ(focused, QString::fromLatin1(c.focused));
        EXPECT_EQ(selected, c.selected);
        EXPECT_EQ(after, QStringLiteral("7"));
    }
    EXPECT_TRUE(prompts.dialogScripts.empty());
}

// Whether `edit` shows `text` whole: a text wider than the box is scrolled to
// keep the caret in view, so moving the caret from the end to the start then
// changes the picture; a text that fits is painted the same either way.
bool ShowsWhole(QLineEdit& edit, const QString& text)
{
    edit.clearFocus(); // no blinking caret in the pictures
    edit.setText(text);
    edit.setCursorPosition(text.size());
    const QImage atEnd = edit.grab().toImage();
    edit.setCursorPosition(0);
    const QImage atStart = edit.grab().toImage();
    return atEnd == atStart;
}

TEST_F(MainWindowTest, NumberBoxesAreWideEnoughForTheirWidestValue)
{
    TfrmSimMain& w = Start();
    ASSERT_TRUE(ShowActive(w));
    TfrmUDPProperty dialog(&w);
    ASSERT_TRUE(ShowActive(dialog));
    const struct {
        const char* name;
        TNumEdit* box;
        QString widest;
    } cases[] = {
        {"tool bar port", w.nedtPort, QStringLiteral("65535")},
        {"address field 0", w.ipedtAddress->Field(0), QStringLiteral("255")},
        {"address field 1", w.ipedtAddress->Field(1), QStringLiteral("255")},
        {"address field 2", w.ipedtAddress->Field(2), QStringLiteral("255")},
        {"address field 3", w.ipedtAddress->Field(3), QStringLiteral("255")},
        {"settings port", dialog.nedtPort, QStringLiteral("65535")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_GE(c.box->width(), c.box->WidthToShow(c.widest));
        EXPECT_TRUE(ShowsWhole(*c.box, c.widest));
    }
    // The check itself sees a box that is too narrow.
    TNumEdit narrow(&dialog);
    narrow.SetMax(65535);
    narrow.setGeometry(0, 0, narrow.WidthToShow(QStringLiteral("65535")) - 8, 22);
    narrow.show();
    EXPECT_FALSE(ShowsWhole(narrow, QStringLiteral("65535")));
}

TEST_F(MainWindowTest, CommandLineProblemsAreReportedAtStartUp)
{
    Start({QStringLiteral("-c"), QStringLiteral("x.vpx"), QStringLiteral("/c")});
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].text, QStringLiteral("/c オプションの後にファイル名が指定されていません"));
    EXPECT_EQ(prompts.messages[0].caption, QStringLiteral("コマンドラインオプションエラー"));
}

TEST_F(MainWindowTest, HintsGoToTheThirdStatusPanel)
{
    TfrmSimMain& w = Start();
    QStatusTipEvent tip(QStringLiteral("ﾎﾟｰﾄを開閉します"));
    QCoreApplication::sendEvent(&w, &tip);
    EXPECT_EQ(w.StatusPanel[2]->text(), QStringLiteral("ﾎﾟｰﾄを開閉します"));
    EXPECT_EQ(w.Actions()->ActionConnect->statusTip(), QStringLiteral("ﾎﾟｰﾄを開閉します"));
    EXPECT_EQ(w.Actions()->ActionConnect->toolTip(), QStringLiteral("接続/切断"));
}

TEST_F(MainWindowTest, ShrinkingKeepsThirtyPixelsForTheLowerAndRightPanes)
{
    TfrmSimMain& w = Start();
    w.show();
    ASSERT_TRUE(WaitUntil([&] { return w.isVisible(); }));
    w.resize(260, 220);
    QCoreApplication::processEvents();
    EXPECT_GE(w.pnlBottom->height(), 30);
    EXPECT_GE(w.pnlRight->width(), 30);
    EXPECT_GE(w.pnlTop->height(), 30);
    EXPECT_GE(w.pnlLeft->width(), 30);

    w.resize(100, 50); // smaller than the window allows
    QCoreApplication::processEvents();
    EXPECT_GE(w.width(), 200);
    EXPECT_GE(w.height(), 100);
}

TEST_F(MainWindowTest, EveryUnlabelledControlHasAnAccessibleName)
{
    TfrmSimMain& w = Start();
    for (QWidget* control : {static_cast<QWidget*>(w.nedtPort), static_cast<QWidget*>(w.ipedtAddress),
                             static_cast<QWidget*>(w.cboCommand), static_cast<QWidget*>(w.tvCommand),
                             static_cast<QWidget*>(w.lvReturnDatas)})
        EXPECT_FALSE(control->accessibleName().isEmpty()) << control->objectName().toStdString();
}

TEST_F(MainWindowTest, JapaneseTextsHaveAFontThatHoldsThem)
{
    // Without such a font every caption would be drawn as empty boxes.
    TfrmSimMain& w = Start();
    const QString family = QFontInfo(w.font()).family();
    EXPECT_TRUE(QFontDatabase::writingSystems(family).contains(QFontDatabase::Japanese)) << family.toStdString();
    EXPECT_TRUE(QFontMetrics(w.font()).inFont(QChar(u'接')));
    EXPECT_TRUE(QFontMetrics(w.font()).inFont(QChar(u'ｺ'))); // half-width katakana of the titles
}

} // namespace
} // namespace vpx::test
