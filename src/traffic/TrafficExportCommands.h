#pragma once

// The commands that take traffic out of the log: save it (the whole log or the
// selected rows) as pcapng or CSV, copy the selected rows as text lines, and
// the 表示 menu's switches for the time column and the filter row.

#include "traffic/TrafficExport.h"

#include <QObject>
#include <QString>

#include <functional>
#include <vector>

class QAction;
class QMenu;

namespace vpx {

class TTrafficLogView;
class UserPrompts;

class TTrafficExportCommands : public QObject {
    Q_OBJECT

public:
    // This end of the traffic at the moment of a save (the packets' local address and port).
    using LocalEndpoint = std::function<TrafficEndpoint()>;

    // Everything given must outlive the commands.
    TTrafficExportCommands(TTrafficLogView& view, UserPrompts& prompts, LocalEndpoint local,
                           QObject* parent = nullptr);

    QAction* ActionLogSave() const noexcept { return m_save; }
    QAction* ActionLogSaveSelected() const noexcept { return m_saveSelected; }
    QAction* ActionLogCopy() const noexcept { return m_copy; }
    QAction* ActionTimeColumn() const noexcept { return m_time; }
    QAction* ActionFilterRow() const noexcept { return m_filter; }
    // The log's pop-up menu.
    QMenu* LogPopupMenu() const noexcept { return m_popup; }

    // Asks for a file and writes the records there: CSV for a name ending in
    // ".csv", pcapng for one ending in ".pcapng", otherwise the format of the
    // filter chosen in the dialog. The records are copies: the log goes on
    // receiving, and dropping its oldest records, while the dialog is open. A file
    // that cannot be written gives the error box and leaves an existing file as it
    // was. Returns whether the file was written.
    bool SaveRecords(std::vector<TTrafficRecord> records);
    // The selected rows as text lines on the clipboard.
    void CopySelected();

    // The texts of the directions and the CSV header in the user's language.
    static TrafficTextNames TextNames();

    // Applies the stored switches (after the settings were read).
    void SyncSwitches();

private:
    static std::vector<TTrafficRecord> Copies(const std::vector<const TTrafficRecord*>& records);

    TTrafficLogView& m_view;
    UserPrompts& m_prompts;
    LocalEndpoint m_local;
    QString m_lastFile;
    QAction* m_save;
    QAction* m_saveSelected;
    QAction* m_copy;
    QAction* m_time;
    QAction* m_filter;
    QMenu* m_popup;
};

} // namespace vpx
