#pragma once

// The About component of the main window: shows the About box, keeps the
// program's version in the settings so that a notice is shown once after it
// changed, and deletes the settings key at exit when the user asked for it.

#include "about/VerUtils.h"

#include <QPixmap>
#include <QString>

#include <exception>
#include <functional>

class QWidget;

namespace vpx {

class UserPrompts;

class TAbout {
public:
    // Dialogs run through `prompts`, centred on `owner`; `version` is the program's
    // own unless a test pretends otherwise.
    explicit TAbout(UserPrompts& prompts, QWidget* owner = nullptr,
                    VersionInfo version = VersionInfo::Current());
    ~TAbout(); // DeleteSettingsIfAsked
    TAbout(const TAbout&) = delete;
    TAbout& operator=(const TAbout&) = delete;

    // The key below the current user, e.g. "\Software\Norveth\VPX".
    QString RegName;
    QString Title;          // caption of the About box
    QPixmap Logo;           // the 64 x 64 picture at the top left of the About box
    bool ShowVerHelp = true;
    bool ShowAboutHelp = true;
    int VerHelpContext = 0;
    int AboutHelpContext = 0;
    QString HelpButtonHint;
    bool UseJapanese = true;
    bool ShowDelReg = false;
    std::function<void()> OnMarkClick;
    std::function<void()> OnMarkDblClick;
    std::function<void()> OnLogoClick;
    std::function<void()> OnLogoDblClick;
    // Opens the help topic of a help context (the help buttons of both dialogs).
    std::function<void(int context)> OnHelp;
    // The application's display of an exception thrown by a click handler or a tick.
    std::function<void(const std::exception&)> OnException;

    const VersionInfo& Version() const noexcept { return m_version; }
    // The version of the last run as read by CheckVersion; empty when there was none.
    const QString& PreviousVersion() const noexcept { return m_previousVersion; }

    // Reads "Check"/"Version" and says whether the version changed since the last
    // run (never on a first start); shows the version notice then if asked to.
    bool CheckVersion(bool showNotice);
    // Shows the About box modally; its check box sets DeleteAtExit.
    void ShowAbout();
    // Writes the running version to "Check"/"Version".
    void StoreVersion();

    bool DeleteAtExit() const noexcept { return m_deleteAtExit; }
    void SetDeleteAtExit(bool value) noexcept { m_deleteAtExit = value; }
    // Deletes RegName with every sub-key when DeleteAtExit is set. Call it after
    // everything else was saved; once done, later calls do nothing.
    void DeleteSettingsIfAsked();

private:
    void ShowVersionNotice();

    UserPrompts& m_prompts;
    QWidget* m_owner;
    VersionInfo m_version;
    QString m_previousVersion;
    bool m_deleteAtExit = false;
};

} // namespace vpx
