// The main window when the system refuses the watcher its stored priority: the
// port opens, the status bar says what happened, and the communication settings
// show the step in force and the trace file in use.

#include "platform/ThreadPriority.h"
#include "shell/Main.h"
#include "shell/MainActions.h"
#include "shell/UDPProp.h"
#include "support/FakePrompts.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace vpx::test {
namespace {

// What the system does for an ordinary user: no step above normal.
bool RefuseRaising(int step) noexcept
{
    return step <= tpNormal && SystemApplyThreadPriority(step);
}

class PriorityInForce : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_config.isValid());
        qputenv("XDG_CONFIG_HOME", m_config.path().toUtf8());
        SetThreadPriorityApplier(&RefuseRaising);
    }
    void TearDown() override
    {
        m_window.reset();
        SetThreadPriorityApplier(nullptr);
    }
    void StorePriority(int step)
    {
        QSettings ini(m_config.filePath(QStringLiteral("Norveth/VPX.ini")), QSettings::IniFormat);
        ini.setValue(QStringLiteral("Option/Priority"), QString::number(step));
    }

    FakePrompts prompts;
    QTemporaryDir m_config;
    std::unique_ptr<TfrmSimMain> m_window;
};

TEST_F(PriorityInForce, RefusedAtStartIsNotedAndShownInTheSettings)
{
    const auto inherited = static_cast<TThreadPriority>(CurrentThreadPriority());
    StorePriority(tpHighest);
    m_window = std::make_unique<TfrmSimMain>(QStringList{}, &prompts);
    TfrmSimMain& w = *m_window;
    EXPECT_TRUE(w.UDPControl.Active());
    EXPECT_EQ(w.UDPControl.Priority(), tpHighest); // kept, and stored again at exit
    EXPECT_EQ(w.StatusPanel[2]->text(), PriorityRefusedNote(tpHighest, inherited));
    EXPECT_TRUE(prompts.messages.empty());

    prompts.dialogScripts.push_back([&](QDialog& d) {
        auto& dialog = dynamic_cast<TfrmUDPProperty&>(d);
        EXPECT_EQ(dialog.cboPriority->currentIndex(), 5);
        EXPECT_EQ(dialog.lblPriorityInForce->text(),
                  QStringLiteral("実際：") + PriorityStepName(inherited) + QStringLiteral("（システムが拒否）"));
        EXPECT_TRUE(dialog.lblLogFile->text().startsWith(QStringLiteral("ログファイル：")));
        EXPECT_EQ(dialog.lblLogFile->toolTip(), QDir::toNativeSeparators(w.UDPControl.LogName()));
        dialog.cboPriority->setCurrentIndex(tpLower);
        return int(QDialog::Accepted);
    });
    w.Actions()->ActionCommEnv->trigger();
    EXPECT_TRUE(w.UDPControl.Active());
    EXPECT_EQ(w.UDPControl.PriorityInForce(), tpLower);
    EXPECT_FALSE(w.UDPControl.PriorityRefused());

    // Closed: the dialog has nothing in force to show.
    w.Actions()->ActionConnect->trigger();
    prompts.dialogScripts.push_back([&](QDialog& d) {
        auto& dialog = dynamic_cast<TfrmUDPProperty&>(d);
        EXPECT_EQ(dialog.lblPriorityInForce->text(), QStringLiteral("実際：－（未接続）"));
        return int(QDialog::Rejected);
    });
    w.Actions()->ActionCommEnv->trigger();
    EXPECT_EQ(prompts.dialogsShown.size(), 2u);
}

TEST(PriorityNames, StepsAsTheListNamesThem)
{
    const QString names[] = {QStringLiteral("アイドル"), QStringLiteral("－２"), QStringLiteral("－１"),
                             QStringLiteral("０"),       QStringLiteral("＋１"), QStringLiteral("＋２"),
                             QStringLiteral("最高")};
    TfrmUDPProperty dialog;
    ASSERT_EQ(dialog.cboPriority->count(), 7);
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(PriorityStepName(static_cast<TThreadPriority>(i)), names[i]);
        EXPECT_EQ(dialog.cboPriority->itemText(i), names[i]);
    }
    EXPECT_EQ(PriorityRefusedNote(tpTimeCritical, tpNormal),
              QStringLiteral("受信監視の頻度「最高」はシステムに拒否されました（実際は「０」）"));
}

} // namespace
} // namespace vpx::test
