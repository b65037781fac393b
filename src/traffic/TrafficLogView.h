#pragma once

// The traffic log pane: the view-type tabs over one page holding the column
// header, the owner-drawn list and the offset bar. The window embeds it and
// hands it every datagram it sends or receives.

#include "traffic/TrafficLogFilterModel.h"
#include "traffic/TrafficLogModel.h"
#include "traffic/TrafficLogPainter.h"
#include "traffic/TrafficSink.h"

#include <QAbstractItemDelegate>
#include <QListView>
#include <QTimer>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <vector>

class QHeaderView;
class QLabel;
class QScrollBar;
class QStandardItemModel;
class QTabBar;

namespace vpx {

class TTrafficFilterBar;

// Paints a log row from the header's section widths; rows are 18 pixels high.
// While the time header is shown, the row begins with the record's time.
class TTrafficLogDelegate : public QAbstractItemDelegate {
    Q_OBJECT

public:
    TTrafficLogDelegate(const QHeaderView& header, const QHeaderView& timeHeader, QObject* parent = nullptr);
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    LogColumns Columns() const;

private:
    const QHeaderView& m_header;
    const QHeaderView& m_timeHeader;
    QFont m_font;
};

// The log's list. While the view appends a record the list only keeps its
// bookkeeping (current row, selection) and remembers that its layout is stale;
// the layout of all rows, which costs as much as a thousand rows, is redone once
// when the view catches up.
class TTrafficLogList : public QListView {
public:
    using QListView::QListView;

    void SetDeferLayout(bool defer) noexcept { m_defer = defer; }
    bool LayoutStale() const noexcept { return m_stale; }
    // Lays the rows out again before the next use of their geometry.
    void CatchUp();

    // The copy key (Ctrl+C) on the list.
    std::function<void()> OnCopy;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void rowsInserted(const QModelIndex& parent, int start, int end) override;
    void rowsAboutToBeRemoved(const QModelIndex& parent, int start, int end) override;
    // A full log moves every row's contents up by one on each append; the whole
    // list is repainted when the view catches up, so a repaint request per
    // append (one paint per datagram at low rates) is work thrown away.
    void dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                     const QList<int>& roles = QList<int>()) override;

private:
    bool m_defer = false;
    bool m_stale = false;
};

class TTrafficLogView : public QWidget, public TTrafficSink {
    Q_OBJECT

public:
    explicit TTrafficLogView(QWidget* parent = nullptr);
    ~TTrafficLogView() override;

    // Appends a filled record to the model at once. The list catches up within
    // RefreshInterval: the list is painted once for all the records that came
    // meanwhile, and the newest record is selected and scrolled into view unless
    // the user has selected other rows.
    void AddTrafficRecord(TrafficRecordPtr record) override;
    // Brings the list up to date now. An empty selection, or one of just the row
    // that was newest, follows the newest record and scrolls it into view; any
    // other selection stays on its records, which a full log has moved up.
    void ShowNewest();
    // Whether appended records wait for the list to catch up.
    bool RefreshPending() const noexcept { return m_refresh.isActive(); }

    // Milliseconds between two refreshes of the list while records pour in: a
    // paint of the list costs far more than a datagram, so under a flood it is
    // done for many at once, yet often enough that the eye sees it move.
    static constexpr int RefreshInterval = 20;
    void ClearTrafficLog();

    // 0 hexadecimal, 1 decimal, 2 ASCII; other values are ignored.
    void SetViewType(int viewType);
    int GetViewType() const;

    int Offset() const;
    void SetOffset(int offset);

    // Start-up widths: address a quarter of the list, port an eighth, data a quarter.
    void ResetColumnWidths();
    // Cuts each of the first three sections that is wider than the header to its width.
    void CutColumnsToHeader();

    // The time column (時刻) before the address; hidden until asked for.
    void SetTimeColumnVisible(bool visible);
    bool TimeColumnVisible() const;
    // The filter row above the log; hidden until asked for. Hiding it stops
    // filtering (its fields stay for the next time).
    void SetFilterRowVisible(bool visible);
    bool FilterRowVisible() const;

    // Every record, oldest first, and the selected ones among those shown.
    std::vector<const TTrafficRecord*> AllRecords() const;
    std::vector<const TTrafficRecord*> SelectedRecords() const;
    // The model the list shows: the log's own, or the filtered rows.
    QAbstractItemModel* ShownModel() const;

    TTrafficLogModel& Model() noexcept { return m_model; }
    const TTrafficLogModel& Model() const noexcept { return m_model; }
    QTabBar* tcViewType() const noexcept { return m_tabs; }
    QHeaderView* Header() const noexcept { return m_header; }
    QListView* lstLog() const noexcept { return m_list; }
    QScrollBar* sbLog() const noexcept { return m_scroll; }
    QLabel* lblOffset() const noexcept { return m_offsetLabel; }
    TTrafficLogDelegate* Delegate() const noexcept { return m_delegate; }
    QHeaderView* TimeHeader() const noexcept { return m_timeHeader; }
    TTrafficFilterBar* FilterBar() const noexcept { return m_filterBar; }
    TTrafficLogFilterModel& FilterModel() noexcept { return m_filterModel; }

signals:
    void ViewTypeChanged(int viewType);
    // Ctrl+C on the list.
    void CopyRequested();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void tcViewTypeChange(int index);
    void sbLogChange(int position);
    void HeaderSized();
    void ApplyFilter();
    void ShowCount();
    // The list's selection names rows as they were at the last refresh; a full
    // log has since moved its records up by this many rows (it moves its records,
    // not its rows, so the selection cannot follow by itself).
    int PendingShift() const;
    std::uint64_t SerialOfShownRow(int row) const;
    void SelectNewest();
    void MoveSelectionUp(int rows);

    TTrafficLogModel m_model;
    TTrafficLogFilterModel m_filterModel{m_model};
    TTrafficFilterBar* m_filterBar = nullptr;
    QStandardItemModel* m_timeHeaderModel = nullptr;
    QHeaderView* m_timeHeader = nullptr;
    QStandardItemModel* m_headerModel = nullptr;
    QTabBar* m_tabs = nullptr;
    QHeaderView* m_header = nullptr;
    TTrafficLogList* m_list = nullptr;
    QScrollBar* m_scroll = nullptr;
    QLabel* m_offsetLabel = nullptr;
    TTrafficLogDelegate* m_delegate = nullptr;
    QTimer m_refresh;
    std::uint64_t m_syncedShifts = 0;
    // The record the last refresh selected as the newest.
    std::uint64_t m_newestSerial = UINT64_MAX;

};

} // namespace vpx
