#pragma once

// Keeps every pane of the main window usable while the window shrinks: the lower
// and right panes keep at least 30 pixels, the upper and left panes too.

namespace vpx {

inline constexpr int kSplitterSize = 4;
inline constexpr int kLeastPaneSize = 30;

// Height of the upper pane for a client area of `clientHeight` whose upper pane
// starts at `top` and is `height` high now. A pane of no height is left alone.
constexpr int UpperPaneHeight(int clientHeight, int top, int height)
{
    if (height <= 0)
        return height;
    if (clientHeight - top - height - kSplitterSize < kLeastPaneSize)
        height = clientHeight - top - kLeastPaneSize - kSplitterSize;
    if (height < kLeastPaneSize)
        height = kLeastPaneSize;
    return height;
}

constexpr int LeftPaneWidth(int clientWidth, int width)
{
    if (width <= 0)
        return width;
    if (clientWidth - width - kSplitterSize < kLeastPaneSize)
        width = clientWidth - kLeastPaneSize - kSplitterSize;
    if (width < kLeastPaneSize)
        width = kLeastPaneSize;
    return width;
}

} // namespace vpx
