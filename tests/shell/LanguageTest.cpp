#include "shell/Language.h"
#include "shell/LanguageMenu.h"
#include "shell/Main.h"
#include "shell/MainActions.h"
#include "shell/Settings.h"
#include "support/FakePrompts.h"
#include "support/TestSupport.h"

#include "platform/EngineText.h"
#include "platform/WinSock.h"
#include "shell/HelpViewer.h"
#include "library/PayloadPreview.h"
#include "transport/UDPErrs.h"
#include "shell/XPToolBarMenu.h"

#include <QAction>
#include <QCoreApplication>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QTextBrowser>
#include <QToolButton>

#include <gtest/gtest.h>

#include <memory>
#include <ostream>

namespace vpx::test {
namespace {

struct ChoiceCase {
    const char* name;
    QStringList arguments;
    QString stored;
    QString locale;
    UiLanguage expected;
    QStringList remaining;
    QString error;
};

void PrintTo(const ChoiceCase& c, std::ostream* os)
{
    *os << c.name;
}

class ChooseLanguageTest : public ::testing::TestWithParam<ChoiceCase> {};

TEST_P(ChooseLanguageTest, PicksTheLanguageAndTakesLangOut)
{
    const ChoiceCase& c = GetParam();
    const LanguageChoice choice = ChooseLanguage(c.arguments, c.stored, c.locale);
    EXPECT_EQ(choice.language, c.expected);
    EXPECT_EQ(choice.arguments, c.remaining);
    EXPECT_EQ(choice.error, c.error);
}

const QString ja = QStringLiteral("ja");
const QString en = QStringLiteral("en");
const QString none;
const QStringList noArgs;
const QStringList vpx = {QStringLiteral("/c"), QStringLiteral("a.vpx")};
QStringList Args(std::initializer_list<const char*> list)
{
    QStringList out;
    for (const char* a : list)
        out << QString::fromUtf8(a);
    return out;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ChooseLanguageTest,
    ::testing::Values(
        // The locale alone: English only for an English one; C and POSIX stay Japanese.
        ChoiceCase{"CLocale", noArgs, none, QStringLiteral("C"), UiLanguage::Japanese, noArgs, none},
        ChoiceCase{"PosixLocale", noArgs, none, QStringLiteral("POSIX"), UiLanguage::Japanese, noArgs, none},
        ChoiceCase{"JapaneseLocale", noArgs, none, QStringLiteral("ja_JP"), UiLanguage::Japanese, noArgs, none},
        ChoiceCase{"GermanLocale", noArgs, none, QStringLiteral("de_DE"), UiLanguage::Japanese, noArgs, none},
        ChoiceCase{"BritishLocale", noArgs, none, QStringLiteral("en_GB"), UiLanguage::English, noArgs, none},
        ChoiceCase{"AmericanLocale", noArgs, none, QStringLiteral("en_US"), UiLanguage::English, noArgs, none},
        // The stored choice beats the locale; an unknown stored value counts as unset.
        ChoiceCase{"StoredJaOverEnglishLocale", noArgs, ja, QStringLiteral("en_US"), UiLanguage::Japanese, noArgs,
                   none},
        ChoiceCase{"StoredEnOverCLocale", noArgs, en, QStringLiteral("C"), UiLanguage::English, noArgs, none},
        ChoiceCase{"StoredGarbage", noArgs, QStringLiteral("fr"), QStringLiteral("C"), UiLanguage::Japanese, noArgs,
                   none},
        // --lang beats both, in either spelling, and leaves the other arguments in order.
        ChoiceCase{"LangEn", Args({"/c", "a.vpx", "--lang", "en"}), ja, QStringLiteral("ja_JP"),
                   UiLanguage::English, vpx, none},
        ChoiceCase{"LangJaFirst", Args({"--lang", "ja", "/c", "a.vpx"}), en, QStringLiteral("en_US"),
                   UiLanguage::Japanese, vpx, none},
        ChoiceCase{"LangEquals", Args({"--lang=en"}), none, QStringLiteral("C"), UiLanguage::English, noArgs, none},
        ChoiceCase{"LastLangWins", Args({"--lang", "en", "--lang", "ja"}), none, QStringLiteral("C"),
                   UiLanguage::Japanese, noArgs, none},
        // A bad --lang is reported and falls back to the setting and the locale.
        ChoiceCase{"LangUnknown", Args({"--lang", "fr", "/c", "a.vpx"}), en, QStringLiteral("C"),
                   UiLanguage::English, vpx, QStringLiteral("vorpex: --lang takes ja or en, not \"fr\"")},
        ChoiceCase{"LangWithoutValue", Args({"/c", "a.vpx", "--lang"}), none, QStringLiteral("C"),
                   UiLanguage::Japanese, vpx, QStringLiteral("vorpex: --lang takes ja or en, not \"\"")}),
    [](const ::testing::TestParamInfo<ChoiceCase>& info) { return std::string(info.param.name); });

// Every test leaves the texts Japanese, as the other suites expect them.
class TranslatedWindowTest : public TempConfigTest {
protected:
    void TearDown() override
    {
        m_window.reset();
        RemoveTranslations();
        TempConfigTest::TearDown();
    }
    TfrmSimMain& Start()
    {
        m_window = std::make_unique<TfrmSimMain>(QStringList(), &prompts);
        return *m_window;
    }
    static QStringList MenuCaptions(TfrmSimMain& w)
    {
        QStringList captions;
        for (QAction* a : w.toolMenu->actions())
            captions << a->text();
        return captions;
    }
    FakePrompts prompts;
    std::unique_ptr<TfrmSimMain> m_window;
};

TEST_F(TranslatedWindowTest, EnglishWindowShowsEnglishEverywhereItLooks)
{
    ASSERT_TRUE(InstallTranslations(UiLanguage::English));
    EXPECT_EQ(CurrentLanguage(), UiLanguage::English);
    TfrmSimMain& w = Start();
    EXPECT_EQ(MenuCaptions(w), Args({"&File", "&Auto-reply", "&Search", "&Command", "&View", "&Options", "&Help"}));
    EXPECT_EQ(w.Actions()->ActionSaveAs->text(), QStringLiteral("Save &As..."));
    EXPECT_EQ(w.Actions()->ActionSaveAs->toolTip(), QStringLiteral("Save As"));
    EXPECT_EQ(w.Actions()->ActionSaveAs->statusTip(), QStringLiteral("Saves the command file under a new name"));
    EXPECT_EQ(w.pnlSelected->text(), QStringLiteral("Nothing selected"));
    EXPECT_EQ(w.pnlAutoReturnTitle->text(), QStringLiteral("Auto-reply data"));
    EXPECT_EQ(w.LanguageMenu().Menu()->title(), QStringLiteral("Lan&guage"));

    THelpViewer help;
    EXPECT_EQ(help.windowTitle(), QStringLiteral("Vorpex Help"));
    EXPECT_TRUE(help.Browser()->toPlainText().contains(QStringLiteral("Command notation")));
}

TEST_F(TranslatedWindowTest, JapaneseWindowKeepsTheSourceTextsAndQtSpeaksJapanese)
{
    ASSERT_TRUE(InstallTranslations(UiLanguage::Japanese));
    TfrmSimMain& w = Start();
    EXPECT_EQ(MenuCaptions(w).constFirst(), QStringLiteral("ファイル(&F)"));
    EXPECT_EQ(w.Actions()->ActionSaveAs->text(), QStringLiteral("名前を付けて保存(&A)..."));
    // Qt's own buttons, as a question box shows them.
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("キャンセル"));
    THelpViewer help;
    EXPECT_EQ(help.windowTitle(), QStringLiteral("Vorpex ヘルプ"));
    EXPECT_TRUE(help.Browser()->toPlainText().contains(QStringLiteral("コマンドの書式")));

    // English afterwards takes Qt's Japanese out again.
    ASSERT_TRUE(InstallTranslations(UiLanguage::English));
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Cancel"));
}

TEST_F(TranslatedWindowTest, EveryHelpKeywordLeadsToAnAnchorOfItsPage)
{
    for (const char* folder : {":/help/", ":/help/en/"}) {
        QFile page(QString::fromLatin1(folder) + QStringLiteral("vorpex.html"));
        QFile index(QString::fromLatin1(folder) + QStringLiteral("keywords.txt"));
        THelpViewer init; // registers the resources
        ASSERT_TRUE(page.open(QIODevice::ReadOnly)) << folder;
        ASSERT_TRUE(index.open(QIODevice::ReadOnly)) << folder;
        const QString html = QString::fromUtf8(page.readAll());
        const QList<HelpKeyword> keywords = ParseHelpKeywords(QString::fromUtf8(index.readAll()));
        EXPECT_GT(keywords.size(), 20) << folder;
        for (const HelpKeyword& k : keywords)
            EXPECT_TRUE(html.contains(QStringLiteral("name=\"%1\"").arg(k.anchor)))
                << folder << " " << k.keyword.toStdString() << " -> " << k.anchor.toStdString();
    }
}

TEST_F(TranslatedWindowTest, OptionsMenuChoiceIsKeptForTheNextStartAndSaidSo)
{
    TfrmSimMain& w = Start();
    TLanguageMenu& menu = w.LanguageMenu();
    EXPECT_TRUE(menu.ActionSystem()->isChecked());

    menu.ActionEnglish()->trigger();
    EXPECT_TRUE(menu.ActionEnglish()->isChecked());
    EXPECT_FALSE(menu.ActionSystem()->isChecked());
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].text, QStringLiteral("表示言語の変更は次回の起動時に有効になります。"));
    EXPECT_EQ(CurrentLanguage(), UiLanguage::Japanese); // nothing changes before the restart

    menu.ActionEnglish()->trigger(); // the same choice again says nothing
    EXPECT_EQ(prompts.messages.size(), 1u);

    w.close(); // saves the settings
    m_window.reset();
    EXPECT_EQ(StoredLanguageSetting(SettingsKey()), QStringLiteral("en"));

    // The next window shows the stored choice, and "follow the system" stores "".
    TfrmSimMain& next = Start();
    EXPECT_TRUE(next.LanguageMenu().ActionEnglish()->isChecked());
    next.LanguageMenu().ActionSystem()->trigger();
    next.close();
    m_window.reset();
    EXPECT_EQ(StoredLanguageSetting(SettingsKey()), QString());
}

// The engine keeps its Japanese; the window shows it line by line in English.
TEST_F(TranslatedWindowTest, SocketErrorsAreShownInTheInterfaceLanguage)
{
    const auto shown = [](const std::string& message) {
        return ShownEngineMessage(QString::fromStdString(message), "UDPErrs").toStdString();
    };
    const std::string inUse = SocketErrorMessage("bind", ws::WSAEADDRINUSE);
    const std::string undefined = SocketErrorMessage("bind", 99999);
    EXPECT_EQ(shown(inUse), inUse); // no catalogue: as the engine wrote it

    ASSERT_TRUE(InstallTranslations(UiLanguage::English));
    EXPECT_EQ(shown(inUse), "An error occurred while binding the socket.\r\nThe address given is already in use.");
    EXPECT_EQ(shown(undefined), "An error occurred while binding the socket.\r\nUndefined error (99999).");
    EXPECT_EQ(shown(SSockAlreadyOpen), "The socket is already open");
    EXPECT_EQ(shown("not from the engine 7\r\n"), "not from the engine 7\r\n");
    EXPECT_EQ(inUse, SocketErrorMessage("bind", ws::WSAEADDRINUSE)); // the engine's text is untouched
}

// The preview's texts go through a helper taking a pointer, where lupdate sees
// nothing unless each text is marked: every reason, the byte count and the
// socket-option errors must reach the English catalogue.
TEST_F(TranslatedWindowTest, PreviewReasonsAndSocketOptionErrorsHaveEnglish)
{
    ASSERT_TRUE(InstallTranslations(UiLanguage::English));
    const struct {
        CompileFault fault;
        const char* english;
    } reasons[] = {
        {CompileFault::EmptyToken, "Nothing between the commas"},
        {CompileFault::TextAfterQuote, "Characters after the closing quote"},
        {CompileFault::UnknownKeyword, "Unknown keyword"},
        {CompileFault::BadNumber, "Not a number, or out of range"},
        {CompileFault::WildcardNotAllowed, "Wildcards are allowed only in comparison data"},
        {CompileFault::WildcardInRange, "No wildcards inside a length, XOR, sum or CRC range"},
        {CompileFault::CrcParenthesis, "%CRCE needs (algorithm name) after it"},
        {CompileFault::UnknownCrc, "Unknown CRC algorithm name"},
        {CompileFault::BadCaptureName,
         "A name is letters, digits and _, beginning with a letter (in a reply +1 or -1 may follow it)"},
        {CompileFault::DuplicateCaptureName, "The same name is captured twice"},
        {CompileFault::UnknownCaptureName, "The comparison data captures no such name"},
        {CompileFault::CaptureHasNoValue, "Bytes captured with * cannot be written as a number"},
        {CompileFault::FaultKeywordPlace, "%DELAY, %DROP and %DUP go at the start of a reply, once each"},
        {CompileFault::FaultKeywordValue,
         "%DELAY(ms), %DROP(0-100) or %DUP(1-100) lacks its number or it is out of range"},
    };
    for (const auto& r : reasons)
        EXPECT_EQ(CompileFaultReason(r.fault), QString::fromUtf8(r.english)) << r.english;

    const PayloadPreview refused = DescribePayload(false, 0, "01,,02");
    EXPECT_TRUE(refused.Text.startsWith(QStringLiteral("Character "))) << refused.Text.toStdString();
    EXPECT_TRUE(refused.Text.endsWith(QStringLiteral(": Nothing between the commas"))) << refused.Text.toStdString();
    const PayloadPreview many = DescribePayload(true, 0, std::string(100, 'A'));
    EXPECT_EQ(many.Text, QString(64, QLatin1Char('A')) + QStringLiteral(" … (100 bytes)"));

    const auto shown = [](int error) {
        return ShownEngineMessage(QString::fromStdString(SocketErrorMessage("setsockopt", error)), "UDPErrs")
            .toStdString();
    };
    EXPECT_EQ(shown(ws::WSAEADDRNOTAVAIL), "An error occurred while setting or getting a socket parameter.\r\n"
                                           "The address given is not on an interface of this machine.");
    EXPECT_EQ(shown(ws::WSAENOPROTOOPT), "An error occurred while setting or getting a socket parameter.\r\n"
                                         "The option cannot be used with this socket.");
}

TEST(LanguageMenuTest, UnknownStoredValueShowsFollowTheSystem)
{
    QMenu options;
    FakePrompts prompts;
    TLanguageMenu menu(options, prompts);
    menu.SetSetting(QStringLiteral("ja"));
    EXPECT_TRUE(menu.ActionJapanese()->isChecked());
    menu.SetSetting(QStringLiteral("klingon"));
    EXPECT_TRUE(menu.ActionSystem()->isChecked());
    EXPECT_EQ(menu.Setting(), QString());
    EXPECT_TRUE(prompts.messages.empty());
}

} // namespace
} // namespace vpx::test
