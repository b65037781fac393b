#include "shell/Language.h"

#include "platform/Registry.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <memory>
#include <vector>

namespace vpx {

namespace {

const QString kLanguageValue = QStringLiteral("Language");
const QString kLangOption = QStringLiteral("--lang");

UiLanguage g_current = UiLanguage::Japanese;
std::vector<std::unique_ptr<QTranslator>> g_translators;

bool Install(const QString& fileName, const QString& directory = {})
{
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(fileName, directory))
        return false;
    QCoreApplication::installTranslator(translator.get());
    g_translators.push_back(std::move(translator));
    return true;
}

} // namespace

QString LanguageCode(UiLanguage language)
{
    return language == UiLanguage::English ? QStringLiteral("en") : QStringLiteral("ja");
}

std::optional<UiLanguage> LanguageFromCode(const QString& code)
{
    if (code == QLatin1String("ja"))
        return UiLanguage::Japanese;
    if (code == QLatin1String("en"))
        return UiLanguage::English;
    return std::nullopt;
}

LanguageChoice ChooseLanguage(const QStringList& arguments, const QString& stored, const QString& localeName)
{
    LanguageChoice choice;
    std::optional<UiLanguage> asked;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& arg = arguments.at(i);
        std::optional<QString> value;
        if (arg == kLangOption) {
            if (i + 1 < arguments.size())
                value = arguments.at(++i);
            else
                value = QString();
        } else if (arg.startsWith(kLangOption + QLatin1Char('='))) {
            value = arg.mid(kLangOption.size() + 1);
        } else {
            choice.arguments.append(arg);
            continue;
        }
        if (const auto language = LanguageFromCode(*value))
            asked = language;
        else
            choice.error = QStringLiteral("vorpex: --lang takes ja or en, not \"%1\"").arg(*value);
    }
    if (asked)
        choice.language = *asked;
    else if (const auto fromSetting = LanguageFromCode(stored))
        choice.language = *fromSetting;
    else if (QLocale(localeName).language() == QLocale::English)
        choice.language = UiLanguage::English;
    return choice;
}

QString StoredLanguageSetting(const QString& key)
{
    const TRegistryIniFile ini(key);
    return ini.ReadString(QString(), kLanguageValue, QString());
}

void StoreLanguageSetting(const QString& key, const QString& code)
{
    TRegistryIniFile ini(key);
    ini.WriteString(QString(), kLanguageValue, code);
}

QString EnglishCatalogPath()
{
    return QStringLiteral(":/i18n/vorpex_en.qm");
}

bool InstallTranslations(UiLanguage language)
{
    RemoveTranslations();
    g_current = language;
    if (language == UiLanguage::English)
        return Install(EnglishCatalogPath());
    // Qt's Japanese texts come from the distribution's catalogue; without it the
    // dialogs stay in Qt's built-in English, which is no reason not to start.
    return Install(QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath));
}

void RemoveTranslations()
{
    for (const auto& translator : g_translators)
        QCoreApplication::removeTranslator(translator.get());
    g_translators.clear();
    g_current = UiLanguage::Japanese;
}

UiLanguage CurrentLanguage()
{
    return g_current;
}

} // namespace vpx
