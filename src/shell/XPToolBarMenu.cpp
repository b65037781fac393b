#include "shell/XPToolBarMenu.h"

#include <QAction>
#include <QActionEvent>
#include <QChildEvent>
#include <QMenu>
#include <QPainter>
#include <QToolButton>

namespace vpx {

TXPToolBarMenu::TXPToolBarMenu(QWidget* parent) : TXPToolBar(parent)
{
    setToolButtonStyle(Qt::ToolButtonTextOnly);
    setMovable(false);
    setFloatable(false);
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
    return button->isDown() || (button->isEnabled() && button->underMouse());
}

void TXPToolBarMenu::PaintMenuButton(QPainter& painter, const QToolButton* button)
{
    const QRect r = button->rect();
    const QPalette& p = button->palette();
    painter.fillRect(r, p.color(QPalette::Active, QPalette::Highlight));
    painter.setPen(p.color(QPalette::Active, QPalette::HighlightedText));
    painter.setBackgroundMode(Qt::TransparentMode);
    painter.setFont(button->font());
    painter.drawText(r.adjusted(0, 2, 0, 0), Qt::AlignCenter | Qt::TextSingleLine | Qt::TextShowMnemonic,
                     button->text());
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
        if (button && DrawsButton(button)) {
            QPainter painter(button);
            PaintMenuButton(painter, button);
            return true;
        }
    }
    return TXPToolBar::eventFilter(watched, event);
}

} // namespace vpx
