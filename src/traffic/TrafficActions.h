#pragma once

// The commands of the traffic log: clear, the three view types and the trace
// file switches. The window puts these actions into its menus and tool bars.

#include <QObject>

class QAction;
class QActionGroup;

namespace vpx {

class TCustomDebugLog;
class TTrafficLogView;

class TTrafficActions : public QObject {
    Q_OBJECT

public:
    // `log` is the UDP component's trace file; both must outlive the actions.
    TTrafficActions(TTrafficLogView& view, TCustomDebugLog& log, QObject* parent = nullptr);

    QAction* ActionClear() const noexcept { return m_clear; }
    QAction* ActionHex() const noexcept { return m_hex; }
    QAction* ActionDecimal() const noexcept { return m_decimal; }
    QAction* ActionAscii() const noexcept { return m_ascii; }
    QAction* ActionLog() const noexcept { return m_log; }
    QAction* ActionHexLog() const noexcept { return m_hexLog; }
    QAction* ActionAsciiLog() const noexcept { return m_asciiLog; }

    // Shows the trace file's switches as they are (after the settings were restored).
    void SyncLogSwitches();

    void ActionClearExecute();
    void ActionHexExecute();
    void ActionDecimalExecute();
    void ActionAsciiExecute();
    void ActionLogExecute();
    void ActionHexLogExecute();
    void ActionAsciiLogExecute();

private:
    QAction* Make(const QString& name, const QString& caption, const QString& hint, const QKeySequence& shortcut);
    void ShowViewType(int viewType);

    TTrafficLogView& m_view;
    TCustomDebugLog& m_debugLog;
    QAction* m_clear;
    QAction* m_hex;
    QAction* m_decimal;
    QAction* m_ascii;
    QAction* m_log;
    QAction* m_hexLog;
    QAction* m_asciiLog;
};

} // namespace vpx
