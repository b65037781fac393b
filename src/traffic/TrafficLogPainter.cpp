#include "traffic/TrafficLogPainter.h"

#include "traffic/ImageList.h"
#include "traffic/TrafficLogFormat.h"

#include <QCoreApplication>
#include <QFontMetrics>
#include <QPainter>
#include <QStringList>

#include <algorithm>
#include <array>

namespace vpx {

TQPainterLogCanvas::TQPainterLogCanvas(QPainter& painter, const QFont& font, const QBrush& background,
                                       const QColor& text, const QRect& clip, const ImageList& images)
    : m_painter(painter), m_font(font), m_background(background), m_clip(clip), m_outerClip(clip),
      m_images(images)
{
    m_painter.save();
    m_painter.setFont(m_font);
    m_painter.setPen(text);
}

TQPainterLogCanvas::~TQPainterLogCanvas()
{
    while (m_clipDepth > 0)
        RemoveClip();
    m_painter.restore();
}

void TQPainterLogCanvas::FillRect(const QRect& rect)
{
    m_painter.fillRect(rect, m_background);
}

void TQPainterLogCanvas::DrawImage(int x, int y, int index)
{
    m_images.Draw(m_painter, x, y, index);
}

void TQPainterLogCanvas::SetFontSize(int pixels)
{
    if (pixels == m_font.pixelSize())
        return;
    m_font.setPixelSize(pixels < 1 ? 1 : pixels);
    m_painter.setFont(m_font);
}

int TQPainterLogCanvas::TextWidth(const QString& text)
{
    return QFontMetrics(m_font).horizontalAdvance(text);
}

int TQPainterLogCanvas::TextHeight(const QString&)
{
    return QFontMetrics(m_font).height();
}

void TQPainterLogCanvas::DrawText(const QRect& rect, const QString& text, int flags)
{
    if (rect.isEmpty() || text.isEmpty())
        return;
    m_painter.drawText(rect, flags | Qt::TextSingleLine, text);
}

QString TLogCanvas::ElidedText(const QString& text, int width)
{
    if (text.isEmpty() || TextWidth(text) <= width)
        return text;
    const QString ellipsis{QChar(LogEllipsis)};
    for (qsizetype n = text.size() - 1; n > 0; --n) {
        QString cut = text.left(n) + ellipsis;
        if (TextWidth(cut) <= width)
            return cut;
    }
    return ellipsis;
}

QString TQPainterLogCanvas::ElidedText(const QString& text, int width)
{
    const QFontMetrics metrics(m_font);
    // Most cells fit with room to spare: tell so without laying the text out.
    if (text.size() * metrics.maxWidth() <= width)
        return text;
    // Laying a text out to cut it is the dear part, and the rows of a flood repeat
    // their peer, port and comment: the last few answers are kept.
    // Plain strings only: they outlive the application's fonts at exit.
    struct Entry {
        QString text;
        int width = 0;
        int pixels = 0;
        QStringList families;
        QString elided;
    };
    static thread_local std::array<Entry, 8> cache;
    static thread_local std::size_t next = 0;
    for (const Entry& e : cache)
        if (e.width == width && e.pixels == m_font.pixelSize() && e.text == text && e.families == m_font.families())
            return e.elided;
    QString elided = metrics.elidedText(text, Qt::ElideRight, width);
    cache[next] = {text, width, m_font.pixelSize(), m_font.families(), elided};
    next = (next + 1) % cache.size();
    return elided;
}

void TQPainterLogCanvas::SetClipRect(const QRect& rect)
{
    m_painter.save();
    m_painter.setClipRect(rect, Qt::IntersectClip);
    m_clip = m_clip.intersected(rect);
    ++m_clipDepth;
}

void TQPainterLogCanvas::RemoveClip()
{
    if (m_clipDepth == 0)
        return;
    m_painter.restore();
    --m_clipDepth;
    if (m_clipDepth == 0)
        m_clip = m_outerClip;
}

QFont LogFont(int pixels)
{
    QFont font;
    font.setFamilies({QStringLiteral("ＭＳ ゴシック"), QStringLiteral("MS Gothic"), QStringLiteral("IPAGothic"),
                      QStringLiteral("Noto Sans Mono CJK JP"), QStringLiteral("monospace")});
    font.setStyleHint(QFont::Monospace);
    font.setFixedPitch(true);
    font.setPixelSize(pixels);
    return font;
}

QRect LogColumns::Address(const QRect& row) const
{
    return {row.left() + 22, row.top(), W0 - 22, row.height()};
}

QRect LogColumns::Port(const QRect& row) const
{
    return {row.left() + W0, row.top(), W1, row.height()};
}

QRect LogColumns::Data(const QRect& row) const
{
    return {row.left() + W0 + W1, row.top(), W2, row.height()};
}

QRect LogColumns::Comment(const QRect& row) const
{
    const int left = row.left() + W0 + W1 + W2;
    return {left, row.top(), row.left() + row.width() - left, row.height()};
}

namespace {

constexpr int kTextFlags = Qt::AlignLeft | Qt::AlignVCenter;

// Puts the clip and the font size back however the drawing ends.
class CellGuard {
public:
    CellGuard(TLogCanvas& canvas, int fontSize) : m_canvas(canvas), m_fontSize(fontSize) {}
    ~CellGuard()
    {
        m_canvas.RemoveClip();
        m_canvas.SetFontSize(m_fontSize);
    }
    CellGuard(const CellGuard&) = delete;
    CellGuard& operator=(const CellGuard&) = delete;

private:
    TLogCanvas& m_canvas;
    int m_fontSize;
};

QString ByteText(const std::uint8_t* bytes, std::size_t count)
{
    if (count == 1 && bytes[0] >= 0x20 && bytes[0] < 0x7F)
        return QString(QLatin1Char(static_cast<char>(bytes[0])));
    return FromAnsi(std::string_view(reinterpret_cast<const char*>(bytes), count));
}

} // namespace

void DrawAsciiCell(TLogCanvas& canvas, const std::uint8_t* bytes, std::size_t count, int fontSize,
                   const QRect& column, int offset)
{
    if (!bytes || count == 0)
        return;
    const QRect clip = column.intersected(canvas.ClipRect());
    if (clip.isEmpty())
        return;
    canvas.SetClipRect(clip);
    CellGuard guard(canvas, fontSize);

    const int half = fontSize / 2;
    canvas.SetFontSize(half);
    const int h = canvas.TextWidth(QStringLiteral("W"));
    const int v = canvas.TextHeight(QStringLiteral("W"));
    canvas.SetFontSize(fontSize);
    const int w = canvas.TextWidth(QStringLiteral("W"));
    // A full-width character takes two byte cells, so that the offset moves
    // every view by whole bytes. Measuring "Ｗ" is not enough: at odd pixel
    // sizes the half-width advance rounds up (19 px: 10) and the full-width
    // one does not (19), which would let double-byte text drift off the grid.
    const int ww = std::max(canvas.TextWidth(QStringLiteral("Ｗ")), 2 * w);
    const QString ellipsis{QChar(LogEllipsis)};
    const int e = canvas.TextWidth(ellipsis);

    const long long left = column.left();
    const long long right = static_cast<long long>(column.left()) + column.width(); // exclusive
    const int top = column.top();
    const int bottom = column.top() + column.height(); // exclusive
    const auto glyphWidth = [&](std::size_t i) { return IsLeadByte(bytes[i]) && i + 1 < count ? ww : w; };
    const auto glyphBytes = [&](std::size_t i) { return IsLeadByte(bytes[i]) && i + 1 < count ? 2 : 1; };
    // Whether the glyphs from byte i on, the first at x, all end inside the column.
    // Asked only near the right edge, so it looks at a few glyphs at most.
    const auto restFits = [&](std::size_t i, long long at) {
        for (; i < count; i += glyphBytes(i)) {
            at += glyphWidth(i);
            if (left + at > right)
                return false;
        }
        return true;
    };
    long long x = -static_cast<long long>(offset) * w;
    for (std::size_t i = 0; i < count;) {
        if (left + x >= right)
            break;
        const int cellLeft = static_cast<int>(left + x);
        const int toRight = static_cast<int>(right - (left + x));
        if (left + x + glyphWidth(i) > right - e && !restFits(i, x)) {
            canvas.DrawText(QRect(cellLeft, top, toRight, column.height()), ellipsis, kTextFlags);
            break;
        }
        // Bytes wholly left of the column cost no drawing.
        if (IsLeadByte(bytes[i]) && i + 1 < count) {
            if (left + x + ww > left)
                canvas.DrawText(QRect(cellLeft, top, toRight, column.height()), ByteText(bytes + i, 2), kTextFlags);
            x += ww;
            i += 2;
        } else if (IsControlByte(bytes[i])) {
            if (left + x + w > left) {
                const std::string_view name = ControlMnemonic(bytes[i]);
                canvas.SetFontSize(half);
                canvas.DrawText(QRect(cellLeft, top, toRight, column.height()), QString(QLatin1Char(name[0])),
                                kTextFlags);
                const int secondLeft = cellLeft + w - h;
                canvas.DrawText(QRect(secondLeft, bottom - v, static_cast<int>(right - secondLeft), v),
                                QString(QLatin1Char(name[1])), kTextFlags);
                canvas.SetFontSize(fontSize);
            }
            x += w;
            i += 1;
        } else {
            if (left + x + w > left)
                canvas.DrawText(QRect(cellLeft, top, toRight, column.height()), ByteText(bytes + i, 1), kTextFlags);
            x += w;
            i += 1;
        }
    }
}

void DrawLogRow(TLogCanvas& canvas, const TTrafficRecord* record, const QRect& row, const LogColumns& columns,
                int viewType, int offset)
{
    canvas.FillRect(row);
    if (!record)
        return;
    canvas.DrawImage(row.left() + 2, row.top(), record->Kind + 2);
    const QRect address = columns.Address(row);
    canvas.DrawText(address, canvas.ElidedText(QString::fromLatin1(record->PeerAddress), address.width()), kTextFlags);
    const QRect port = columns.Port(row);
    canvas.DrawText(port, canvas.ElidedText(QString::fromLatin1(FormatPort(record->PeerPort)), port.width()),
                    kTextFlags);

    const std::size_t size = PayloadSize(*record);
    const QRect data = columns.Data(row);
    switch (viewType) {
    case ViewHex:
    case ViewDecimal: {
        const int cell = canvas.TextWidth(viewType == ViewHex ? QStringLiteral("WW ") : QStringLiteral("WWW "));
        const int blank = cell / (viewType == ViewHex ? 3 : 4); // one character of a fixed-pitch font
        const std::size_t remaining =
            offset >= 0 && static_cast<std::size_t>(offset) < size ? size - static_cast<std::size_t>(offset) : 0;
        CellFit fit = FitCells(data.width(), cell, blank, 0, remaining);
        if (fit.ellipsis) // measured only for a datagram that does not fit
            fit = FitCells(data.width(), cell, blank, canvas.TextWidth(QString(QChar(LogEllipsis))), remaining);
        QString text = QString::fromLatin1(FormatCells(viewType, record->Data.data(), size, offset, fit.cells));
        if (fit.ellipsis)
            text += QChar(LogEllipsis);
        canvas.DrawText(data, text, kTextFlags);
        break;
    }
    case ViewAscii:
        DrawAsciiCell(canvas, record->Data.data(), size, canvas.FontSize(), data, offset);
        break;
    default: break;
    }
    if (!record->Comment.empty() || record->Dropped)
    {
        const QRect comment = columns.Comment(row);
        canvas.DrawText(comment, canvas.ElidedText(LogCommentText(*record), comment.width()), kTextFlags);
    }
}

QString LogCommentText(const TTrafficRecord& record)
{
    QString text = FromAnsi(record.Comment);
    if (record.Dropped)
        text += QCoreApplication::translate("TrafficLog", "（破棄）");
    return text;
}

} // namespace vpx
