#include "traffic/ImageList.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>

namespace vpx {

namespace {

QPixmap Render(int index, int scale)
{
    QPixmap pixmap(ImageList::Size * scale, ImageList::Size * scale);
    pixmap.fill(Qt::transparent);
    pixmap.setDevicePixelRatio(scale);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    ImageList::Paint(painter, index);
    return pixmap;
}

void Folder(QPainter& p, bool open)
{
    const QColor edge(0x80, 0x60, 0x00);
    p.setPen(QPen(edge, 1));
    p.setBrush(QColor(0xE8, 0xC0, 0x40));
    // Back with its tab.
    QPainterPath back;
    back.moveTo(1.5, 3.5);
    back.lineTo(6.5, 3.5);
    back.lineTo(7.5, 5.0);
    back.lineTo(14.5, 5.0);
    back.lineTo(14.5, 13.5);
    back.lineTo(1.5, 13.5);
    back.closeSubpath();
    p.drawPath(back);
    p.setBrush(QColor(0xFF, 0xE0, 0x70));
    if (open) {
        // The front leaf tipped forward.
        p.drawPolygon(QPolygonF({QPointF(1.5, 13.5), QPointF(4.0, 7.5), QPointF(15.5, 7.5), QPointF(13.0, 13.5)}));
    } else {
        p.drawRect(QRectF(1.5, 6.5, 13.0, 7.0));
    }
}

// A thick arrow across the middle of the image, pointing right or left.
void KindArrow(QPainter& p, const QColor& fill, bool right)
{
    QPolygonF arrow({QPointF(1.5, 5.5), QPointF(8.5, 5.5), QPointF(8.5, 2.0), QPointF(14.5, 8.0),
                     QPointF(8.5, 14.0), QPointF(8.5, 10.5), QPointF(1.5, 10.5)});
    if (!right) {
        for (QPointF& pt : arrow)
            pt.setX(16.0 - pt.x());
    }
    p.setPen(QPen(fill.darker(170), 1));
    p.setBrush(fill);
    p.drawPolygon(arrow);
}

// The command arrow: a small green arrow in the upper left, with a mark beside it.
void CommandArrow(QPainter& p, const QString& mark, bool crossed)
{
    const QPolygonF arrow({QPointF(0.5, 2.5), QPointF(4.5, 2.5), QPointF(4.5, 0.5), QPointF(8.5, 4.5),
                           QPointF(4.5, 8.5), QPointF(4.5, 6.5), QPointF(0.5, 6.5)});
    p.setPen(QPen(QColor(0x00, 0x60, 0x00), 1));
    p.setBrush(crossed ? QColor(0xA0, 0xA0, 0xA0) : QColor(0x30, 0xC0, 0x30));
    p.drawPolygon(arrow);
    if (crossed) {
        p.setPen(QPen(QColor(0xD0, 0x00, 0x00), 2));
        p.drawLine(QPointF(2.0, 2.0), QPointF(14.0, 14.0));
        p.drawLine(QPointF(14.0, 2.0), QPointF(2.0, 14.0));
        return;
    }
    QFont font;
    font.setFamilies({QStringLiteral("DejaVu Sans"), QStringLiteral("sans-serif")});
    font.setBold(true);
    font.setPixelSize(mark.size() > 1 ? 7 : 9);
    p.setFont(font);
    p.setPen(QColor(0x00, 0x00, 0x80));
    p.drawText(QRectF(0.0, 7.0, 16.0, 9.0), Qt::AlignRight | Qt::AlignBottom, mark);
}

} // namespace

void ImageList::Paint(QPainter& painter, int index)
{
    painter.save();
    switch (index) {
    case imgGroupClosed: Folder(painter, false); break;
    case imgGroupOpen: Folder(painter, true); break;
    case imgReceived: KindArrow(painter, QColor(0x00, 0x40, 0xFF), true); break;
    case imgReceivedMatched: KindArrow(painter, QColor(0x00, 0xE0, 0xE0), true); break;
    case imgSent: KindArrow(painter, QColor(0xF0, 0x00, 0x00), false); break;
    case imgAutoReplySent: KindArrow(painter, QColor(0xFF, 0xE0, 0x00), false); break;
    case imgCommandText: CommandArrow(painter, QStringLiteral("T"), false); break;
    case imgCommandMixed: CommandArrow(painter, QStringLiteral("M"), false); break;
    case imgCommandLittle: CommandArrow(painter, QStringLiteral("ML"), false); break;
    case imgCommandBig: CommandArrow(painter, QStringLiteral("MB"), false); break;
    case imgCommandEmpty: CommandArrow(painter, QString(), true); break;
    default: break; // image 6 and anything else: transparent
    }
    painter.restore();
}

ImageList::ImageList()
{
    for (int i = 0; i < Count; ++i) {
        const auto k = static_cast<std::size_t>(i);
        m_pixmaps[k] = Render(i, 1);
        m_pixmaps2x[k] = Render(i, 2);
        m_icons[k].addPixmap(m_pixmaps[k]);
        m_icons[k].addPixmap(m_pixmaps2x[k]);
    }
}

const ImageList& ImageList::Shared()
{
    static const ImageList list;
    return list;
}

QPixmap ImageList::Pixmap(int index, int scale) const
{
    if (index < 0 || index >= Count)
        return {};
    return scale >= 2 ? m_pixmaps2x[static_cast<std::size_t>(index)] : m_pixmaps[static_cast<std::size_t>(index)];
}

QIcon ImageList::Icon(int index) const
{
    if (index < 0 || index >= Count)
        return {};
    return m_icons[static_cast<std::size_t>(index)];
}

void ImageList::Draw(QPainter& painter, int x, int y, int index) const
{
    if (index < 0 || index >= Count)
        return;
    const int scale = painter.device() && painter.device()->devicePixelRatio() > 1.0 ? 2 : 1;
    painter.drawPixmap(x, y, Pixmap(index, scale));
}

} // namespace vpx
