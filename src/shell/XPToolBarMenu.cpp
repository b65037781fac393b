#include "shell/XPToolBarMenu.h"

#include "shell/MenuBarKeys.h"

#include <QAction>
#include <QActionEvent>
#include <QChildEvent>
#include <QMenu>
#include <QPainter>
#include <QStyle>
#include <QToolButton>

namespace vpx {

TXPToolBarMenu::TXPToolBarMenu(QWidget* parent) : TXPToolBar(parent), m_keys(new TMenuBarKeys(*this))
{
    setToolButtonStyle(Qt::ToolButtonTextOnly);
    setMovable(false);
    setFloatable(false);
}

TMenuBarKeys& TXPToolBarMenu::Keys() const
{
    return *m_keys;
}

namespace {

bool HasMenu(const QToolButton* button)
{
    return button->menu() || (button->defaultAction() && button->defaultAction()->menu());
}

} // namespace

bool TXPToolBarMenu::DrawsButton(const QToolButton* button) const
{
    if (!button || button->parentWidget() != this || toolButtonStyle() == Qt::ToolButtonIconOnly)
        return false;
    if (!button->autoRaise() || button->isCheckable() || !HasMenu(button))
        return false;
    return button->isDown() || (button->isEnabled() && button->underMouse()) ||
           (button->hasFocus() && m_keys && m_keys->Navigating());
}

void TXPToolBarMenu::PaintMenuButton(QPainter& painter, const QToolButton* button)
{
    PaintMenuButton(painter, button, button->text());
}

void TXPToolBarMenu::PaintMenuButton(QPainter& painter, const QToolButton* button, const QString& text)
{
    const QRect r = button->rect();
    const QPalette& p = button->palette();
    painter.fillRect(r, p.color(QPalette::Active, QPalette::Highlight));
    painter.setPen(p.color(QPalette::Active, QPalette::HighlightedText));
    painter.setBackgroundMode(Qt::TransparentMode);
    painter.setFont(button->font());
    painter.drawText(r.adjusted(0, 2, 0, 0), Qt::AlignCenter | Qt::TextSingleLine | Qt::TextShowMnemonic, text);
}

void TXPToolBarMenu::actionEvent(QActionEvent* event)
{
    TXPToolBar::actionEvent(event);
    // A menu title opens its menu on the first press, as in a menu bar.
    if (event->type() == QEvent::ActionAdded || event->type() == QEvent::ActionChanged) {
        if (auto* button = qobject_cast<QToolButton*>(widgetForAction(event->action())))
            if (event->action()->menu())
                button->setPopupMode(QToolButton::InstantPopup);
    }
    if (m_keys)
        m_keys->SyncShortcuts();
}

void TXPToolBarMenu::childEvent(QChildEvent* event)
{
    TXPToolBar::childEvent(event);
    if (event->added() && event->child()->isWidgetType())
        event->child()->installEventFilter(this);
}

bool TXPToolBarMenu::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Paint) {
        auto* button = qobject_cast<QToolButton*>(watched);
        // The button's own text has its "&" taken out; the caption's keeps it.
        const bool mnemonic = m_keys && m_keys->ShowsMnemonics() && m_keys->Captions().contains(button);
        if (button && DrawsButton(button)) {
            QPainter painter(button);
            PaintMenuButton(painter, button, mnemonic ? TMenuBarKeys::CaptionText(button) : button->text());
            return true;
        }
        if (mnemonic) {
            // Drawn where the style draws an idle caption, with the mnemonic underlined.
            QPainter painter(button);
            QPalette palette = button->palette();
            palette.setCurrentColorGroup(!button->isEnabled()       ? QPalette::Disabled
                                         : button->isActiveWindow() ? QPalette::Active
                                                                    : QPalette::Inactive);
            button->style()->drawItemText(&painter, button->rect(), Qt::AlignCenter | Qt::TextShowMnemonic,
                                          palette, button->isEnabled(), TMenuBarKeys::CaptionText(button),
                                          QPalette::ButtonText);
            return true;
        }
    }
    return TXPToolBar::eventFilter(watched, event);
}

} // namespace vpx
