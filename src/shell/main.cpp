#include "shell/Language.h"
#include "shell/Main.h"
#include "shell/Settings.h"
#include "shell/StartUp.h"
#include "shell/TerminationSignals.h"

#include "platform/UserPrompts.h"

#include <QApplication>
#include <QLocale>
#include <QPixmap>
#include <QScreen>
#include <QTimer>

#include <cstdio>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vorpex"));
    QApplication::setOrganizationName(QStringLiteral("Norveth"));

    QStringList given = QApplication::arguments();
    given.removeFirst();
    // The language is settled before the first text is shown, and `--lang` is not
    // one of the window's own arguments.
    const vpx::LanguageChoice language =
        vpx::ChooseLanguage(given, vpx::StoredLanguageSetting(vpx::SettingsKey()), QLocale::system().name());
    if (!language.error.isEmpty())
        std::fprintf(stderr, "%s\n", language.error.toLocal8Bit().constData());
    vpx::InstallTranslations(language.language);
    QStringList arguments = language.arguments;
    // Until the window exists, a failure has only an unparented box to show in.
    vpx::QtUserPrompts startUpPrompts(nullptr);
    const int status = vpx::RunProgram(startUpPrompts, [&arguments] {
        vpx::TfrmSimMain window(arguments);
        vpx::CloseOnTerminationSignals(window);
        window.show();

        // For the documentation and the start-up smoke test: save a picture of the
        // screen once the window has settled, then quit.
        const QString screenshot = qEnvironmentVariable("VORPEX_SCREENSHOT");
        if (!screenshot.isEmpty()) {
            QTimer::singleShot(1500, &window, [&window, screenshot] {
                const QPixmap shot = window.screen()->grabWindow(0, window.frameGeometry().x(),
                                                                window.frameGeometry().y(),
                                                                window.frameGeometry().width(),
                                                                window.frameGeometry().height());
                QApplication::exit(shot.save(screenshot) ? 0 : 1);
            });
        }
        return QApplication::exec();
    });
    // The translators go while the application they were installed into still exists.
    vpx::RemoveTranslations();
    return status;
}
