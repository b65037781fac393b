#include "shell/LanguageMenu.h"

#include "platform/UserPrompts.h"
#include "shell/Language.h"

#include <QAction>
#include <QActionGroup>
#include <QCoreApplication>
#include <QMenu>

namespace vpx {

TLanguageMenu::TLanguageMenu(QMenu& menu, UserPrompts& prompts, QObject* parent)
    : QObject(parent), m_prompts(prompts)
{
    m_menu = menu.addMenu(QCoreApplication::translate("LanguageMenu", "表示言語(&G)"));
    m_menu->setObjectName(QStringLiteral("mnuLanguage"));
    m_group = new QActionGroup(this);
    const auto entry = [this](const QString& caption, const char* name, const QString& code) {
        QAction* action = m_menu->addAction(caption);
        action->setObjectName(QString::fromLatin1(name));
        action->setCheckable(true);
        m_group->addAction(action);
        connect(action, &QAction::triggered, this, [this, code] { Chosen(code); });
        return action;
    };
    m_system = entry(QCoreApplication::translate("LanguageMenu", "システムの設定に合わせる(&S)"), "ActionLanguageSystem", QString());
    // Each language by its own name, so that it can be found whatever is shown now.
    m_japanese = entry(QStringLiteral("日本語(&J)"), "ActionLanguageJapanese", LanguageCode(UiLanguage::Japanese));
    m_english = entry(QStringLiteral("English(&E)"), "ActionLanguageEnglish", LanguageCode(UiLanguage::English));
    m_system->setChecked(true);
}

QString TLanguageMenu::Setting() const
{
    return m_setting;
}

void TLanguageMenu::SetSetting(const QString& code)
{
    const auto language = LanguageFromCode(code);
    m_setting = language ? code : QString();
    QAction* action = !language ? m_system : (*language == UiLanguage::English ? m_english : m_japanese);
    action->setChecked(true);
}

void TLanguageMenu::Chosen(const QString& code)
{
    if (code == m_setting)
        return;
    m_setting = code;
    m_prompts.Message(QCoreApplication::translate("LanguageMenu", "表示言語の変更は次回の起動時に有効になります。"), QStringLiteral("Vorpex"),
                      static_cast<int>(PromptButton::Ok), PromptIcon::Information);
}

} // namespace vpx
