#include "about/AboutPicture.h"

#include <QEnterEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace vpx {

namespace {

constexpr int kPictureSize = 96;
constexpr int kLogoSource = 192; // drawn large once so that zooming stays sharp

void DrawArrow(QPainter& p, const QRectF& r, double y, bool rightwards, const QColor& colour)
{
    const double u = r.width() / 16.0;
    QPen pen(colour, 1.6 * u, Qt::SolidLine, Qt::RoundCap);
    p.setPen(pen);
    const double x0 = r.left() + (rightwards ? 3 : 5) * u;
    const double x1 = r.left() + (rightwards ? 11 : 13) * u;
    p.drawLine(QPointF(x0, r.top() + y * u), QPointF(x1, r.top() + y * u));
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    QPolygonF head;
    if (rightwards)
        head << QPointF(14, y) << QPointF(10, y - 3) << QPointF(10, y + 3);
    else
        head << QPointF(2, y) << QPointF(6, y - 3) << QPointF(6, y + 3);
    for (QPointF& pt : head)
        pt = QPointF(r.left() + pt.x() * u, r.top() + pt.y() * u);
    p.drawPolygon(head);
}

} // namespace

void DrawVorpexLogo(QPainter& painter, const QRectF& bounds)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const double u = bounds.width() / 16.0;
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x19, 0x3c, 0x78));
    painter.drawRoundedRect(bounds.adjusted(0.5 * u, 0.5 * u, -0.5 * u, -0.5 * u), 3 * u, 3 * u);
    DrawArrow(painter, bounds, 5.5, true, QColor(0xeb, 0x50, 0x3c));
    DrawArrow(painter, bounds, 10.5, false, QColor(0x5a, 0xd2, 0xe6));
    painter.restore();
}

QPixmap VorpexLogoPixmap(int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    DrawVorpexLogo(p, QRectF(0, 0, size, size));
    return pixmap;
}

AboutFrame AboutFrameAt(int phase)
{
    int p = phase % kAboutPhases;
    if (p < 0)
        p += kAboutPhases;
    const double turn = 2 * std::numbers::pi * p / kAboutPhases;
    // One full turn per cycle while the logo breathes in and out twice.
    return {360.0 * p / kAboutPhases, 0.7 + 0.25 * std::cos(2 * turn)};
}

int AboutPhaseStep(int delay, bool hovered)
{
    const int step = std::clamp(delay, -10, 10);
    return hovered ? -step : step;
}

TAboutPicture::TAboutPicture(QWidget* parent) : QWidget(parent)
{
    setFixedSize(kPictureSize, kPictureSize);
    setAttribute(Qt::WA_Hover);
}

void TAboutPicture::Advance(int delay)
{
    m_phase = (m_phase + AboutPhaseStep(delay, m_hovered)) % kAboutPhases;
    Render();
    update();
}

void TAboutPicture::Refresh()
{
    Render();
    update();
}

void TAboutPicture::ReleaseBitmaps()
{
    m_logo = QImage();
    m_frame = QImage();
}

void TAboutPicture::Render()
{
    if (m_logo.isNull()) {
        m_logo = QImage(kLogoSource, kLogoSource, QImage::Format_ARGB32_Premultiplied);
        m_logo.fill(Qt::transparent);
        QPainter p(&m_logo);
        DrawVorpexLogo(p, QRectF(0, 0, kLogoSource, kLogoSource));
    }
    if (m_frame.isNull())
        m_frame = QImage(kPictureSize, kPictureSize, QImage::Format_ARGB32_Premultiplied);
    m_frame.fill(Qt::transparent);
    const AboutFrame f = AboutFrameAt(m_phase);
    QPainter p(&m_frame);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(kPictureSize / 2.0, kPictureSize / 2.0);
    p.rotate(f.angle);
    const double side = kPictureSize * f.scale;
    p.drawImage(QRectF(-side / 2, -side / 2, side, side), m_logo);
}

void TAboutPicture::paintEvent(QPaintEvent*)
{
    if (m_frame.isNull())
        return;
    QPainter p(this);
    p.drawImage(0, 0, m_frame);
}

void TAboutPicture::enterEvent(QEnterEvent*)
{
    m_hovered = true;
}

void TAboutPicture::leaveEvent(QEvent*)
{
    m_hovered = false;
}

void TAboutPicture::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) && OnClick)
        OnClick();
}

void TAboutPicture::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && OnDblClick)
        OnDblClick();
}

TClickImage::TClickImage(QWidget* parent) : QWidget(parent) {}

void TClickImage::SetPicture(const QPixmap& picture)
{
    m_picture = picture;
    update();
}

void TClickImage::paintEvent(QPaintEvent*)
{
    if (m_picture.isNull())
        return;
    // Centred and stretched to fit, keeping its proportions; the background shows through.
    QPainter p(this);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    const QSize size = m_picture.size().scaled(this->size(), Qt::KeepAspectRatio);
    const QRect target(QPoint((width() - size.width()) / 2, (height() - size.height()) / 2), size);
    p.drawPixmap(target, m_picture);
}

void TClickImage::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) && OnClick)
        OnClick();
}

void TClickImage::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && OnDblClick)
        OnDblClick();
}

} // namespace vpx
