#pragma once

// Drawing one row of the traffic log. All drawing goes through TLogCanvas, a
// small canvas interface, so tests can see which texts went where and at which
// font size while the real canvas paints with QPainter.

#include "traffic/TrafficRecord.h"

#include <QBrush>
#include <QColor>
#include <QFont>
#include <QRect>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <map>

class QPainter;

namespace vpx {

class ImageList;

// The comment column's text: the record's comment, and for an answer that %DROP
// kept off the wire, the mark that says so.
QString LogCommentText(const TTrafficRecord& record);

class TLogCanvas {
public:
    virtual ~TLogCanvas() = default;
    // Fills with the canvas brush (the row's background).
    virtual void FillRect(const QRect& rect) = 0;
    // Image `index` of the image list with its top left corner at (x, y).
    virtual void DrawImage(int x, int y, int index) = 0;
    // The font size in pixels.
    virtual int FontSize() const = 0;
    virtual void SetFontSize(int pixels) = 0;
    virtual int TextWidth(const QString& text) = 0;
    virtual int TextHeight(const QString& text) = 0;
    // One line, no mnemonic processing, clipped to `rect`; `flags` are Qt alignment flags.
    virtual void DrawText(const QRect& rect, const QString& text, int flags) = 0;
    // `text` as it fits into `width`: whole when it does, else cut with an ellipsis
    // at its end. This one measures with TextWidth.
    virtual QString ElidedText(const QString& text, int width);
    // The area drawing can currently reach.
    virtual QRect ClipRect() const = 0;
    // Narrows drawing to `rect` until RemoveClip.
    virtual void SetClipRect(const QRect& rect) = 0;
    virtual void RemoveClip() = 0;
};

// The canvas over a QPainter, with the log's font at a given pixel size.
class TQPainterLogCanvas : public TLogCanvas {
public:
    TQPainterLogCanvas(QPainter& painter, const QFont& font, const QBrush& background, const QColor& text,
                       const QRect& clip, const ImageList& images);
    ~TQPainterLogCanvas() override;

    void FillRect(const QRect& rect) override;
    void DrawImage(int x, int y, int index) override;
    int FontSize() const override { return m_font.pixelSize(); }
    void SetFontSize(int pixels) override;
    int TextWidth(const QString& text) override;
    int TextHeight(const QString& text) override;
    void DrawText(const QRect& rect, const QString& text, int flags) override;
    QString ElidedText(const QString& text, int width) override;
    QRect ClipRect() const override { return m_clip; }
    void SetClipRect(const QRect& rect) override;
    void RemoveClip() override;

private:
    QPainter& m_painter;
    QFont m_font;
    QBrush m_background;
    QRect m_clip;
    QRect m_outerClip;
    int m_clipDepth = 0;
    const ImageList& m_images;
};

// The log's font: "ＭＳ ゴシック" or its metric twin, fixed pitch, at `pixels` pixels.
QFont LogFont(int pixels);
inline constexpr int LogFontPixels = 19;
inline constexpr int LogRowHeight = 18;
// What ends a cell that is cut at its column's edge.
inline constexpr char16_t LogEllipsis = u'\u2026';

// Widths of the first three header sections (address, port, data); the comment
// column reaches the row's right edge.
struct LogColumns {
    int W0 = 0;
    int W1 = 0;
    int W2 = 0;
    QRect Address(const QRect& row) const;
    QRect Port(const QRect& row) const;
    QRect Data(const QRect& row) const;
    QRect Comment(const QRect& row) const;
};

// Draws the payload as code page 932 text into the data column `column`, the
// first shown byte being `offset`: a double-byte character as one full-width
// glyph, a control byte as its two letters at half size, every other byte as
// one character; stops at the column's right edge, with an ellipsis in place of
// the characters that do not fit. `fontSize` is the log font's size.
void DrawAsciiCell(TLogCanvas& canvas, const std::uint8_t* bytes, std::size_t count, int fontSize,
                   const QRect& column, int offset);

// Draws one row: background, kind icon, address, port, data column in the view
// type from the offset, comment. A cell that does not fit its column ends in an
// ellipsis, never in a character cut in half. A missing record leaves the row blank.
void DrawLogRow(TLogCanvas& canvas, const TTrafficRecord* record, const QRect& row, const LogColumns& columns,
                int viewType, int offset);

} // namespace vpx
