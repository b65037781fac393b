#pragma once

// A label whose letters are framed in another colour: the text is drawn moved by
// a pixel in each of the eight directions before it is drawn in its own colour.
// The About box and the version notice use it for their headline.

#include <QColor>
#include <QLabel>

namespace vpx {

class TFramedLabel : public QLabel {
public:
    explicit TFramedLabel(QWidget* parent = nullptr);

    QColor FrameColor() const { return m_frameColor; }
    void SetFrameColor(const QColor& value);
    QColor FontColor() const { return m_fontColor; }
    void SetFontColor(const QColor& value);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor m_frameColor = Qt::black;
    QColor m_fontColor = Qt::yellow;
};

} // namespace vpx
