#pragma once

// The window's shared 16 x 16 image list: folders and command arrows for the
// command tree, the four traffic kind arrows for the log. Every image is drawn
// by our own code, so the program ships no bitmaps.

#include <QIcon>
#include <QPixmap>

#include <array>

class QPainter;

namespace vpx {

enum TImageIndex {
    imgGroupClosed = 0,     // closed folder
    imgGroupOpen = 1,       // open folder
    imgReceived = 2,        // blue arrow pointing right
    imgReceivedMatched = 3, // cyan arrow pointing right
    imgSent = 4,            // red arrow pointing left
    imgAutoReplySent = 5,   // yellow arrow pointing left
    imgUnused = 6,          // empty; nothing draws it
    imgCommandText = 7,     // command arrow marked T
    imgCommandMixed = 8,    // marked M
    imgCommandLittle = 9,   // marked ML
    imgCommandBig = 10,     // marked MB
    imgCommandEmpty = 11,   // command arrow crossed out
};

class ImageList {
public:
    static constexpr int Count = 12;
    static constexpr int Size = 16;

    // The list every window shares; built on first use (needs a GUI application).
    static const ImageList& Shared();

    // The image at 16 x 16 (and at `scale` times that for dense screens); an
    // index out of range gives a null pixmap.
    QPixmap Pixmap(int index, int scale = 1) const;
    QIcon Icon(int index) const;
    // Draws an image with its top left corner at (x, y); an index out of range draws nothing.
    void Draw(QPainter& painter, int x, int y, int index) const;

    // Paints image `index` into a 16 x 16 logical area (for tests and other sizes).
    static void Paint(QPainter& painter, int index);

private:
    ImageList();
    std::array<QPixmap, Count> m_pixmaps;
    std::array<QPixmap, Count> m_pixmaps2x;
    std::array<QIcon, Count> m_icons;
};

} // namespace vpx
