#pragma once

// The settings that survive a restart, kept as string values under the key
// "Software\Norveth\VPX": read once at start-up and written once at shut-down.
// The window hands over what is stored through the two small targets below, so
// the rules here know nothing of how the window is built.

#include <QRect>
#include <QString>
#include <QStringList>

#include <array>
#include <functional>
#include <optional>

class QAction;
class QComboBox;
class QHeaderView;
class QWidget;

namespace vpx {

class TRegistryIniFile;
class TUDPControl;

// The program's key below the current user.
QString SettingsKey(); // "Software\Norveth\VPX"

inline constexpr int kHistoryCount = 20; // "Command0" .. "Command19"

// The view and send options, the command history and the UDP component's options.
struct TSettingsTarget {
    std::function<int()> ViewType;            // 0 hexadecimal, 1 decimal, 2 ASCII
    std::function<void(int)> SetViewType;
    std::function<int()> SendMode;            // 1 when ActionText is checked, else 0
    std::function<void(int)> SetSendMode;     // 0 checks ActionMix, 1 ActionText, others nothing
    std::function<int()> DefaultByteOrder;    // 0 when ActionLittleEndian is checked, else 1
    std::function<void(int)> SetDefaultByteOrder;
    std::function<QStringList()> History;     // the command box's list, most recent first
    std::function<void(const QString&)> AppendHistory;
    TUDPControl* UDPControl = nullptr;
    // The tool bar's peer, "PeerAddress" and "PeerPort" in "Option": nothing while
    // a box holds a value out of range, which then keeps what was stored before.
    std::function<std::optional<QString>()> PeerAddress;
    std::function<void(const QString&)> SetPeerAddress;
    std::function<std::optional<int>()> PeerPort;
    std::function<void(int)> SetPeerPort;
    // The interface language chosen in the options menu, "Language" in the key:
    // "" follows the locale, "ja" or "en". It takes effect at the next start.
    std::function<QString()> Language;
    std::function<void(const QString&)> SetLanguage;
    QAction* ActionLog = nullptr;
    // Checked: automatic replies answer the sender ("ReplyToSender" in "Option", off when missing).
    QAction* ActionReplyToSender = nullptr;
    QAction* ActionHexLog = nullptr;
    QAction* ActionAsciiLog = nullptr;
    // The traffic log's time column and filter row, "LogTime" and "LogFilter":
    // 1 shown, anything else hidden (as on a first start).
    std::function<bool()> LogTimeColumn;
    std::function<void(bool)> SetLogTimeColumn;
    std::function<bool()> LogFilterRow;
    std::function<void(bool)> SetLogFilterRow;

    // Fills History and AppendHistory from the items of a combo box.
    void BindHistory(QComboBox& combo);
};

// Reads the values in the key, "history" and "Option" and applies each at once.
// Missing values and values that are not decimal numbers give their defaults, and
// so do a log form, priority or sleep time the UDP component cannot take; view
// type, send mode and byte order go to their setters as stored, which ignore
// what they do not know.
void LoadSettings(const TSettingsTarget& target, const QString& key = SettingsKey());
// Writes the same values; all twenty history entries are always written.
// A stored peer that is missing or not a dotted address (four numbers 0..255) or
// a port (0..65535) is not applied: the tool bar keeps 0.0.0.0 and port 0.
void SaveSettings(const TSettingsTarget& target, const QString& key = SettingsKey());

// The main window's placement: its state and bounds, the two pane sizes and the
// first three sections of the log header.
struct TWindowPlacementTarget {
    QWidget* Window = nullptr;
    QHeaderView* Header = nullptr;           // the log header (sections 0, 1, 2)
    std::function<QRect()> WorkArea;         // unset: the available area of the window's screen
    std::function<int()> TopPaneTop;         // top of pnlTop in the client area
    std::function<int()> TopPaneHeight;
    std::function<void(int)> SetTopPaneHeight;
    std::function<int()> LeftPaneWidth;
    std::function<void(int)> SetLeftPaneWidth;
    std::function<void()> MinimizeApplication; // unset: the window is minimised
};

void RestoreWindowPlacement(const TWindowPlacementTarget& target, const QString& key = SettingsKey());
void SaveWindowPlacement(const TWindowPlacementTarget& target, const QString& key = SettingsKey());

// --- The rules themselves, free of widgets ---------------------------------

// A stored peer address in the form the tool bar shows ("10.0.0.1"), or nothing.
std::optional<QString> StoredPeerAddress(const QString& text);
// A stored peer port, or nothing.
std::optional<int> StoredPeerPort(const QString& text);

// The largest size or distance from the origin a stored bound may have (Qt's
// limit for a widget's size, QWIDGETSIZE_MAX).
inline constexpr int kMaxPlacementValue = 16777215;

// What "Window" holds; a value that is missing or not a number is absent, and so
// are all four bounds when one of them lies beyond kMaxPlacementValue.
struct StoredPlacement {
    int state = 0;
    std::optional<int> left, top, width, height;
    std::optional<int> topPane, leftPane;
    std::array<std::optional<int>, 3> logWidth;
};
StoredPlacement ReadStoredPlacement(const TRegistryIniFile& ini);

struct WindowBounds {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    friend bool operator==(const WindowBounds&, const WindowBounds&) = default;
};

// The bounds of a normal or minimised window after the stored size and position
// were fitted into the work area; a normal one is centred there when neither Left
// nor Top is stored.
WindowBounds FitWindowBounds(const StoredPlacement& stored, const WindowBounds& current, const QRect& workArea);

// A stored header section width: the smaller of it and the header's width;
// nothing for an absent or negative value.
std::optional<int> StoredSectionWidth(const std::optional<int>& stored, int headerWidth);

} // namespace vpx
