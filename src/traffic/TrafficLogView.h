#pragma once

// The traffic log pane: the view-type tabs over one page holding the column
// header, the owner-drawn list and the offset bar. The window embeds it and
// hands it every datagram it sends or receives.

#include "traffic/TrafficLogModel.h"
#include "traffic/TrafficLogPainter.h"

#include <QAbstractItemDelegate>
#include <QWidget>

class QHeaderView;
class QLabel;
class QListView;
class QScrollBar;
class QStandardItemModel;
class QTabBar;

namespace vpx {

// Paints a log row from the header's section widths; rows are 18 pixels high.
class TTrafficLogDelegate : public QAbstractItemDelegate {
    Q_OBJECT

public:
    TTrafficLogDelegate(const QHeaderView& header, QObject* parent = nullptr);
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    LogColumns Columns() const;

private:
    const QHeaderView& m_header;
    QFont m_font;
};

class TTrafficLogView : public QWidget {
    Q_OBJECT

public:
    explicit TTrafficLogView(QWidget* parent = nullptr);
    ~TTrafficLogView() override;

    // Appends a filled record; before the list is painted again the newest
    // record is selected and scrolled into view.
    void AddTrafficRecord(TrafficRecordPtr record);
    // Selects the newest record and scrolls it into view now.
    void ShowNewest();
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

    TTrafficLogModel& Model() noexcept { return m_model; }
    const TTrafficLogModel& Model() const noexcept { return m_model; }
    QTabBar* tcViewType() const noexcept { return m_tabs; }
    QHeaderView* Header() const noexcept { return m_header; }
    QListView* lstLog() const noexcept { return m_list; }
    QScrollBar* sbLog() const noexcept { return m_scroll; }
    QLabel* lblOffset() const noexcept { return m_offsetLabel; }
    TTrafficLogDelegate* Delegate() const noexcept { return m_delegate; }

signals:
    void ViewTypeChanged(int viewType);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void tcViewTypeChange(int index);
    void sbLogChange(int position);
    void HeaderSized();

    TTrafficLogModel m_model;
    QStandardItemModel* m_headerModel = nullptr;
    QTabBar* m_tabs = nullptr;
    QHeaderView* m_header = nullptr;
    QListView* m_list = nullptr;
    QScrollBar* m_scroll = nullptr;
    QLabel* m_offsetLabel = nullptr;
    TTrafficLogDelegate* m_delegate = nullptr;
    bool m_showNewestPending = false;
};

} // namespace vpx
