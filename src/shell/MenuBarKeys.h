#pragma once

// The keyboard side of the menu-like tool bar, so that it is driven as a menu bar
// is: Alt and a caption's mnemonic letter opens that caption's menu; F10 or a lone
// Alt press and release puts the focus on the first caption, where Left and Right
// step between captions and Down, Up, Return or Space opens the menu; in an open
// menu Left and Right move to the neighbouring caption's menu; Esc closes and gives
// the focus back to the control that had it. While Alt is held, or while a caption
// has the focus, the captions show their mnemonic underlined.
//
// The mouse is left alone: a click on a caption opens its menu as before.

#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>

class QAction;
class QMenu;
class QShortcut;
class QToolBar;
class QToolButton;
class QWidget;

namespace vpx {

class TMenuBarKeys : public QObject {
    Q_OBJECT

public:
    explicit TMenuBarKeys(QToolBar& bar);
    ~TMenuBarKeys() override;

    // The caption buttons: a plain (not checkable) button with a menu, in bar order.
    QList<QToolButton*> Captions() const;
    // The caption's text with its "&" kept, for drawing the mnemonic.
    static QString CaptionText(const QToolButton* caption);
    bool ShowsMnemonics() const { return m_altHeld || m_navigating; }
    // Whether a caption has the keyboard focus (after F10 or a lone Alt).
    bool Navigating() const { return m_navigating; }

    // Called by the bar whenever its actions change: keeps one Alt+letter
    // shortcut per caption, on the caption's current mnemonic.
    void SyncShortcuts();

    // Opens the menu of caption `index` with its first item active; returns once
    // the menus are closed, having followed Left and Right to neighbouring menus.
    void OpenMenu(int index);
    // Puts the focus on caption `index`, remembering where it was.
    void FocusCaption(int index);
    // Leaves caption navigation and gives the focus back where it was.
    void Leave();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool InOurWindow(QObject* watched) const;
    int IndexOf(const QToolButton* caption) const;
    int IndexOfMenu(const QMenu* menu) const;
    // The next enabled caption from `index` in direction `step`, wrapping; -1 if none.
    int Neighbour(int index, int step) const;
    void RememberFocus();
    void SetAltHeld(bool held);
    bool CaptionKey(QToolButton* caption, int key, Qt::KeyboardModifiers modifiers);
    bool MenuKey(QMenu* menu, int key);
    void SelectFirstItem(QMenu* menu);
    void Repaint();

    QToolBar& m_bar;
    QShortcut* m_f10 = nullptr;
    QHash<QAction*, QShortcut*> m_shortcuts;
    QPointer<QWidget> m_returnFocus;
    bool m_altHeld = false;
    bool m_altAlone = false;   // Alt is down and nothing else was pressed since
    bool m_navigating = false; // a caption has the focus
    bool m_inMenuLoop = false; // OpenMenu is running
    bool m_selectFirst = false;
    int m_openIndex = -1;      // the caption whose menu is open
    int m_switchTo = -1;       // the caption whose menu opens once the open one has closed
};

} // namespace vpx
