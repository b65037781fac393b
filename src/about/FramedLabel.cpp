#include "about/FramedLabel.h"

#include <QPainter>

namespace vpx {

TFramedLabel::TFramedLabel(QWidget* parent) : QLabel(parent)
{
    setAlignment(Qt::AlignCenter);
}

void TFramedLabel::SetFrameColor(const QColor& value)
{
    m_frameColor = value;
    update();
}

void TFramedLabel::SetFontColor(const QColor& value)
{
    m_fontColor = value;
    update();
}

void TFramedLabel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setFont(font());
    const QRect r = contentsRect().adjusted(1, 1, -1, -1);
    const int flags = static_cast<int>(alignment()) | Qt::TextSingleLine;
    painter.setPen(isEnabled() ? m_frameColor : palette().color(QPalette::Disabled, QPalette::WindowText));
    for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) {
            if (dx != 0 || dy != 0)
                painter.drawText(r.translated(dx, dy), flags, text());
        }
    }
    painter.setPen(isEnabled() ? m_fontColor : palette().color(QPalette::Disabled, QPalette::WindowText));
    painter.drawText(r, flags, text());
}

} // namespace vpx
