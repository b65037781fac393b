#pragma once

// The options menu's choice of interface language: follow the system, Japanese or
// English, one radio group. The window's texts are built once, so a new choice is
// kept in the settings at exit and takes effect at the next start; the user is
// told so when the choice changes.

#include <QObject>
#include <QString>

class QAction;
class QActionGroup;
class QMenu;

namespace vpx {

class UserPrompts;

class TLanguageMenu : public QObject {
    Q_OBJECT
public:
    // Adds the submenu to `menu`; starts at "follow the system".
    TLanguageMenu(QMenu& menu, UserPrompts& prompts, QObject* parent = nullptr);

    QMenu* Menu() const noexcept { return m_menu; }
    QAction* ActionSystem() const noexcept { return m_system; }
    QAction* ActionJapanese() const noexcept { return m_japanese; }
    QAction* ActionEnglish() const noexcept { return m_english; }

    // "" (follow the system), "ja" or "en".
    QString Setting() const;
    // Checks the matching entry without a word to the user; anything unknown is "".
    void SetSetting(const QString& code);

private:
    void Chosen(const QString& code);

    UserPrompts& m_prompts;
    QMenu* m_menu;
    QActionGroup* m_group;
    QAction* m_system;
    QAction* m_japanese;
    QAction* m_english;
    QString m_setting;
};

} // namespace vpx
