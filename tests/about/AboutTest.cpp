#include "about/About.h"
#include "about/AboutDlg.h"
#include "about/AboutPicture.h"
#include "about/ChgVerDlg.h"
#include "about/FramedLabel.h"
#include "platform/Registry.h"

#include "AboutTestUtil.h"
#include "support/FakePrompts.h"

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QPushButton>

#include <gtest/gtest.h>

namespace vpx {
namespace {

using test::FakePrompts;
using test::WaitUntil;

const QString kRegName = QStringLiteral("\\Software\\Norveth\\VPX");

VersionInfo Version(const QString& fileVersion)
{
    return {QStringLiteral("Vorpex"), fileVersion, QStringLiteral("Copyright (C) Norveth"),
            QStringLiteral("https://norveth.example/vorpex/")};
}

// The About component as the main window sets it up.
std::unique_ptr<TAbout> MakeAbout(FakePrompts& prompts, const QString& fileVersion)
{
    auto about = std::make_unique<TAbout>(prompts, nullptr, Version(fileVersion));
    about->RegName = kRegName;
    about->Title = QStringLiteral("Vorpexについて");
    about->Logo = VorpexLogoPixmap(64);
    about->ShowVerHelp = false;
    about->ShowAboutHelp = false;
    about->ShowDelReg = true;
    return about;
}

class AboutTest : public test::TempConfigTest {};

TEST_F(AboutTest, VersionNoticeOnceAfterTheVersionChangedNeverOnFirstStart)
{
    FakePrompts prompts;
    {
        auto first = MakeAbout(prompts, QStringLiteral("1.0.0"));
        EXPECT_FALSE(first->CheckVersion(true));
        EXPECT_EQ(first->PreviousVersion(), QString());
        first->StoreVersion();
    }
    EXPECT_TRUE(prompts.dialogsShown.empty());
    EXPECT_EQ(TRegistryIniFile(kRegName).ReadString(QStringLiteral("Check"), QStringLiteral("Version"), {}),
              QStringLiteral("1.0.0"));

    QStringList lines;
    prompts.dialogScripts.push_back([&](QDialog& d) {
        auto& notice = dynamic_cast<TfrmChgVer&>(d);
        lines << notice.windowTitle() << notice.lblTitle->text() << notice.lblLastVersion->text()
              << notice.lblArrow->text() << notice.lblNowVersion->text();
        EXPECT_TRUE(notice.btnHelp->isHidden());
        EXPECT_EQ(notice.btnOK->x(), 313 / 2 - 89 / 2);
        return int(QDialog::Accepted);
    });
    {
        auto second = MakeAbout(prompts, QStringLiteral("1.1.0"));
        EXPECT_TRUE(second->CheckVersion(true));
        EXPECT_EQ(second->PreviousVersion(), QStringLiteral("1.0.0"));
        second->StoreVersion();
    }
    ASSERT_EQ(prompts.dialogsShown, std::vector<QString>{QStringLiteral("frmChgVer")});
    EXPECT_EQ(lines, (QStringList{QStringLiteral("Vorpex"), QStringLiteral("このアプリケーションのバージョンが変更されました。"),
                                  QStringLiteral("以前のﾊﾞｰｼﾞｮﾝ ： Version 1.0.0"), QStringLiteral("↓"),
                                  QStringLiteral("今のﾊﾞｰｼﾞｮﾝ ： Version 1.1.0")}));

    auto third = MakeAbout(prompts, QStringLiteral("1.1.0"));
    EXPECT_FALSE(third->CheckVersion(true));
    EXPECT_EQ(prompts.dialogsShown.size(), 1u);
}

TEST_F(AboutTest, CheckVersionRules)
{
    struct Case {
        const char* stored; // nullptr: nothing stored
        bool changed;
        const char* previous;
    } const cases[] = {
        {nullptr, false, ""},
        {"0.00", false, ""},
        {"1.0.0", false, "1.0.0"},
        {"1.0.0 ", true, "1.0.0 "},
        {"0.9", true, "0.9"},
    };
    for (const Case& c : cases) {
        DeleteRegistryKey(kRegName);
        if (c.stored) {
            TRegistryIniFile(kRegName).WriteString(QStringLiteral("Check"), QStringLiteral("Version"),
                                                   QString::fromUtf8(c.stored));
        }
        FakePrompts prompts;
        auto about = MakeAbout(prompts, QStringLiteral("1.0.0"));
        EXPECT_EQ(about->CheckVersion(false), c.changed) << (c.stored ? c.stored : "none");
        EXPECT_EQ(about->PreviousVersion(), QString::fromUtf8(c.previous));
        EXPECT_TRUE(prompts.dialogsShown.empty()); // not asked to show
    }
}

TEST_F(AboutTest, VersionNoticeInEnglishWithHelp)
{
    TRegistryIniFile(kRegName).WriteString(QStringLiteral("Check"), QStringLiteral("Version"), QStringLiteral("0.9"));
    FakePrompts prompts;
    auto about = MakeAbout(prompts, QStringLiteral("1.0.0"));
    about->UseJapanese = false;
    about->ShowVerHelp = true;
    about->VerHelpContext = 7;
    std::vector<int> helped;
    about->OnHelp = [&](int context) { helped.push_back(context); };
    prompts.dialogScripts.push_back([&](QDialog& d) {
        auto& notice = dynamic_cast<TfrmChgVer&>(d);
        EXPECT_EQ(notice.lblTitle->text(), QStringLiteral("This application version changed"));
        EXPECT_EQ(notice.lblLastVersion->text(), QStringLiteral("Last version : Version 0.9"));
        EXPECT_EQ(notice.lblArrow->text(), QString());
        EXPECT_EQ(notice.lblNowVersion->text(), QStringLiteral("Now version : Version 1.0.0"));
        EXPECT_EQ(notice.btnOK->toolTip(), QStringLiteral("Close this dialog"));
        EXPECT_EQ(notice.btnHelp->text(), QStringLiteral("&Help"));
        EXPECT_EQ(notice.btnHelp->toolTip(), QStringLiteral("Show this dialog help"));
        EXPECT_FALSE(notice.btnHelp->isHidden());
        EXPECT_EQ(notice.size(), QSize(313, 152));
        notice.btnHelp->click();
        return int(QDialog::Accepted);
    });
    EXPECT_TRUE(about->CheckVersion(true));
    EXPECT_EQ(helped, std::vector<int>{7});
}

TEST_F(AboutTest, AboutBoxFilledAndItsCheckBoxRememberedWithinTheRun)
{
    FakePrompts prompts;
    auto about = MakeAbout(prompts, QStringLiteral("1.2.3"));
    prompts.dialogScripts.push_back([&](QDialog& d) {
        auto& box = dynamic_cast<TAboutDialog&>(d);
        EXPECT_EQ(box.windowTitle(), QStringLiteral("Vorpexについて"));
        EXPECT_EQ(box.lblProductName->text(), QStringLiteral("Vorpex"));
        EXPECT_EQ(box.lblVersion->text(), QStringLiteral("Version 1.2.3"));
        EXPECT_EQ(box.lblDeveloper->text(), QStringLiteral("Copyright (C) Norveth"));
        EXPECT_EQ(box.lblContact->text(), QStringLiteral("https://norveth.example/vorpex/"));
        EXPECT_EQ(box.btnOK->text(), QStringLiteral("了解(&O)"));
        EXPECT_TRUE(box.btnOK->isDefault());
        EXPECT_EQ(box.btnHelp->text(), QStringLiteral("ヘルプ(&H)"));
        EXPECT_TRUE(box.btnHelp->isHidden()); // ShowAboutHelp is false
        EXPECT_EQ(box.chkDelReg->text(), QStringLiteral("ﾚｼﾞｽﾄﾘ情報を終了時に削除する"));
        EXPECT_EQ(box.chkDelReg->toolTip(), QStringLiteral("このｱﾌﾟﾘｹｰｼｮﾝを削除する前にﾁｪｯｸして下さい"));
        EXPECT_FALSE(box.chkDelReg->isHidden());
        EXPECT_FALSE(box.chkDelReg->isChecked());
        EXPECT_FALSE(box.imgLogo->Picture().isNull());
        EXPECT_EQ(box.size(), QSize(512, 179));
        box.chkDelReg->setChecked(true);
        box.btnOK->click();
        return box.result();
    });
    about->ShowAbout();
    EXPECT_TRUE(about->DeleteAtExit());

    bool shownTicked = false;
    prompts.dialogScripts.push_back([&](QDialog& d) {
        shownTicked = dynamic_cast<TAboutDialog&>(d).chkDelReg->isChecked();
        return int(QDialog::Accepted);
    });
    about->ShowAbout();
    EXPECT_TRUE(shownTicked);
    EXPECT_EQ(prompts.dialogsShown.size(), 2u);
}

TEST_F(AboutTest, TickedBoxDeletesTheKeyAtExitAfterEverythingWasSaved)
{
    FakePrompts prompts;
    {
        auto about = MakeAbout(prompts, QStringLiteral("1.0.0"));
        prompts.dialogScripts.push_back([](QDialog& d) {
            dynamic_cast<TAboutDialog&>(d).chkDelReg->setChecked(true);
            return int(QDialog::Accepted);
        });
        about->ShowAbout();
        // Shut-down still saves everything before the component goes.
        TRegistryIniFile(kRegName).WriteString(QStringLiteral("Option"), QStringLiteral("Port"), QStringLiteral("5000"));
        about->StoreVersion();
        EXPECT_TRUE(QFile::exists(IniFile()));
    }
    EXPECT_FALSE(QFile::exists(IniFile()));
    TRegistryIniFile ini(kRegName);
    EXPECT_FALSE(ini.ValueExists(QStringLiteral("Check"), QStringLiteral("Version")));
    EXPECT_EQ(ini.ReadInteger(QStringLiteral("Option"), QStringLiteral("Port"), 0), 0);
}

TEST_F(AboutTest, UntickedBoxKeepsTheKey)
{
    FakePrompts prompts;
    {
        auto about = MakeAbout(prompts, QStringLiteral("1.0.0"));
        about->SetDeleteAtExit(true);
        prompts.dialogScripts.push_back([](QDialog& d) {
            dynamic_cast<TAboutDialog&>(d).chkDelReg->setChecked(false);
            return int(QDialog::Accepted);
        });
        about->ShowAbout();
        EXPECT_FALSE(about->DeleteAtExit());
        about->StoreVersion();
    }
    EXPECT_TRUE(QFile::exists(IniFile()));
}

TEST_F(AboutTest, AboutBoxInEnglish)
{
    TAboutDialog box;
    box.SetUseJapanese(false);
    EXPECT_EQ(box.btnHelp->text(), QStringLiteral("&Help"));
    EXPECT_EQ(box.btnOK->text(), QStringLiteral("&Ok"));
    EXPECT_EQ(box.btnOK->toolTip(), QStringLiteral("Close this dialog"));
    EXPECT_EQ(box.chkDelReg->text(), QStringLiteral("Delete registry info at exit"));
    EXPECT_EQ(box.chkDelReg->toolTip(), QStringLiteral("Check this option only before you remove this application."));
    EXPECT_TRUE(box.font().families().contains(QStringLiteral("Arial")));
    EXPECT_EQ(box.lblProductName->font().pixelSize(), 24);
}

TEST_F(AboutTest, ClicksOnThePicturesReachTheirHandlers)
{
    FakePrompts prompts;
    auto about = MakeAbout(prompts, QStringLiteral("1.0.0"));
    QStringList clicks;
    about->OnMarkClick = [&] { clicks << QStringLiteral("mark"); };
    about->OnLogoDblClick = [&] { clicks << QStringLiteral("logo2"); };
    about->OnLogoClick = [&] { throw std::runtime_error("handler failed"); };
    QStringList errors;
    about->OnException = [&](const std::exception& e) { errors << QString::fromUtf8(e.what()); };
    prompts.dialogScripts.push_back([](QDialog& d) {
        auto& box = dynamic_cast<TAboutDialog&>(d);
        if (box.imgAnimation->OnClick)
            box.imgAnimation->OnClick();
        EXPECT_FALSE(box.imgAnimation->OnDblClick); // not assigned, not routed
        box.imgLogo->OnDblClick();
        box.imgLogo->OnClick();
        return int(QDialog::Accepted);
    });
    about->ShowAbout();
    EXPECT_EQ(clicks, (QStringList{QStringLiteral("mark"), QStringLiteral("logo2")}));
    EXPECT_EQ(errors, QStringList{QStringLiteral("handler failed")});
}

TEST_F(AboutTest, PictureAnimatesWhileShownAndStopsOnClose)
{
    FakePrompts prompts;
    auto about = MakeAbout(prompts, QStringLiteral("1.0.0"));
    prompts.dialogScripts.push_back([](QDialog& d) {
        auto& box = dynamic_cast<TAboutDialog&>(d);
        box.show();
        EXPECT_TRUE(box.Timer.Running());
        EXPECT_EQ(box.Timer.Interval(), 16);
        const int start = box.imgAnimation->Phase();
        EXPECT_TRUE(WaitUntil([&] { return box.imgAnimation->Phase() != start; }));
        EXPECT_TRUE(box.imgAnimation->HasBitmaps());
        box.btnOK->click();
        EXPECT_FALSE(box.isVisible());
        EXPECT_FALSE(box.Timer.Running());
        EXPECT_FALSE(box.Timer.OnTimer);
        EXPECT_FALSE(box.imgAnimation->HasBitmaps());
        return box.result();
    });
    about->ShowAbout();
}

TEST(AboutPictureTest, StepsAreClampedAndRunBackwardsUnderThePointer)
{
    struct Case {
        int delay;
        bool hovered;
        int step;
    } const cases[] = {{1, false, 1}, {3, true, -3}, {25, false, 10}, {-25, false, -10}, {25, true, -10}, {0, false, 0}};
    for (const Case& c : cases)
        EXPECT_EQ(AboutPhaseStep(c.delay, c.hovered), c.step) << c.delay << " " << c.hovered;
}

TEST(AboutPictureTest, FramesTurnAndZoomAndRepeat)
{
    EXPECT_DOUBLE_EQ(AboutFrameAt(0).angle, 0);
    EXPECT_DOUBLE_EQ(AboutFrameAt(90).angle, 90);
    EXPECT_DOUBLE_EQ(AboutFrameAt(kAboutPhases + 5).angle, AboutFrameAt(5).angle);
    EXPECT_DOUBLE_EQ(AboutFrameAt(-5).angle, AboutFrameAt(kAboutPhases - 5).angle);
    EXPECT_NE(AboutFrameAt(0).scale, AboutFrameAt(kAboutPhases / 4).scale);
    for (int p = 0; p < kAboutPhases; p += 7) {
        EXPECT_GT(AboutFrameAt(p).scale, 0.4);
        EXPECT_LE(AboutFrameAt(p).scale, 1.0);
    }
    // The logo is drawn, not left blank.
    const QImage logo = VorpexLogoPixmap(64).toImage();
    EXPECT_EQ(logo.pixelColor(32, 32).alpha(), 255);
    EXPECT_EQ(logo.pixelColor(0, 0).alpha(), 0);
}

} // namespace
} // namespace vpx
