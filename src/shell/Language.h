#pragma once

// The interface language. The texts in the sources are Japanese and stay the
// default; English comes from translations/vorpex_en.ts, compiled into the
// program. Which one a run uses is settled once, before the first widget exists:
// `--lang ja|en` on the command line, else the choice stored from the options
// menu, else the locale (English for an en_* locale, Japanese for everything
// else, C and POSIX included). Qt's own texts (file dialogs, the buttons of a
// question) follow: its Japanese catalogue is loaded for Japanese, nothing for
// English, where Qt's built-in texts already are English.

#include <QString>
#include <QStringList>

#include <optional>

namespace vpx {

enum class UiLanguage { Japanese, English };

// "ja" / "en", as on the command line and in the settings.
QString LanguageCode(UiLanguage language);
std::optional<UiLanguage> LanguageFromCode(const QString& code);

struct LanguageChoice {
    UiLanguage language = UiLanguage::Japanese;
    QStringList arguments; // the arguments with every `--lang X` taken out
    QString error;         // a `--lang` without a known language, for the terminal
};

// `stored` is the settings value ("", "ja" or "en"; anything else counts as
// unset), `localeName` a locale name such as "en_GB", "ja_JP" or "C". The last
// `--lang` wins; one without a known value is dropped with an error text and
// the choice falls back to the setting and the locale.
LanguageChoice ChooseLanguage(const QStringList& arguments, const QString& stored, const QString& localeName);

// The "Language" value in the program's key: "" follows the locale.
QString StoredLanguageSetting(const QString& key);
void StoreLanguageSetting(const QString& key, const QString& code);

// Installs the program's translation and Qt's own for `language` into the
// running application (a QCoreApplication must exist) and remembers the
// language for CurrentLanguage(). Returns false when a catalogue that should
// exist could not be loaded; the texts then stay as they are in the sources.
bool InstallTranslations(UiLanguage language);
// Takes the translators InstallTranslations put in out again (tests switch back).
void RemoveTranslations();

// The language the texts are shown in: Japanese until InstallTranslations.
UiLanguage CurrentLanguage();

// The compiled English catalogue inside the program.
QString EnglishCatalogPath(); // ":/i18n/vorpex_en.qm"

} // namespace vpx
