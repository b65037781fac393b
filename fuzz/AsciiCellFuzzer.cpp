// The traffic log's byte walkers: DrawAsciiCell (the ASCII view) and DrawLogRow
// through a canvas that records instead of painting, plus the text-only
// FormatCells and AsciiViewText, over any payload, offset, font size and column.

#include "FuzzCheck.h"

#include "traffic/TrafficLogFormat.h"
#include "traffic/TrafficLogPainter.h"
#include "traffic/TrafficRecord.h"

#include <QRect>
#include <QString>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace {

struct Drawn {
    QRect rect;
    QString text;
    int fontSize;
};

// A fixed-pitch font: half-width characters are half the pixel size (rounded
// up), full-width ones the whole size.
class RecordingCanvas : public vpx::TLogCanvas {
public:
    explicit RecordingCanvas(const QRect& clip, int fontSize) : m_clip(clip), m_outer(clip), m_size(fontSize) {}

    void FillRect(const QRect&) override {}
    void DrawImage(int, int, int index) override { VPX_FUZZ_CHECK(index >= 2 && index <= 257); }
    int FontSize() const override { return m_size; }
    void SetFontSize(int pixels) override { m_size = pixels; }
    int TextWidth(const QString& text) override
    {
        int width = 0;
        for (const QChar c : text)
            width += c.unicode() >= 0x3000 ? m_size : (m_size + 1) / 2;
        return width;
    }
    int TextHeight(const QString&) override { return m_size; }
    void DrawText(const QRect& rect, const QString& text, int) override
    {
        VPX_FUZZ_CHECK(m_depth > 0 || !m_inCell);
        m_drawn.push_back({rect, text, m_size});
    }
    QRect ClipRect() const override { return m_clip; }
    void SetClipRect(const QRect& rect) override
    {
        m_clip = m_clip.intersected(rect);
        ++m_depth;
    }
    void RemoveClip() override
    {
        if (m_depth == 0)
            return;
        if (--m_depth == 0)
            m_clip = m_outer;
    }

    bool m_inCell = false;
    QRect m_clip, m_outer;
    int m_size;
    int m_depth = 0;
    std::vector<Drawn> m_drawn;
};

int Byte(const std::uint8_t*& p, std::size_t& left)
{
    if (left == 0)
        return 0;
    --left;
    return *p++;
}

// Number of characters the ASCII view shows from `offset` on: each double-byte
// character counts once, each control byte once (its two letters), each other byte once.
std::size_t ViewCharacters(const std::uint8_t* bytes, std::size_t size, int offset)
{
    std::size_t n = 0;
    for (std::size_t i = 0; i < size;) {
        const std::size_t width = vpx::IsLeadByte(bytes[i]) && i + 1 < size ? 2 : 1;
        if (i >= static_cast<std::size_t>(offset))
            ++n;
        i += width;
    }
    return n;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::uint8_t* p = data;
    std::size_t left = size;
    const int o0 = Byte(p, left), o1 = Byte(p, left);
    // Mostly small offsets, where the walk is interesting; sometimes any position of the bar.
    const int offset = o0 < 224 ? o0 % 40 : ((o0 << 8) | o1) % (vpx::MaxLogOffset + 1);
    const int fontSize = 1 + Byte(p, left) % 40;
    const int columnLeft = Byte(p, left) - 64;
    const int columnWidth = Byte(p, left) * 4;
    const int clipChoice = Byte(p, left);
    const int viewType = Byte(p, left) % 4;
    const std::uint8_t* payload = p;
    const std::size_t count = left;

    const QRect column(columnLeft, 10, columnWidth, 18);
    // The canvas clip: everything, a part of the column, or nothing of it.
    QRect clip(-100000, -100000, 200000, 200000);
    if (clipChoice % 3 == 1)
        clip = QRect(columnLeft + clipChoice / 3, 0, columnWidth / 2 + 1, 100);
    else if (clipChoice % 3 == 2)
        clip = QRect(columnLeft + columnWidth + 5, 0, 10, 100);

    RecordingCanvas canvas(clip, fontSize);
    canvas.m_inCell = true;
    vpx::DrawAsciiCell(canvas, payload, count, fontSize, column, offset);
    VPX_FUZZ_CHECK(canvas.m_depth == 0);
    VPX_FUZZ_CHECK(canvas.m_size == fontSize);
    VPX_FUZZ_CHECK(canvas.m_clip == clip);

    const int w = (fontSize + 1) / 2;
    const int ww = std::max(fontSize, 2 * w);
    std::size_t shown = 0;
    for (std::size_t i = 0; i < canvas.m_drawn.size(); ++i) {
        const Drawn& d = canvas.m_drawn[i];
        VPX_FUZZ_CHECK(!d.text.isEmpty());
        VPX_FUZZ_CHECK(d.rect.left() < column.left() + column.width());
        VPX_FUZZ_CHECK(d.rect.left() >= column.left() - ww);
        VPX_FUZZ_CHECK(d.fontSize == fontSize || d.fontSize == fontSize / 2);
        if (d.fontSize != fontSize) {
            // A control byte: its two letters, the second at the cell's lower right.
            VPX_FUZZ_CHECK(i + 1 < canvas.m_drawn.size());
            const Drawn& second = canvas.m_drawn[++i];
            VPX_FUZZ_CHECK(second.fontSize == d.fontSize);
            VPX_FUZZ_CHECK(d.text.size() == 1 && second.text.size() == 1);
            VPX_FUZZ_CHECK(second.rect.bottom() == column.bottom());
        }
        if (d.rect.left() >= column.left())
            ++shown;
    }
    // Nothing is drawn past the column: at most the cells it can hold and the one cut at its edge.
    VPX_FUZZ_CHECK(shown <= static_cast<std::size_t>(columnWidth / w) + 1);
    // A column wide enough for everything shows every character from the offset on.
    const bool visible = !column.intersected(clip).isEmpty();
    if (visible && clip.contains(column) && static_cast<long long>(count) * ww < columnWidth)
        VPX_FUZZ_CHECK(shown == ViewCharacters(payload, count, offset));
    if (!visible || count == 0)
        VPX_FUZZ_CHECK(canvas.m_drawn.empty());

    // The text forms of the same views.
    const std::string ascii = vpx::AsciiViewText(payload, count, offset);
    VPX_FUZZ_CHECK(ascii.size() <= 2 * count);
    const std::size_t cells = vpx::VisibleCells(columnWidth, fontSize);
    for (const int view : {vpx::ViewHex, vpx::ViewDecimal}) {
        const std::string text = vpx::FormatCells(view, payload, count, offset, cells);
        const std::size_t rest = static_cast<std::size_t>(offset) < count ? count - offset : 0;
        VPX_FUZZ_CHECK(text.size() == std::min(rest, cells) * (view == vpx::ViewHex ? 3 : 4));
    }

    // A whole row, with a record whose Length may disagree with its bytes.
    vpx::TTrafficRecord record;
    record.Data.assign(payload, payload + count);
    record.Length = static_cast<std::int32_t>(count) + (clipChoice % 5) - 2;
    record.Kind = static_cast<std::uint8_t>(o1 % 4);
    record.PeerAddress = "127.0.0.1";
    record.PeerPort = static_cast<std::uint16_t>(o0 * 257);
    record.Comment.assign(reinterpret_cast<const char*>(payload), std::min<std::size_t>(count, 8));
    RecordingCanvas row(clip, fontSize);
    vpx::LogColumns columns{columnLeft + 80, 40, columnWidth};
    vpx::DrawLogRow(row, &record, QRect(0, 10, columnLeft + 120 + columnWidth + 60, 18), columns, viewType,
                    offset);
    VPX_FUZZ_CHECK(row.m_depth == 0);
    VPX_FUZZ_CHECK(row.m_size == fontSize);
    vpx::DrawLogRow(row, nullptr, QRect(0, 0, 10, 18), columns, viewType, offset);
    return 0;
}
