#include "shell/ToolImages.h"

#include <QFont>
#include <QHash>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace vpx {

namespace {

const QColor kOutline(40, 40, 40);

void Letter(QPainter& p, QChar c, const QColor& color)
{
    QFont f;
    f.setFamilies({QStringLiteral("DejaVu Sans"), QStringLiteral("sans-serif")});
    f.setPixelSize(15);
    f.setBold(true);
    p.setFont(f);
    p.setPen(color);
    p.drawText(QRectF(0, 0, 16, 16), Qt::AlignCenter, QString(c));
}

void Floppy(QPainter& p, const QRectF& r, const QColor& body)
{
    p.setPen(QPen(kOutline, 0.8));
    p.setBrush(body);
    QPainterPath path;
    path.moveTo(r.left(), r.top());
    path.lineTo(r.right() - 2, r.top());
    path.lineTo(r.right(), r.top() + 2);
    path.lineTo(r.right(), r.bottom());
    path.lineTo(r.left(), r.bottom());
    path.closeSubpath();
    p.drawPath(path);
    const double w = r.width(), h = r.height();
    p.setBrush(QColor(230, 230, 230)); // shutter
    p.drawRect(QRectF(r.left() + w * 0.25, r.top(), w * 0.5, h * 0.35));
    p.setBrush(Qt::white); // label
    p.drawRect(QRectF(r.left() + w * 0.15, r.top() + h * 0.55, w * 0.7, h * 0.45));
}

void Page(QPainter& p, const QRectF& r)
{
    p.setPen(QPen(kOutline, 0.8));
    p.setBrush(Qt::white);
    QPainterPath path;
    path.moveTo(r.left(), r.top());
    path.lineTo(r.right() - 3, r.top());
    path.lineTo(r.right(), r.top() + 3);
    path.lineTo(r.right(), r.bottom());
    path.lineTo(r.left(), r.bottom());
    path.closeSubpath();
    p.drawPath(path);
    p.setPen(QPen(QColor(150, 150, 150), 0.8));
    for (double y = r.top() + 4; y < r.bottom() - 1; y += 2)
        p.drawLine(QPointF(r.left() + 2, y), QPointF(r.right() - 2, y));
}

void Sparkle(QPainter& p, QPointF c, double s, const QColor& color)
{
    p.setPen(QPen(color, 1.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(c - QPointF(s, 0), c + QPointF(s, 0));
    p.drawLine(c - QPointF(0, s), c + QPointF(0, s));
    p.setPen(QPen(color, 0.8, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(c - QPointF(s * 0.6, s * 0.6), c + QPointF(s * 0.6, s * 0.6));
    p.drawLine(c - QPointF(s * 0.6, -s * 0.6), c + QPointF(s * 0.6, -s * 0.6));
}

void ArrowHead(QPainter& p, QPointF tip, QPointF dir, const QColor& color)
{
    const QPointF n(-dir.y(), dir.x());
    QPolygonF head;
    head << tip << tip - dir * 4 + n * 3 << tip - dir * 4 - n * 3;
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawPolygon(head);
}

void Draw(QPainter& p, ToolImage image)
{
    switch (image) {
    case ToolImage::Exit: {
        p.setPen(QPen(kOutline, 0.8));
        p.setBrush(QColor(120, 80, 40));
        p.drawRect(QRectF(3, 1.5, 9, 13)); // frame
        p.setBrush(QColor(210, 30, 30));
        QPolygonF door;
        door << QPointF(4, 2.5) << QPointF(10, 4) << QPointF(10, 15) << QPointF(4, 13.5);
        p.drawPolygon(door);
        p.setBrush(QColor(250, 210, 60));
        p.drawEllipse(QPointF(8.7, 9), 0.9, 0.9);
        break;
    }
    case ToolImage::Log:
        Floppy(p, QRectF(1.5, 1.5, 13, 13), QColor(40, 70, 160));
        break;
    case ToolImage::Open: {
        p.setPen(QPen(kOutline, 0.8));
        p.setBrush(QColor(230, 190, 80));
        QPolygonF back;
        back << QPointF(1, 3) << QPointF(6, 3) << QPointF(7, 4.5) << QPointF(13, 4.5) << QPointF(13, 13)
             << QPointF(1, 13);
        p.drawPolygon(back);
        p.setBrush(QColor(250, 220, 120));
        QPolygonF front;
        front << QPointF(3.5, 7) << QPointF(15.5, 7) << QPointF(13, 13) << QPointF(1, 13);
        p.drawPolygon(front);
        break;
    }
    case ToolImage::CommEnv: {
        p.setPen(QPen(QColor(20, 60, 140), 0.8));
        p.setBrush(QColor(90, 160, 230));
        p.drawEllipse(QPointF(8, 8), 6.5, 6.5);
        p.setBrush(QColor(80, 170, 80)); // land
        p.drawEllipse(QPointF(6, 6.5), 2.5, 2);
        p.drawEllipse(QPointF(10, 10.5), 2.5, 1.8);
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QPointF(8, 8), 3, 6.5);
        p.drawLine(QPointF(1.5, 8), QPointF(14.5, 8));
        break;
    }
    case ToolImage::Save:
        Page(p, QRectF(1, 0.5, 8, 9));
        Floppy(p, QRectF(5.5, 6.5, 9, 9), QColor(40, 70, 160));
        ArrowHead(p, QPointF(8, 8), QPointF(0.6, 0.8), QColor(20, 140, 40));
        break;
    case ToolImage::Clear:
        Page(p, QRectF(2, 2, 10, 13));
        Sparkle(p, QPointF(12.5, 3.5), 3, QColor(240, 180, 0));
        Sparkle(p, QPointF(13.5, 11), 2, QColor(240, 180, 0));
        break;
    case ToolImage::Send: {
        p.setPen(QPen(kOutline, 0.8));
        p.setBrush(QColor(250, 245, 225));
        p.drawRect(QRectF(1, 3.5, 14, 9));
        p.setBrush(QColor(235, 225, 190));
        QPolygonF flap;
        flap << QPointF(1, 3.5) << QPointF(8, 9) << QPointF(15, 3.5);
        p.drawPolygon(flap);
        break;
    }
    case ToolImage::Mix: {
        p.setPen(QPen(QColor(110, 60, 150), 1));
        p.setBrush(QColor(240, 230, 250));
        p.drawEllipse(QPointF(8, 8), 7, 7);
        QFont f;
        f.setPixelSize(6);
        f.setBold(true);
        p.setFont(f);
        p.setPen(QColor(200, 30, 30));
        p.drawText(QRectF(2, 2, 6, 6), Qt::AlignCenter, QStringLiteral("A"));
        p.setPen(QColor(30, 120, 30));
        p.drawText(QRectF(8, 2, 6, 6), Qt::AlignCenter, QStringLiteral("1"));
        p.setPen(QColor(30, 60, 200));
        p.drawText(QRectF(2, 8, 6, 6), Qt::AlignCenter, QStringLiteral("$"));
        p.setPen(QColor(200, 130, 0));
        p.drawText(QRectF(8, 8, 6, 6), Qt::AlignCenter, QStringLiteral("\""));
        break;
    }
    case ToolImage::Text:
        Letter(p, QLatin1Char('A'), QColor(20, 20, 140));
        break;
    case ToolImage::Help: {
        p.setPen(QPen(QColor(110, 10, 10), 0.8));
        p.setBrush(QColor(200, 30, 30));
        p.drawRect(QRectF(3, 1.5, 10, 13));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(3, 13, 10, 1.5)); // page edges
        QFont f;
        f.setPixelSize(10);
        f.setBold(true);
        p.setFont(f);
        p.setPen(Qt::white);
        p.drawText(QRectF(3, 1.5, 10, 11.5), Qt::AlignCenter, QStringLiteral("?"));
        break;
    }
    case ToolImage::LittleEndian:
        Letter(p, QLatin1Char('L'), QColor(0, 110, 60));
        break;
    case ToolImage::BigEndian:
        Letter(p, QLatin1Char('B'), QColor(160, 60, 0));
        break;
    case ToolImage::AutoReturn: {
        const QColor blue(30, 90, 210);
        QPainterPath path;
        path.moveTo(13, 2);
        path.lineTo(13, 7);
        path.cubicTo(13, 10.5, 10, 11, 8, 11);
        path.lineTo(5, 11);
        p.setPen(QPen(blue, 2.2, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        p.drawPath(path);
        ArrowHead(p, QPointF(1.5, 11), QPointF(-1, 0), blue);
        break;
    }
    case ToolImage::Reload: {
        const QColor blue(30, 90, 210);
        p.setPen(QPen(blue, 2, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(2.5, 2.5, 11, 11), 100 * 16, 290 * 16);
        ArrowHead(p, QPointF(9.5, 1.2), QPointF(1, 0.15), blue);
        break;
    }
    case ToolImage::Connect: {
        p.setPen(QPen(kOutline, 0.8));
        p.setBrush(QColor(90, 90, 90));
        p.drawRect(QRectF(2, 6, 6, 5)); // plug body
        p.setBrush(QColor(200, 200, 200));
        p.drawRect(QRectF(8, 6.8, 3.5, 1.2)); // pins
        p.drawRect(QRectF(8, 9, 3.5, 1.2));
        p.setPen(QPen(QColor(40, 40, 40), 1.5));
        p.drawLine(QPointF(2, 8.5), QPointF(0, 8.5)); // cable
        Sparkle(p, QPointF(13.5, 4), 2, QColor(250, 170, 0));
        Sparkle(p, QPointF(13.5, 13), 1.6, QColor(250, 170, 0));
        break;
    }
    case ToolImage::AppIcon: {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(25, 60, 120));
        p.drawRoundedRect(QRectF(0.5, 0.5, 15, 15), 3, 3);
        const QColor red(235, 80, 60), cyan(90, 210, 230);
        p.setPen(QPen(red, 1.6, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(3, 5.5), QPointF(11, 5.5));
        ArrowHead(p, QPointF(14, 5.5), QPointF(1, 0), red);
        p.setPen(QPen(cyan, 1.6, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(5, 10.5), QPointF(13, 10.5));
        ArrowHead(p, QPointF(2, 10.5), QPointF(-1, 0), cyan);
        break;
    }
    }
}

QPixmap Render(ToolImage image, int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.scale(size / 16.0, size / 16.0);
    Draw(p, image);
    return pixmap;
}

} // namespace

QIcon ToolImages::Icon(ToolImage image)
{
    static QHash<int, QIcon> cache;
    const int key = static_cast<int>(image);
    auto it = cache.find(key);
    if (it == cache.end()) {
        QIcon icon;
        for (const int size : {16, 32, 48})
            icon.addPixmap(Render(image, size));
        it = cache.insert(key, icon);
    }
    return *it;
}

} // namespace vpx
