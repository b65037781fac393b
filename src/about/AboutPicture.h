#pragma once

// The program's logo, drawn in code (two datagrams passing each other on a blue
// tile), and the About box's animated picture, which turns and zooms it.

#include <QImage>
#include <QPixmap>
#include <QWidget>

#include <functional>

class QPainter;

namespace vpx {

// Draws the logo into `bounds`.
void DrawVorpexLogo(QPainter& painter, const QRectF& bounds);
// The logo as a square picture of `size` pixels with a transparent background.
QPixmap VorpexLogoPixmap(int size);

// One frame of the animation: the turn in degrees and the zoom factor.
struct AboutFrame {
    double angle = 0;
    double scale = 1;
};
inline constexpr int kAboutPhases = 360; // phases in one full turn
// The frame at a phase (any integer; the animation repeats every kAboutPhases).
AboutFrame AboutFrameAt(int phase);
// A tick's count clamped to -10..10 and run backwards while the pointer is over the picture.
int AboutPhaseStep(int delay, bool hovered);

class TAboutPicture : public QWidget {
public:
    explicit TAboutPicture(QWidget* parent = nullptr);

    int Phase() const noexcept { return m_phase; }
    bool Hovered() const noexcept { return m_hovered; }
    // Moves the animation on by a timer tick and repaints.
    void Advance(int delay);
    // Draws the current frame again from the logo (made again if released).
    void Refresh();
    // Lets go of the pictures the animation draws from.
    void ReleaseBitmaps();
    bool HasBitmaps() const noexcept { return !m_logo.isNull(); }

    std::function<void()> OnClick;
    std::function<void()> OnDblClick;

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void Render();

    QImage m_logo;  // the source picture
    QImage m_frame; // what is shown
    int m_phase = 0;
    bool m_hovered = false;
};

// A picture that reports clicks and double clicks (the About box's top-left logo).
class TClickImage : public QWidget {
public:
    explicit TClickImage(QWidget* parent = nullptr);
    void SetPicture(const QPixmap& picture);
    const QPixmap& Picture() const noexcept { return m_picture; }

    std::function<void()> OnClick;
    std::function<void()> OnDblClick;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    QPixmap m_picture;
};

} // namespace vpx
