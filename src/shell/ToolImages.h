#pragma once

// The tool bar and menu images, drawn by our own code on a 16 x 16 grid (and at
// twice that for high-density screens), so the program ships no bitmaps.

#include <QIcon>

namespace vpx {

enum class ToolImage {
    Exit,        // a red exit door
    Log,         // a floppy disk
    Open,        // an open folder
    CommEnv,     // a globe
    Save,        // a page going onto a floppy disk
    Clear,       // a page with sparkles
    Send,        // an envelope
    Mix,         // a circle of mixed symbols
    Text,        // a letter A
    Help,        // a red book with a question mark
    LittleEndian, // a letter L
    BigEndian,   // a letter B
    AutoReturn,  // a curved blue return arrow
    Reload,      // a blue circular arrow
    Connect,     // a plug with sparks
    AppIcon,     // the window icon
};

class ToolImages {
public:
    static QIcon Icon(ToolImage image);
};

} // namespace vpx
