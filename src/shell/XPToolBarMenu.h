#pragma once

// A tool bar that looks like a menu bar: its caption buttons that open a menu
// light up in the highlight colour while hot, pressed or focused from the keyboard,
// like menu titles do, and it is driven from the keyboard as a menu bar is.

#include <QPointer>
#include <QToolBar>

class QToolButton;

namespace vpx {

class TMenuBarKeys;

// The plain tool bar the menu-like one builds on; it adds nothing.
class TXPToolBar : public QToolBar {
    Q_OBJECT

public:
    using QToolBar::QToolBar;
};

class TXPToolBarMenu : public TXPToolBar {
    Q_OBJECT

public:
    explicit TXPToolBarMenu(QWidget* parent = nullptr);

    // Whether `button` of this bar is drawn by the bar rather than as usual: the
    // bar shows captions, and the button is a plain (not checkable) button with a
    // menu that is hot, pressed or has the keyboard focus.
    bool DrawsButton(const QToolButton* button) const;

    // Draws a button the way the bar does: highlight fill, caption centred on one
    // line in the highlight-text colour, lowered by 2 pixels; the mnemonic is
    // underlined when `text` carries one.
    static void PaintMenuButton(QPainter& painter, const QToolButton* button);
    static void PaintMenuButton(QPainter& painter, const QToolButton* button, const QString& text);

    TMenuBarKeys& Keys() const;

protected:
    void actionEvent(QActionEvent* event) override;
    void childEvent(QChildEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // A child of the bar, so gone before the bar's buttons when the bar goes.
    QPointer<TMenuBarKeys> m_keys;
};

} // namespace vpx
