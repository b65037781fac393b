#include "TrafficTestUtil.h"

#include "traffic/ImageList.h"
#include "traffic/TrafficLogFormat.h"
#include "traffic/TrafficLogPainter.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <iterator>

namespace vpx {
namespace {

// Paints for real into an image and remembers every text and image it drew.
class RecordingCanvas : public TQPainterLogCanvas {
public:
    struct Text {
        QRect rect;
        QString text;
        int fontSize;
    };
    RecordingCanvas(QPainter& painter, const QRect& clip)
        : TQPainterLogCanvas(painter, LogFont(LogFontPixels), QBrush(Qt::white), Qt::black, clip,
                             ImageList::Shared())
    {
    }
    void DrawText(const QRect& rect, const QString& text, int flags) override
    {
        texts.push_back({rect, text, FontSize()});
        TQPainterLogCanvas::DrawText(rect, text, flags);
    }
    void DrawImage(int x, int y, int index) override
    {
        images.push_back({x, y, index});
        TQPainterLogCanvas::DrawImage(x, y, index);
    }
    std::vector<Text> texts;
    struct Image {
        int x, y, index;
    };
    std::vector<Image> images;

    // Non-empty texts whose rectangle starts inside [left, right).
    std::vector<Text> In(int left, int right) const
    {
        std::vector<Text> found;
        for (const Text& t : texts)
            if (!t.text.isEmpty() && t.rect.left() >= left && t.rect.left() < right)
                found.push_back(t);
        return found;
    }
};

constexpr int kWidth = 600;
const LogColumns kColumns{120, 60, 200};
const QRect kRow(0, 18, kWidth, LogRowHeight); // the second row of the list

struct Painted {
    QImage image{kWidth, 54, QImage::Format_RGB32};
    std::vector<RecordingCanvas::Text> texts;
    std::vector<RecordingCanvas::Image> images;
    int w = 0;  // the font's cell
    int ww = 0; // a full-width character's step
    int h = 0;  // the half-size cell
    int v = 0;  // the half-size line height
};

Painted Paint(const TTrafficRecord* record, int viewType, int offset)
{
    Painted p;
    p.image.fill(Qt::gray);
    QPainter painter(&p.image);
    RecordingCanvas canvas(painter, p.image.rect());
    DrawLogRow(canvas, record, kRow, kColumns, viewType, offset);
    canvas.SetFontSize(LogFontPixels / 2);
    p.h = canvas.TextWidth(QStringLiteral("W"));
    p.v = canvas.TextHeight(QStringLiteral("W"));
    canvas.SetFontSize(LogFontPixels);
    p.w = canvas.TextWidth(QStringLiteral("W"));
    p.ww = 2 * p.w; // a full-width character takes two byte cells
    p.texts = canvas.texts;
    p.images = canvas.images;
    return p;
}

// Whether any pixel in `rect` differs from the background.
bool Inked(const QImage& image, const QRect& rect, QRgb background = qRgb(255, 255, 255))
{
    const QRect r = rect.intersected(image.rect());
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (image.pixel(x, y) != background)
                return true;
    return false;
}

TEST(TrafficLogPaint, FixedColumnsOfARow)
{
    auto record = test::MakeRecord({0x0A}, tkAutoReplySent, "192.168.1.20", 53, "\x83\x65\x83\x58\x83\x67");
    const Painted p = Paint(record.get(), ViewHex, 0);
    ASSERT_EQ(p.images.size(), 1u);
    EXPECT_EQ(p.images[0].x, 2);
    EXPECT_EQ(p.images[0].y, kRow.top());
    EXPECT_EQ(p.images[0].index, 5);

    ASSERT_EQ(p.texts.size(), 4u);
    // 98 pixels hold no twelve characters of the 19-pixel font: the address ends in an ellipsis.
    EXPECT_EQ(p.texts[0].text, QFontMetrics(LogFont(LogFontPixels))
                                   .elidedText(QStringLiteral("192.168.1.20"), Qt::ElideRight, 120 - 22));
    EXPECT_TRUE(p.texts[0].text.startsWith(QStringLiteral("192.168.")));
    EXPECT_EQ(p.texts[0].rect, QRect(22, kRow.top(), 120 - 22, 18));
    EXPECT_EQ(p.texts[1].text, QStringLiteral("   53"));
    EXPECT_EQ(p.texts[1].rect, QRect(120, kRow.top(), 60, 18));
    EXPECT_EQ(p.texts[2].text, QStringLiteral("0A "));
    EXPECT_EQ(p.texts[2].rect, QRect(180, kRow.top(), 200, 18));
    EXPECT_EQ(p.texts[3].text, QStringLiteral("テスト"));
    EXPECT_EQ(p.texts[3].rect, QRect(380, kRow.top(), kWidth - 380, 18));
    for (const auto& t : p.texts)
        EXPECT_EQ(t.fontSize, LogFontPixels);

    // The row is filled, the rows around it are not touched.
    EXPECT_EQ(p.image.pixel(590, kRow.top()), qRgb(255, 255, 255));
    EXPECT_EQ(p.image.pixel(590, kRow.top() - 1), QColor(Qt::gray).rgb());
    EXPECT_EQ(p.image.pixel(590, kRow.bottom() + 1), QColor(Qt::gray).rgb());
    // The yellow arrow is in the icon's place.
    bool yellow = false;
    for (int y = kRow.top(); y < kRow.top() + 16; ++y)
        for (int x = 2; x < 18; ++x) {
            const QColor c = p.image.pixelColor(x, y);
            yellow |= c.red() > 200 && c.green() > 180 && c.blue() < 80;
        }
    EXPECT_TRUE(yellow);
}

TEST(TrafficLogPaint, HexAndDecimalFromOffset16)
{
    auto record = test::MakeRecord(test::Counting(40));
    const QString ellipsis{QChar(LogEllipsis)};
    for (const int view : {ViewHex, ViewDecimal}) {
        const Painted p = Paint(record.get(), view, 16);
        ASSERT_EQ(p.texts.size(), 3u);
        const int cell = view == ViewHex ? 3 * p.w : 4 * p.w; // "WW " / "WWW " in a fixed-pitch font
        // 24 bytes do not fit into 200 pixels: the whole cells that leave room for
        // the ellipsis, then the ellipsis, never a cell cut in half.
        const int e = QFontMetrics(LogFont(LogFontPixels)).horizontalAdvance(ellipsis);
        const std::size_t n = static_cast<std::size_t>((200 - e) / cell);
        const std::string expected = FormatCells(view, record->Data.data(), 40, 16, n);
        EXPECT_EQ(p.texts[2].text, QString::fromLatin1(expected) + ellipsis) << view;
        EXPECT_TRUE(p.texts[2].text.startsWith(view == ViewHex ? QStringLiteral("10 11 ") : QStringLiteral(" 16  17 ")));
        EXPECT_LE(QFontMetrics(LogFont(LogFontPixels)).horizontalAdvance(p.texts[2].text), 200) << view;
        EXPECT_EQ(p.texts[2].rect, kColumns.Data(kRow));
        // Ink starts in the data column, not before it.
        EXPECT_TRUE(Inked(p.image, QRect(180, kRow.top(), 200, 18)));
    }
    // Fewer bytes left than cells: only those, and no ellipsis.
    auto shortRecord = test::MakeRecord(test::Counting(20));
    EXPECT_EQ(Paint(shortRecord.get(), ViewHex, 16).texts[2].text, QStringLiteral("10 11 12 13 "));
    EXPECT_EQ(Paint(shortRecord.get(), ViewDecimal, 16).texts[2].text, QStringLiteral(" 16  17  18  19 "));
}

// Every cell stays inside its column and says when it was cut: the issue seen was
// a data cell cut in the middle of a byte running on into the comment ("4Text").
TEST(TrafficLogPaint, CellsThatDoNotFitEndInAnEllipsisInsideTheirColumn)
{
    const QString ellipsis{QChar(LogEllipsis)};
    const QFontMetrics metrics(LogFont(LogFontPixels));
    const std::string longComment(200, 'c');
    auto record = test::MakeRecord(test::Counting(64), tkSent, "255.255.255.255", 65535, longComment);
    const LogColumns narrow{60, 30, 200};
    for (const int view : {ViewHex, ViewDecimal, ViewAscii}) {
        SCOPED_TRACE(view);
        QImage image(kWidth, 54, QImage::Format_RGB32);
        QPainter painter(&image);
        RecordingCanvas canvas(painter, image.rect());
        DrawLogRow(canvas, record.get(), kRow, narrow, view, 0);
        const struct {
            const char* name;
            QRect column;
        } columns[] = {{"address", narrow.Address(kRow)},
                       {"port", narrow.Port(kRow)},
                       {"data", narrow.Data(kRow)},
                       {"comment", narrow.Comment(kRow)}};
        for (const auto& c : columns) {
            SCOPED_TRACE(c.name);
            const auto texts = canvas.In(c.column.left(), c.column.left() + c.column.width());
            ASSERT_FALSE(texts.empty());
            const auto& last = texts.back();
            EXPECT_TRUE(last.text.endsWith(ellipsis)) << last.text.toStdString();
            EXPECT_LE(last.rect.left() + metrics.horizontalAdvance(last.text),
                      c.column.left() + c.column.width());
        }
    }
    // A row that fits shows everything as it is.
    auto fits = test::MakeRecord({0x41, 0x42}, tkSent, "10.0.0.1", 7, "ok");
    for (const int view : {ViewHex, ViewAscii}) {
        const Painted p = Paint(fits.get(), view, 0);
        for (const auto& t : p.texts)
            EXPECT_FALSE(t.text.contains(ellipsis)) << t.text.toStdString();
    }
}

TEST(TrafficLogFormat, FitCellsKeepsWholeCellsAndRoomForTheEllipsis)
{
    const struct {
        int column, cell, blank, ellipsis;
        std::size_t remaining;
        CellFit fit;
    } cases[] = {
        {100, 30, 10, 20, 3, {3, false}},  // 90 - 10: the last cell needs no blank
        {80, 30, 10, 20, 3, {3, false}},   // exactly 80
        {79, 30, 10, 20, 3, {1, true}},    // (79 - 20) / 30
        {200, 30, 10, 20, 40, {6, true}},
        {200, 30, 10, 0, 40, {6, true}},
        {15, 30, 10, 20, 5, {0, true}},    // not even the ellipsis: nothing but it
        {100, 30, 10, 20, 0, {0, false}},
        {0, 30, 10, 20, 5, {0, false}},
        {100, 0, 0, 20, 5, {0, false}},
        {1 << 30, 40, 10, 20, 65507, {65507, false}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FitCells(c.column, c.cell, c.blank, c.ellipsis, c.remaining), c.fit)
            << c.column << " " << c.cell << " " << c.remaining;
}

TEST(TrafficLogPaint, DataColumnIsEmptyPastTheEnd)
{
    auto record = test::MakeRecord(test::Counting(16), tkSent, "10.0.0.2", 7, "name");
    for (const int view : {ViewHex, ViewDecimal, ViewAscii, 9}) {
        const Painted p = Paint(record.get(), view, 16);
        QStringList drawn;
        for (const auto& t : p.texts)
            if (!t.text.isEmpty())
                drawn << t.text;
        EXPECT_EQ(drawn, (QStringList{QStringLiteral("10.0.0.2"), QStringLiteral("    7"), QStringLiteral("name")}))
            << view;
        EXPECT_FALSE(Inked(p.image, kColumns.Data(kRow))) << view;
        EXPECT_TRUE(Inked(p.image, kColumns.Comment(kRow))) << view;
    }
}

TEST(TrafficLogPaint, ControlBytesShowTwoHalfSizeLetters)
{
    auto record = test::MakeRecord({'A', 0x0D, ' ', 0x7F});
    const Painted p = Paint(record.get(), ViewAscii, 0);
    const int left = kColumns.W0 + kColumns.W1;
    const int bottom = kRow.top() + kRow.height();
    // address, port, then A, C, R, blank, D, T
    ASSERT_EQ(p.texts.size(), 8u);
    const struct {
        QString text;
        int fontSize;
        int x;
        bool lower;
    } expected[] = {
        {QStringLiteral("A"), LogFontPixels, left, false},
        {QStringLiteral("C"), LogFontPixels / 2, left + p.w, false},
        {QStringLiteral("R"), LogFontPixels / 2, left + 2 * p.w - p.h, true},
        {QStringLiteral(" "), LogFontPixels, left + 2 * p.w, false},
        {QStringLiteral("D"), LogFontPixels / 2, left + 3 * p.w, false},
        {QStringLiteral("T"), LogFontPixels / 2, left + 4 * p.w - p.h, true},
    };
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        const auto& t = p.texts[i + 2];
        const auto& e = expected[i];
        EXPECT_EQ(t.text, e.text) << i;
        EXPECT_EQ(t.fontSize, e.fontSize) << i;
        EXPECT_EQ(t.rect.left(), e.x) << i;
        if (e.lower) {
            EXPECT_EQ(t.rect.top(), bottom - p.v) << i;
            EXPECT_EQ(t.rect.top() + t.rect.height(), bottom) << i;
        } else {
            EXPECT_EQ(t.rect.top(), kRow.top()) << i;
            EXPECT_EQ(t.rect.height(), kRow.height()) << i;
        }
    }
    // The C sits in the left half of its cell, the R in the lower right.
    const QRect cell(left + p.w, kRow.top(), p.w, kRow.height());
    EXPECT_TRUE(Inked(p.image, QRect(cell.left(), kRow.top() + 3, p.h, kRow.height() - 6)));
    EXPECT_TRUE(Inked(p.image, QRect(cell.left() + p.w - p.h, bottom - p.v, p.h, p.v)));
    // Half size means the letters are smaller than the row's full-size letter A.
    EXPECT_LT(p.h, p.w);
}

TEST(TrafficLogPaint, DoubleByteCharactersAreOneGlyph)
{
    // "あ" (82 A0), then a lead byte as the last byte.
    auto record = test::MakeRecord({0x82, 0xA0, 'x', 0x82});
    const Painted p = Paint(record.get(), ViewAscii, 0);
    const int left = kColumns.W0 + kColumns.W1;
    ASSERT_EQ(p.texts.size(), 5u);
    EXPECT_EQ(p.texts[2].text, QStringLiteral("あ"));
    EXPECT_EQ(p.texts[2].rect.left(), left);
    EXPECT_EQ(p.texts[3].text, QStringLiteral("x"));
    EXPECT_EQ(p.texts[3].rect.left(), left + p.ww);
    // The lone lead byte is one character of its own, in one cell.
    EXPECT_EQ(p.texts[4].text.size(), 1);
    EXPECT_EQ(p.texts[4].rect.left(), left + p.ww + p.w);
    EXPECT_EQ(p.texts[4].fontSize, LogFontPixels);
    // The glyph itself fits its two cells.
    EXPECT_LE(QFontMetrics(LogFont(LogFontPixels)).horizontalAdvance(QStringLiteral("あ")), p.ww);
}

TEST(TrafficLogPaint, AsciiOffsetShiftsByWholeBytes)
{
    auto record = test::MakeRecord({'0', '1', '2', 0x82, 0xA0, '5', '6'});
    const Painted p = Paint(record.get(), ViewAscii, 3);
    const int left = kColumns.W0 + kColumns.W1;
    // Bytes left of the offset are not drawn; the wide character starts the column.
    ASSERT_EQ(p.texts.size(), 5u);
    EXPECT_EQ(p.texts[2].text, QStringLiteral("あ"));
    EXPECT_EQ(p.texts[2].rect.left(), left);
    EXPECT_EQ(p.texts[4].text, QStringLiteral("6"));
    EXPECT_EQ(p.texts[4].rect.left(), left + p.ww + p.w);

    // A long datagram stops at the column's right edge: the characters that fit
    // whole beside the ellipsis, then the ellipsis.
    auto longRecord = test::MakeRecord(std::vector<std::uint8_t>(60000, 'z'));
    const Painted q = Paint(longRecord.get(), ViewAscii, 100);
    const std::size_t drawn = q.texts.size() - 2;
    const int e = QFontMetrics(LogFont(LogFontPixels)).horizontalAdvance(QString(QChar(LogEllipsis)));
    const std::size_t whole = static_cast<std::size_t>((kColumns.W2 - e) / q.w);
    EXPECT_EQ(drawn, whole + 1);
    EXPECT_EQ(q.texts.back().text, QString(QChar(LogEllipsis)));
    EXPECT_LE(q.texts.back().rect.left() + e, kColumns.W0 + kColumns.W1 + kColumns.W2);
}

TEST(TrafficLogPaint, MissingRecordLeavesTheRowBlank)
{
    const Painted p = Paint(nullptr, ViewHex, 0);
    EXPECT_TRUE(p.texts.empty());
    EXPECT_TRUE(p.images.empty());
    EXPECT_FALSE(Inked(p.image, kRow));
}

TEST(TrafficLogPaint, AsciiCellRespectsTheCanvasClip)
{
    QImage image(kWidth, 54, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    RecordingCanvas canvas(painter, QRect(0, 0, 100, 54)); // ends left of the data column
    const std::uint8_t bytes[] = {'a', 'b'};
    DrawAsciiCell(canvas, bytes, 2, LogFontPixels, kColumns.Data(kRow), 0);
    EXPECT_TRUE(canvas.texts.empty());
    DrawAsciiCell(canvas, bytes, 0, LogFontPixels, QRect(0, 0, 100, 18), 0);
    EXPECT_TRUE(canvas.texts.empty());
    DrawAsciiCell(canvas, bytes, 2, LogFontPixels, QRect(0, 0, 100, 18), 0);
    EXPECT_EQ(canvas.texts.size(), 2u);
    EXPECT_EQ(canvas.FontSize(), LogFontPixels);
    EXPECT_EQ(canvas.ClipRect(), QRect(0, 0, 100, 54));
}

} // namespace
} // namespace vpx
