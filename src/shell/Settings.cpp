#include "shell/Settings.h"

#include "platform/Registry.h"
#include "shell/PaneRules.h"
#include "transport/UDPCtrl.h"

#include <QAction>
#include <QComboBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QMargins>
#include <QScreen>
#include <QWidget>

#include <algorithm>
#include <cstdint>

namespace vpx {

namespace {

const QString kHistory = QStringLiteral("history");
const QString kOption = QStringLiteral("Option");
const QString kWindow = QStringLiteral("Window");

const QString kViewType = QStringLiteral("ViewType");
const QString kLogTime = QStringLiteral("LogTime");
const QString kLogFilter = QStringLiteral("LogFilter");
const QString kTextMode = QStringLiteral("TextMode");
const QString kByteOrder = QStringLiteral("ByteOrder");
const QString kLogType = QStringLiteral("LogType");
const QString kPriority = QStringLiteral("Priority");
const QString kSleepTime = QStringLiteral("SleepTime");
const QString kWriteLog = QStringLiteral("WriteLog");
const QString kPeerAddress = QStringLiteral("PeerAddress");
const QString kPeerPort = QStringLiteral("PeerPort");
const QString kReplyToSender = QStringLiteral("ReplyToSender");
const QString kLanguage = QStringLiteral("Language");

const QString kLogWidthNames[3] = {QStringLiteral("LogWidth"), QStringLiteral("LogWidth2"),
                                   QStringLiteral("LogWidth3")};

QString HistoryName(int i)
{
    return QStringLiteral("Command%1").arg(i);
}

// A value that is missing, not a string or not a decimal number is absent.
std::optional<int> ReadOptionalInteger(const TRegistryIniFile& ini, const QString& section, const QString& ident)
{
    bool ok = false;
    const int value = ini.ReadString(section, ident, QString()).trimmed().toInt(&ok, 10);
    if (!ok)
        return std::nullopt;
    return value;
}

enum WindowStateValue { wsNormal = 0, wsMinimized = 1, wsMaximized = 2 };

int StateValue(const QWidget& window)
{
    const Qt::WindowStates s = window.windowState();
    if (s & Qt::WindowMinimized)
        return wsMinimized;
    if (s & Qt::WindowMaximized)
        return wsMaximized;
    return wsNormal;
}

// The window's frame around its client area; none until the window system has framed it.
QMargins FrameMargins(const QWidget& window)
{
    const QRect frame = window.frameGeometry();
    const QRect client = window.geometry();
    return {client.left() - frame.left(), client.top() - frame.top(), frame.right() - client.right(),
            frame.bottom() - client.bottom()};
}

// The stored bounds are the frame's position and the client area's size: that
// pair round-trips even when the window system tells the frame's size only after
// the window was shown, where frame sizes would make the window creep larger at
// every start. A minimised or maximised window gives the bounds it goes back to.
WindowBounds CurrentBounds(const QWidget& window)
{
    QRect client = window.geometry();
    if (StateValue(window) != wsNormal && window.normalGeometry().isValid())
        client = window.normalGeometry();
    const QMargins m = FrameMargins(window);
    return {client.x() - m.left(), client.y() - m.top(), client.width(), client.height()};
}

WindowBounds WithFrame(WindowBounds b, const QMargins& m)
{
    b.width += m.left() + m.right();
    b.height += m.top() + m.bottom();
    return b;
}

void ApplyFrameBounds(QWidget& window, const WindowBounds& frame, const QMargins& m)
{
    window.move(frame.left, frame.top);
    window.resize(frame.width - m.left() - m.right(), frame.height - m.top() - m.bottom());
}

QRect WorkAreaOf(const TWindowPlacementTarget& target)
{
    if (target.WorkArea)
        return target.WorkArea();
    QScreen* screen = target.Window ? target.Window->screen() : nullptr;
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

// Steps shared by every state: the panes from the client size, then the header.
void RestorePanesAndHeader(const TWindowPlacementTarget& target, const StoredPlacement& stored, QSize client)
{
    if (stored.topPane && *stored.topPane > 0 && target.SetTopPaneHeight) {
        const int top = target.TopPaneTop ? target.TopPaneTop() : 0;
        target.SetTopPaneHeight(UpperPaneHeight(client.height(), top, *stored.topPane));
    }
    if (stored.leftPane && *stored.leftPane > 0 && target.SetLeftPaneWidth)
        target.SetLeftPaneWidth(LeftPaneWidth(client.width(), *stored.leftPane));
    if (target.Header) {
        const int headerWidth = target.Header->width();
        for (int i = 0; i < 3 && i < target.Header->count(); ++i) {
            if (const auto w = StoredSectionWidth(stored.logWidth[i], headerWidth))
                target.Header->resizeSection(i, *w);
        }
    }
}

} // namespace

QString SettingsKey()
{
    return QStringLiteral("Software\\Norveth\\VPX");
}

void TSettingsTarget::BindHistory(QComboBox& combo)
{
    QComboBox* box = &combo;
    History = [box] {
        QStringList items;
        for (int i = 0; i < box->count(); ++i)
            items << box->itemText(i);
        return items;
    };
    AppendHistory = [box](const QString& entry) { box->addItem(entry); };
}

void LoadSettings(const TSettingsTarget& target, const QString& key)
{
    const TRegistryIniFile ini(key);

    if (target.SetViewType)
        target.SetViewType(ini.ReadInteger(QString(), kViewType, 0));
    if (target.SetSendMode)
        target.SetSendMode(ini.ReadInteger(QString(), kTextMode, 1));
    if (target.SetDefaultByteOrder)
        target.SetDefaultByteOrder(ini.ReadInteger(QString(), kByteOrder, 0));
    if (target.SetLogTimeColumn)
        target.SetLogTimeColumn(ini.ReadInteger(QString(), kLogTime, 0) == 1);
    if (target.SetLogFilterRow)
        target.SetLogFilterRow(ini.ReadInteger(QString(), kLogFilter, 0) == 1);
    int logType = ini.ReadInteger(QString(), kLogType, ltHexList);
    if (logType != ltHexList && logType != ltAscii)
        logType = ltHexList; // a form the trace cannot write would lose every payload
    if (target.UDPControl)
        target.UDPControl->SetLogType(static_cast<TLogType>(logType));
    if (target.ActionHexLog)
        target.ActionHexLog->setChecked(logType == ltHexList);
    if (target.ActionAsciiLog)
        target.ActionAsciiLog->setChecked(logType == ltAscii);

    for (int i = 0; i < kHistoryCount; ++i) {
        const QString entry = ini.ReadString(kHistory, HistoryName(i), QString());
        if (entry.isEmpty())
            break;
        if (target.AppendHistory)
            target.AppendHistory(entry);
    }

    int priority = ini.ReadInteger(kOption, kPriority, tpNormal);
    if (!IsValidPriority(priority))
        priority = tpNormal;
    int sleepTime = ini.ReadInteger(kOption, kSleepTime, 0);
    if (sleepTime < 0)
        sleepTime = 0;
    const bool writeLog = ini.ReadBool(kOption, kWriteLog, false);
    if (target.UDPControl) {
        target.UDPControl->SetPriority(static_cast<TThreadPriority>(priority));
        target.UDPControl->SetSleepTime(sleepTime);
        target.UDPControl->SetWriteLog(writeLog);
    }
    if (target.ActionLog)
        target.ActionLog->setChecked(writeLog);
    if (target.ActionReplyToSender)
        target.ActionReplyToSender->setChecked(ini.ReadBool(kOption, kReplyToSender, false));

    if (const auto address = StoredPeerAddress(ini.ReadString(kOption, kPeerAddress, QString()));
        address && target.SetPeerAddress)
        target.SetPeerAddress(*address);
    if (const auto port = StoredPeerPort(ini.ReadString(kOption, kPeerPort, QString())); port && target.SetPeerPort)
        target.SetPeerPort(*port);
    if (target.SetLanguage)
        target.SetLanguage(ini.ReadString(QString(), kLanguage, QString()));
}

void SaveSettings(const TSettingsTarget& target, const QString& key)
{
    TRegistryIniFile ini(key);

    ini.WriteInteger(QString(), kViewType, target.ViewType ? target.ViewType() : 0);
    ini.WriteInteger(QString(), kByteOrder, target.DefaultByteOrder ? target.DefaultByteOrder() : 0);
    ini.WriteInteger(QString(), kTextMode, target.SendMode ? target.SendMode() : 1);
    ini.WriteInteger(QString(), kLogType, target.UDPControl ? target.UDPControl->LogType() : ltHexList);
    if (target.LogTimeColumn)
        ini.WriteInteger(QString(), kLogTime, target.LogTimeColumn() ? 1 : 0);
    if (target.LogFilterRow)
        ini.WriteInteger(QString(), kLogFilter, target.LogFilterRow() ? 1 : 0);

    const QStringList history = target.History ? target.History() : QStringList();
    for (int i = 0; i < kHistoryCount; ++i)
        ini.WriteString(kHistory, HistoryName(i), i < history.size() ? history.at(i) : QString());

    if (target.UDPControl) {
        ini.WriteInteger(kOption, kSleepTime, target.UDPControl->SleepTime());
        ini.WriteInteger(kOption, kPriority, target.UDPControl->Priority());
        ini.WriteBool(kOption, kWriteLog, target.UDPControl->WriteLog());
    }
    if (const auto address = target.PeerAddress ? target.PeerAddress() : std::nullopt)
        ini.WriteString(kOption, kPeerAddress, *address);
    if (const auto port = target.PeerPort ? target.PeerPort() : std::nullopt)
        ini.WriteInteger(kOption, kPeerPort, *port);
    if (target.ActionReplyToSender)
        ini.WriteBool(kOption, kReplyToSender, target.ActionReplyToSender->isChecked());
    if (target.Language)
        ini.WriteString(QString(), kLanguage, target.Language());
    ini.UpdateFile();
}

std::optional<QString> StoredPeerAddress(const QString& text)
{
    const QStringList parts = text.trimmed().split(QLatin1Char('.'));
    if (parts.size() != 4)
        return std::nullopt;
    QStringList canonical;
    for (const QString& part : parts) {
        bool ok = false;
        const int value = part.toInt(&ok, 10);
        if (!ok || value < 0 || value > 255 || part.startsWith(QLatin1Char('+')) || part.startsWith(QLatin1Char('-')))
            return std::nullopt;
        canonical << QString::number(value);
    }
    return canonical.join(QLatin1Char('.'));
}

std::optional<int> StoredPeerPort(const QString& text)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok, 10);
    if (!ok || value < 0 || value > 65535)
        return std::nullopt;
    return value;
}

StoredPlacement ReadStoredPlacement(const TRegistryIniFile& ini)
{
    StoredPlacement s;
    s.state = ReadOptionalInteger(ini, kWindow, QStringLiteral("State")).value_or(0);
    s.left = ReadOptionalInteger(ini, kWindow, QStringLiteral("Left"));
    s.top = ReadOptionalInteger(ini, kWindow, QStringLiteral("Top"));
    s.width = ReadOptionalInteger(ini, kWindow, QStringLiteral("Width"));
    s.height = ReadOptionalInteger(ini, kWindow, QStringLiteral("Height"));
    s.topPane = ReadOptionalInteger(ini, kWindow, QStringLiteral("TopPane"));
    s.leftPane = ReadOptionalInteger(ini, kWindow, QStringLiteral("LeftPane"));
    for (int i = 0; i < 3; ++i)
        s.logWidth[i] = ReadOptionalInteger(ini, kWindow, kLogWidthNames[i]);
    // Beyond Qt's own limit for a widget's size no screen ever had the window: the
    // bounds are not a placement at all, and the window starts centred.
    const auto impossible = [](const std::optional<int>& v) {
        return v && (*v > kMaxPlacementValue || *v < -kMaxPlacementValue);
    };
    if (impossible(s.left) || impossible(s.top) || impossible(s.width) || impossible(s.height))
        s.left = s.top = s.width = s.height = std::nullopt;
    return s;
}

WindowBounds FitWindowBounds(const StoredPlacement& stored, const WindowBounds& current, const QRect& workArea)
{
    // Wide arithmetic: a stored value may be anything an int holds, and a sum of two
    // of them must neither wrap nor leave the window off the work area.
    using Wide = std::int64_t;
    WindowBounds b = current;
    if (stored.width && *stored.width > 0)
        b.width = std::min(*stored.width, workArea.width());
    if (stored.height && *stored.height > 0)
        b.height = std::min(*stored.height, workArea.height());
    const Wide areaRight = Wide{workArea.left()} + workArea.width();
    const Wide areaBottom = Wide{workArea.top()} + workArea.height();
    if (stored.left) {
        Wide left = *stored.left;
        if (left + b.width > areaRight)
            left = areaRight - b.width;
        if (left < workArea.left())
            left = workArea.left();
        b.left = static_cast<int>(left);
    }
    if (stored.top) {
        Wide top = *stored.top;
        if (top + b.height > areaBottom)
            top = areaBottom - b.height;
        if (top < workArea.top())
            top = workArea.top();
        b.top = static_cast<int>(top);
    }
    if (stored.state == wsNormal && !stored.left && !stored.top) {
        // The centre of the work area itself: halving its right edge instead would
        // put the window across two screens when the work area does not start at 0.
        // C++ division truncates towards zero, as the placement rule asks.
        b.left = workArea.left() + workArea.width() / 2 - b.width / 2;
        b.top = workArea.top() + workArea.height() / 2 - b.height / 2;
    }
    return b;
}

std::optional<int> StoredSectionWidth(const std::optional<int>& stored, int headerWidth)
{
    if (!stored || *stored < 0)
        return std::nullopt;
    return std::min(*stored, headerWidth);
}

void RestoreWindowPlacement(const TWindowPlacementTarget& target, const QString& key)
{
    if (!target.Window)
        return;
    QWidget& window = *target.Window;
    const StoredPlacement stored = ReadStoredPlacement(TRegistryIniFile(key));
    const QRect workArea = WorkAreaOf(target);

    switch (stored.state) {
    case wsMaximized: {
        // The window system may grow the window only later; the panes are measured
        // against the size the window is about to have, not the one it leaves.
        const QSize client = workArea.marginsRemoved(FrameMargins(window)).size();
        window.setWindowState((window.windowState() & ~Qt::WindowMinimized) | Qt::WindowMaximized);
        RestorePanesAndHeader(target, stored, client);
        return;
    }
    case wsNormal:
    case wsMinimized: {
        // The rules fit the whole frame into the work area.
        const QMargins m = FrameMargins(window);
        StoredPlacement framed = stored;
        if (framed.width && *framed.width > 0)
            *framed.width += m.left() + m.right();
        if (framed.height && *framed.height > 0)
            *framed.height += m.top() + m.bottom();
        const WindowBounds fitted = FitWindowBounds(framed, WithFrame(CurrentBounds(window), m), workArea);
        ApplyFrameBounds(window, fitted, m);
        RestorePanesAndHeader(target, stored, window.size());
        if (stored.state == wsMinimized) {
            if (target.MinimizeApplication)
                target.MinimizeApplication();
            else
                window.setWindowState(window.windowState() | Qt::WindowMinimized);
        }
        return;
    }
    default:
        return; // not a state this program writes: keep what the system chose
    }
}

void SaveWindowPlacement(const TWindowPlacementTarget& target, const QString& key)
{
    if (!target.Window)
        return;
    const QWidget& window = *target.Window;
    TRegistryIniFile ini(key);
    const WindowBounds b = CurrentBounds(window);
    ini.WriteInteger(kWindow, QStringLiteral("State"), StateValue(window));
    ini.WriteInteger(kWindow, QStringLiteral("Left"), b.left);
    ini.WriteInteger(kWindow, QStringLiteral("Top"), b.top);
    ini.WriteInteger(kWindow, QStringLiteral("Width"), b.width);
    ini.WriteInteger(kWindow, QStringLiteral("Height"), b.height);
    if (target.TopPaneHeight)
        ini.WriteInteger(kWindow, QStringLiteral("TopPane"), target.TopPaneHeight());
    if (target.LeftPaneWidth)
        ini.WriteInteger(kWindow, QStringLiteral("LeftPane"), target.LeftPaneWidth());
    if (target.Header) {
        for (int i = 0; i < 3 && i < target.Header->count(); ++i)
            ini.WriteInteger(kWindow, kLogWidthNames[i], target.Header->sectionSize(i));
    }
    ini.UpdateFile();
}

} // namespace vpx
