// The communication settings' local address, groups and TTL as the window shows
// and applies them, and the 自動返信 menu's reply-to-sender switch.

#include "shell/Main.h"
#include "shell/MainActions.h"
#include "shell/NumEdit.h"
#include "shell/Settings.h"
#include "shell/UDPProp.h"
#include "support/FakePrompts.h"
#include "traffic/SendCommands.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace vpx::test {
namespace {

class LocalAddressDialog : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_config.isValid());
        qputenv("XDG_CONFIG_HOME", m_config.path().toUtf8());
        m_window = std::make_unique<TfrmSimMain>(QStringList{}, &prompts);
    }
    QString Stored(const char* name)
    {
        QSettings ini(m_config.filePath(QStringLiteral("Norveth/VPX.ini")), QSettings::IniFormat);
        return ini.value(QString::fromLatin1(name)).toString();
    }

    FakePrompts prompts;
    QTemporaryDir m_config;
    std::unique_ptr<TfrmSimMain> m_window;
};

TEST_F(LocalAddressDialog, ChoiceGroupsAndTtlAreShownAppliedAndStored)
{
    TfrmSimMain& w = *m_window;
    ASSERT_TRUE(w.UDPControl.Active());
    w.Actions()->ActionConnect->trigger(); // a port with groups binds to every address: not on this machine
    ASSERT_FALSE(w.UDPControl.Active());

    prompts.dialogScripts.push_back([&](QDialog& d) {
        auto& dialog = dynamic_cast<TfrmUDPProperty&>(d);
        // The tests pin the address through the environment, and the dialog says so.
        EXPECT_TRUE(dialog.lblOverride->isVisibleTo(&dialog));
        EXPECT_TRUE(dialog.lblOverride->toolTip().contains(QStringLiteral("VORPEX_LOCAL_ADDRESS（127.0.0.1）")));
        EXPECT_EQ(dialog.cboLocalAddress->currentIndex(), 0);
        EXPECT_EQ(dialog.cboLocalAddress->itemText(0), QStringLiteral("自動"));
        EXPECT_EQ(dialog.cboLocalAddress->itemText(1), QStringLiteral("すべてのアドレス (0.0.0.0)"));
        const int lo = dialog.cboLocalAddress->findData(QStringLiteral("127.0.0.1"));
        EXPECT_GE(lo, 2);
        EXPECT_TRUE(dialog.cboLocalAddress->itemText(lo).startsWith(QStringLiteral("127.0.0.1 (")));
        EXPECT_EQ(dialog.edtGroups->text(), QString());
        EXPECT_EQ(dialog.nedtTtl->text(), QStringLiteral("1"));
        dialog.cboLocalAddress->setCurrentIndex(lo);
        dialog.edtGroups->setText(QStringLiteral("239.1.2.3 239.1.2.4"));
        dialog.nedtTtl->setText(QStringLiteral("16"));
        dialog.btnOKClick();
        return dialog.result();
    });
    w.Actions()->ActionCommEnv->trigger();
    EXPECT_TRUE(prompts.messages.empty());
    EXPECT_FALSE(w.UDPControl.Active());
    EXPECT_EQ(w.UDPControl.LocalChoice(), "127.0.0.1");
    EXPECT_EQ(w.UDPControl.MulticastGroups(), (std::vector<std::string>{"239.1.2.3", "239.1.2.4"}));
    EXPECT_EQ(w.UDPControl.MulticastTtl(), 16);

    // A list with something that is no group stays open on it; nothing changes.
    prompts.dialogScripts.push_back([&](QDialog& d) {
        auto& dialog = dynamic_cast<TfrmUDPProperty&>(d);
        EXPECT_EQ(dialog.edtGroups->text(), QStringLiteral("239.1.2.3, 239.1.2.4"));
        EXPECT_EQ(dialog.cboLocalAddress->currentData().toString(), QStringLiteral("127.0.0.1"));
        dialog.edtGroups->setText(QStringLiteral("239.1.2.3, 192.168.1.1"));
        dialog.cboLocalAddress->setCurrentIndex(1);
        dialog.btnOKClick();
        EXPECT_EQ(dialog.result(), int(QDialog::Rejected)) << "the dialog closed on a bad group";
        return int(QDialog::Rejected);
    });
    w.Actions()->ActionCommEnv->trigger();
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].text,
              QStringLiteral("「192.168.1.1」はマルチキャストアドレス（224.0.0.0～239.255.255.255）ではありません"));
    EXPECT_EQ(w.UDPControl.LocalChoice(), "127.0.0.1");

    m_window.reset();
    EXPECT_EQ(Stored("Option/LocalAddress"), QStringLiteral("127.0.0.1"));
    EXPECT_EQ(Stored("Option/MulticastGroups"), QStringLiteral("239.1.2.3, 239.1.2.4"));
    EXPECT_EQ(Stored("Option/MulticastTTL"), QStringLiteral("16"));
}

TEST_F(LocalAddressDialog, ReplyToSenderIsInTheAutoReplyMenuOffByDefaultAndRemembered)
{
    TfrmSimMain& w = *m_window;
    QAction* action = w.Actions()->ActionReplyToSender;
    EXPECT_FALSE(action->isChecked());
    EXPECT_FALSE(w.Send().ReplyToSender());
    auto* menu = w.findChild<QMenu*>(QStringLiteral("mnuAutoReturn"));
    ASSERT_NE(menu, nullptr);
    EXPECT_TRUE(menu->actions().contains(action));

    action->trigger();
    EXPECT_TRUE(w.Send().ReplyToSender());
    m_window.reset();
    EXPECT_EQ(Stored("Option/ReplyToSender"), QStringLiteral("1"));

    m_window = std::make_unique<TfrmSimMain>(QStringList{}, &prompts);
    EXPECT_TRUE(m_window->Actions()->ActionReplyToSender->isChecked());
    EXPECT_TRUE(m_window->Send().ReplyToSender());
}

} // namespace
} // namespace vpx::test
