#include "about/About.h"

#include "about/AboutDlg.h"
#include "about/AboutPicture.h"
#include "about/ChgVerDlg.h"
#include "about/FramedLabel.h"
#include "platform/Registry.h"
#include "platform/UserPrompts.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>

namespace vpx {

namespace {

const QString kCheck = QStringLiteral("Check");
const QString kVersion = QStringLiteral("Version");
const QString kNoVersion = QStringLiteral("0.00"); // what a first start reads

} // namespace

TAbout::TAbout(UserPrompts& prompts, QWidget* owner, VersionInfo version)
    : m_prompts(prompts), m_owner(owner), m_version(std::move(version))
{
}

TAbout::~TAbout()
{
    try {
        DeleteSettingsIfAsked();
    } catch (...) {
        // Nothing can be reported while the program goes away.
    }
}

bool TAbout::CheckVersion(bool showNotice)
{
    const QString stored = TRegistryIniFile(RegName).ReadString(kCheck, kVersion, kNoVersion);
    const bool changed = m_version.FileVersion != stored && stored != kNoVersion;
    m_previousVersion = stored == kNoVersion ? QString() : stored;
    if (changed && showNotice)
        ShowVersionNotice();
    return changed;
}

void TAbout::ShowVersionNotice()
{
    TfrmChgVer notice(m_owner);
    notice.Setup(m_version.ProductName, m_previousVersion, m_version.FileVersion, UseJapanese);
    notice.SetHelpContext(VerHelpContext);
    notice.SetShowHelp(ShowVerHelp);
    notice.OnHelp = OnHelp;
    m_prompts.Exec(notice);
}

void TAbout::ShowAbout()
{
    TAboutDialog box(m_owner);
    box.SetUseJapanese(UseJapanese);
    box.chkDelReg->setChecked(m_deleteAtExit);
    box.chkDelReg->setVisible(ShowDelReg);

    box.lblProductName->setText(m_version.ProductName);
    box.lblVersion->setText(QStringLiteral("Version ") + m_version.FileVersion);
    box.lblDeveloper->setText(m_version.LegalCopyright);
    box.lblContact->setText(m_version.Contact);
    box.setWindowTitle(Title);
    box.imgLogo->SetPicture(Logo);
    box.SetHelpContext(AboutHelpContext);
    box.btnHelp->setToolTip(HelpButtonHint);
    box.btnHelp->setVisible(ShowAboutHelp);
    box.OnHelp = OnHelp;
    box.Timer.OnException = OnException;

    // Click handlers run inside Qt's event loop: nothing may escape them.
    const auto route = [this](const std::function<void()>& handler) -> std::function<void()> {
        if (!handler)
            return {};
        return [this, handler] {
            try {
                handler();
            } catch (const std::exception& e) {
                if (OnException)
                    OnException(e);
            }
        };
    };
    box.imgAnimation->OnClick = route(OnMarkClick);
    box.imgAnimation->OnDblClick = route(OnMarkDblClick);
    box.imgLogo->OnClick = route(OnLogoClick);
    box.imgLogo->OnDblClick = route(OnLogoDblClick);

    m_prompts.Exec(box);
    m_deleteAtExit = box.chkDelReg->isChecked();
}

void TAbout::StoreVersion()
{
    TRegistryIniFile ini(RegName);
    ini.WriteString(kCheck, kVersion, m_version.FileVersion);
    ini.UpdateFile();
}

void TAbout::DeleteSettingsIfAsked()
{
    if (!m_deleteAtExit || RegName.isEmpty())
        return;
    m_deleteAtExit = false;
    DeleteRegistryKey(RegName);
}

} // namespace vpx
