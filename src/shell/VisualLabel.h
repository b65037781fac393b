#pragma once

// A label whose letters get a frame, a shadow or a relief: the text is drawn
// several times, moved by a pixel, before it is drawn in its own colour.

#include <QColor>
#include <QLabel>

#include <vector>

namespace vpx {

enum TFrameType { ftNone, ftFrame, ftShadow, ftLowered, ftRaised, ftFlash };

// One drawing of the text: moved by (dx, dy) in the given colour.
struct TextPass {
    int dx = 0;
    int dy = 0;
    QColor color;
    friend bool operator==(const TextPass&, const TextPass&) = default;
};

// The drawings of a label's text, in order; the last is the text itself at (0, 0).
// A disabled label draws every pass in `grayText`.
std::vector<TextPass> FramePasses(TFrameType type, bool enabled, const QColor& frameColor,
                                  const QColor& fontColor, const QColor& shadow,
                                  const QColor& highlight, const QColor& grayText);

class TVisualLabel : public QLabel {
    Q_OBJECT

public:
    explicit TVisualLabel(QWidget* parent = nullptr);
    explicit TVisualLabel(const QString& text, QWidget* parent = nullptr);

    TFrameType FrameType() const noexcept { return m_frameType; }
    void SetFrameType(TFrameType value);
    QColor FrameColor() const { return m_frameColor; }
    void SetFrameColor(const QColor& value);

    // Whether "&" marks the next letter as the mnemonic (shown underlined) rather than drawn.
    bool ShowAccelChar() const noexcept { return m_showAccelChar; }
    void SetShowAccelChar(bool value);

    // Whether the background is left alone (true) or filled with the label's colour.
    bool Transparent() const noexcept { return m_transparent; }
    void SetTransparent(bool value);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    std::vector<TextPass> Passes() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int TextFlags() const;
    QString MeasuredText() const;

    TFrameType m_frameType = ftFrame;
    QColor m_frameColor = Qt::black;
    bool m_showAccelChar = true;
    bool m_transparent = false;
};

} // namespace vpx
