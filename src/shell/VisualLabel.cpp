#include "shell/VisualLabel.h"

#include <QFontMetrics>
#include <QPainter>
#include <QStyle>

namespace vpx {

std::vector<TextPass> FramePasses(TFrameType type, bool enabled, const QColor& frameColor,
                                  const QColor& fontColor, const QColor& shadow,
                                  const QColor& highlight, const QColor& grayText)
{
    std::vector<TextPass> passes;
    const auto add = [&](int dx, int dy, const QColor& c) { passes.push_back({dx, dy, c}); };
    switch (type) {
    case ftNone: break;
    case ftFrame:
        for (const auto& [dx, dy] : {std::pair{-1, -1}, {0, -1}, {1, -1}, {-1, 0}, {1, 0}, {-1, 1}, {0, 1}, {1, 1}})
            add(dx, dy, frameColor);
        break;
    case ftShadow: add(1, 1, frameColor); break;
    case ftLowered:
    case ftRaised: {
        const QColor first = type == ftLowered ? shadow : highlight;
        const QColor second = type == ftLowered ? highlight : shadow;
        for (const auto& [dx, dy] : {std::pair{-1, -1}, {0, -1}, {1, -1}, {-1, 0}, {-1, 1}})
            add(dx, dy, first);
        for (const auto& [dx, dy] : {std::pair{1, 0}, {0, 1}, {1, 1}})
            add(dx, dy, second);
        break;
    }
    case ftFlash: add(-1, -1, frameColor); break;
    }
    add(0, 0, fontColor);
    if (!enabled) {
        for (TextPass& pass : passes)
            pass.color = grayText;
    }
    return passes;
}

TVisualLabel::TVisualLabel(QWidget* parent) : QLabel(parent)
{
    setAutoFillBackground(false);
}

TVisualLabel::TVisualLabel(const QString& text, QWidget* parent) : QLabel(text, parent)
{
    setAutoFillBackground(false);
}

void TVisualLabel::SetFrameType(TFrameType value)
{
    m_frameType = value;
    update();
}

void TVisualLabel::SetFrameColor(const QColor& value)
{
    m_frameColor = value;
    update();
}

void TVisualLabel::SetShowAccelChar(bool value)
{
    m_showAccelChar = value;
    updateGeometry();
    update();
}

void TVisualLabel::SetTransparent(bool value)
{
    m_transparent = value;
    update();
}

int TVisualLabel::TextFlags() const
{
    int flags = static_cast<int>(alignment()) | Qt::TextExpandTabs;
    if (wordWrap())
        flags |= Qt::TextWordWrap;
    if (m_showAccelChar)
        flags |= Qt::TextShowMnemonic;
    return flags;
}

QString TVisualLabel::MeasuredText() const
{
    // An empty text (or a lone mnemonic marker) would measure as nothing and
    // collapse the label; a blank keeps one line's height.
    if (text().isEmpty() || (m_showAccelChar && text() == QLatin1String("&")))
        return QStringLiteral(" ");
    return text();
}

QSize TVisualLabel::sizeHint() const
{
    const QFontMetrics fm(font());
    const int wrapWidth = wordWrap() && width() > 0 ? width() : 10000;
    const QRect r = fm.boundingRect(QRect(0, 0, wrapWidth, 10000), TextFlags(), MeasuredText());
    const QMargins m = contentsMargins();
    // One pixel each side for the frame passes.
    return {r.width() + 2 + m.left() + m.right(), r.height() + 2 + m.top() + m.bottom()};
}

QSize TVisualLabel::minimumSizeHint() const
{
    return sizeHint();
}

std::vector<TextPass> TVisualLabel::Passes() const
{
    const QPalette& p = palette();
    return FramePasses(m_frameType, isEnabled(), m_frameColor, p.color(QPalette::Active, QPalette::WindowText),
                       p.color(QPalette::Active, QPalette::Dark), p.color(QPalette::Active, QPalette::Light),
                       p.color(QPalette::Disabled, QPalette::WindowText));
}

void TVisualLabel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (!m_transparent)
        painter.fillRect(rect(), palette().color(QPalette::Window));
    painter.setFont(font());
    const QRect r = contentsRect().adjusted(1, 1, -1, -1);
    for (const TextPass& pass : Passes()) {
        painter.setPen(pass.color);
        painter.drawText(r.translated(pass.dx, pass.dy), TextFlags(), text());
    }
}

} // namespace vpx
