#include "shell/MenuBarKeys.h"

#include <QAction>
#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QShortcut>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

namespace vpx {

namespace {

QMenu* MenuOf(const QToolButton* button)
{
    if (button->menu())
        return button->menu();
    return button->defaultAction() ? button->defaultAction()->menu() : nullptr;
}

// The key of a caption's mnemonic, Qt::Key_unknown when it has none.
int MnemonicKey(const QString& text)
{
    const QKeySequence sequence = QKeySequence::mnemonic(text);
    return sequence.isEmpty() ? int(Qt::Key_unknown) : int(sequence[0].key());
}

void CloseOpenMenus()
{
    // Closing the innermost first; each close ends that menu's loop.
    while (QWidget* popup = QApplication::activePopupWidget())
        popup->close();
}

} // namespace

TMenuBarKeys::TMenuBarKeys(QToolBar& bar) : QObject(&bar), m_bar(bar)
{
    m_f10 = new QShortcut(QKeySequence(Qt::Key_F10), &m_bar);
    connect(m_f10, &QShortcut::activated, this, [this] {
        m_altAlone = false;
        if (m_navigating)
            Leave();
        else
            FocusCaption(Neighbour(-1, 1));
    });
    // Alt and the other keys are seen before any control of the window acts on them.
    qApp->installEventFilter(this);
}

TMenuBarKeys::~TMenuBarKeys()
{
    qApp->removeEventFilter(this);
}

QList<QToolButton*> TMenuBarKeys::Captions() const
{
    QList<QToolButton*> captions;
    for (QAction* action : m_bar.actions()) {
        auto* button = qobject_cast<QToolButton*>(m_bar.widgetForAction(action));
        if (button && !action->isCheckable() && action->menu() && action->isVisible())
            captions << button;
    }
    return captions;
}

QString TMenuBarKeys::CaptionText(const QToolButton* caption)
{
    return caption->defaultAction() ? caption->defaultAction()->text() : caption->text();
}

void TMenuBarKeys::SyncShortcuts()
{
    QHash<QAction*, QShortcut*> kept;
    for (QToolButton* caption : Captions()) {
        QAction* action = caption->defaultAction();
        if (!action)
            continue;
        QShortcut* shortcut = m_shortcuts.take(action);
        if (!shortcut) {
            shortcut = new QShortcut(&m_bar);
            connect(shortcut, &QShortcut::activated, this, [this, action] {
                m_altAlone = false;
                for (QToolButton* c : Captions())
                    if (c->defaultAction() == action && c->isEnabled())
                        OpenMenu(IndexOf(c));
            });
        }
        shortcut->setKey(QKeySequence::mnemonic(action->text()));
        kept.insert(action, shortcut);
    }
    qDeleteAll(m_shortcuts); // captions that went away
    m_shortcuts = kept;
}

int TMenuBarKeys::IndexOf(const QToolButton* caption) const
{
    return int(Captions().indexOf(const_cast<QToolButton*>(caption)));
}

int TMenuBarKeys::IndexOfMenu(const QMenu* menu) const
{
    const QList<QToolButton*> captions = Captions();
    for (int i = 0; i < captions.size(); ++i)
        if (MenuOf(captions[i]) == menu)
            return i;
    return -1;
}

int TMenuBarKeys::Neighbour(int index, int step) const
{
    const QList<QToolButton*> captions = Captions();
    const int count = int(captions.size());
    for (int n = 1; n <= count; ++n) {
        const int i = ((index + step * n) % count + count) % count;
        if (captions[i]->isEnabled())
            return i;
    }
    return -1;
}

bool TMenuBarKeys::InOurWindow(QObject* watched) const
{
    auto* widget = qobject_cast<QWidget*>(watched);
    return widget && widget->window() == m_bar.window() && m_bar.isVisible();
}

void TMenuBarKeys::RememberFocus()
{
    QWidget* focus = QApplication::focusWidget();
    if (focus && IndexOf(qobject_cast<QToolButton*>(focus)) < 0 && focus->window() == m_bar.window())
        m_returnFocus = focus;
}

void TMenuBarKeys::SetAltHeld(bool held)
{
    if (m_altHeld == held)
        return;
    m_altHeld = held;
    Repaint();
}

void TMenuBarKeys::Repaint()
{
    for (QToolButton* caption : Captions())
        caption->update();
}

void TMenuBarKeys::FocusCaption(int index)
{
    const QList<QToolButton*> captions = Captions();
    if (index < 0 || index >= captions.size())
        return;
    if (!m_navigating)
        RememberFocus();
    m_navigating = true;
    captions[index]->setFocus(Qt::MenuBarFocusReason);
    Repaint();
}

void TMenuBarKeys::Leave()
{
    const bool captionHasFocus = IndexOf(qobject_cast<QToolButton*>(QApplication::focusWidget())) >= 0;
    m_navigating = false;
    if (m_returnFocus && (captionHasFocus || !QApplication::focusWidget()))
        m_returnFocus->setFocus(Qt::MenuBarFocusReason);
    else if (captionHasFocus)
        QApplication::focusWidget()->clearFocus();
    m_returnFocus = nullptr;
    Repaint();
}

void TMenuBarKeys::OpenMenu(int index)
{
    const QList<QToolButton*> captions = Captions();
    if (index < 0 || index >= captions.size() || !captions[index]->isEnabled())
        return;
    if (m_inMenuLoop) {
        m_switchTo = index;
        CloseOpenMenus();
        return;
    }
    if (!m_navigating)
        RememberFocus();
    m_inMenuLoop = true;
    const QPointer<TMenuBarKeys> alive(this); // a command may take the window down
    int next = index;
    while (next >= 0) {
        const QList<QToolButton*> now = Captions();
        if (next >= now.size())
            break;
        m_switchTo = -1;
        m_selectFirst = true;
        now[next]->showMenu(); // runs until the menu closes
        if (!alive)
            return;
        next = m_switchTo;
    }
    m_inMenuLoop = false;
    m_selectFirst = false;
    Leave();
}

void TMenuBarKeys::SelectFirstItem(QMenu* menu)
{
    // As the Down key does in a menu with nothing active: the first item lights up,
    // and a submenu there stays closed until asked for.
    if (menu->isVisible() && !menu->activeAction()) {
        QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
        QCoreApplication::sendEvent(menu, &down);
    }
}

bool TMenuBarKeys::CaptionKey(QToolButton* caption, int key, Qt::KeyboardModifiers modifiers)
{
    const int index = IndexOf(caption);
    switch (key) {
    case Qt::Key_Left:
    case Qt::Key_Right:
        FocusCaption(Neighbour(index, key == Qt::Key_Left ? -1 : 1));
        return true;
    case Qt::Key_Down:
    case Qt::Key_Up:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        OpenMenu(index);
        return true;
    case Qt::Key_Escape:
        Leave();
        return true;
    default:
        break;
    }
    // A caption's letter opens it, as Alt and the letter would.
    if (!(modifiers & (Qt::ControlModifier | Qt::MetaModifier))) {
        const QList<QToolButton*> captions = Captions();
        for (int i = 0; i < captions.size(); ++i)
            if (captions[i]->isEnabled() && MnemonicKey(CaptionText(captions[i])) == key) {
                OpenMenu(i);
                return true;
            }
    }
    return key != Qt::Key_Tab && key != Qt::Key_Backtab;
}

bool TMenuBarKeys::MenuKey(QMenu* menu, int key)
{
    if (m_openIndex < 0)
        return false;
    const bool topMenu = IndexOfMenu(menu) >= 0;
    if (key == Qt::Key_Left && !topMenu)
        return false; // closes the submenu
    if (key == Qt::Key_Right) {
        QAction* active = menu->activeAction();
        if (active && active->menu() && active->isEnabled())
            return false; // opens the submenu
    }
    if (key != Qt::Key_Left && key != Qt::Key_Right)
        return false;
    const int target = Neighbour(m_openIndex, key == Qt::Key_Left ? -1 : 1);
    if (target < 0 || target == m_openIndex)
        return true;
    if (m_inMenuLoop) {
        m_switchTo = target;
        CloseOpenMenus();
    } else {
        // A menu opened by the mouse: its loop ends with the close, then the
        // neighbour opens as from the keyboard.
        CloseOpenMenus();
        QTimer::singleShot(0, this, [this, target] { OpenMenu(target); });
    }
    return true;
}

bool TMenuBarKeys::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::Show:
        if (auto* menu = qobject_cast<QMenu*>(watched); menu && IndexOfMenu(menu) >= 0) {
            m_openIndex = IndexOfMenu(menu);
            if (m_selectFirst) {
                m_selectFirst = false;
                // Once the menu has settled, as a menu bar does for a menu opened by key.
                QTimer::singleShot(0, menu, [this, menu] { SelectFirstItem(menu); });
            }
        }
        break;
    case QEvent::KeyPress: {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Alt) {
            // Seen again as the press travels up to the parents: only the first counts.
            if (InOurWindow(watched) && !key->isAutoRepeat() && !m_altHeld) {
                m_altAlone = true;
                SetAltHeld(true);
            }
            break;
        }
        m_altAlone = false;
        if (auto* menu = qobject_cast<QMenu*>(watched))
            return MenuKey(menu, key->key());
        auto* caption = qobject_cast<QToolButton*>(watched);
        if (m_navigating && caption && IndexOf(caption) >= 0 && caption->hasFocus())
            return CaptionKey(caption, key->key(), key->modifiers());
        break;
    }
    case QEvent::ShortcutOverride:
        if (static_cast<QKeyEvent*>(event)->key() != Qt::Key_Alt)
            m_altAlone = false;
        break;
    case QEvent::KeyRelease: {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() != Qt::Key_Alt || key->isAutoRepeat())
            break;
        const bool alone = m_altAlone && InOurWindow(watched) && !QApplication::activePopupWidget();
        m_altAlone = false;
        SetAltHeld(false);
        if (alone) {
            if (m_navigating)
                Leave();
            else
                FocusCaption(Neighbour(-1, 1));
        }
        break;
    }
    case QEvent::MouseButtonPress:
        m_altAlone = false;
        break;
    case QEvent::FocusOut: {
        auto* caption = qobject_cast<QToolButton*>(watched);
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        if (m_navigating && caption && IndexOf(caption) >= 0 && reason != Qt::PopupFocusReason &&
            reason != Qt::MenuBarFocusReason && !m_inMenuLoop) {
            // Clicked away: navigation ends where the user went.
            m_navigating = false;
            m_returnFocus = nullptr;
            Repaint();
        }
        break;
    }
    case QEvent::WindowDeactivate:
        if (watched == m_bar.window())
            SetAltHeld(false);
        break;
    default:
        break;
    }
    return false;
}

} // namespace vpx
