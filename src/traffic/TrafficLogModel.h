#pragma once

// The traffic log as a list model: one row per record, oldest first. Rows are
// painted by the log's delegate; the display and accessible texts give the row
// as the user sees it, so screen readers can read the log and rows can be copied.

#include "traffic/TrafficLog.h"

#include <QAbstractListModel>

namespace vpx {

class TTrafficLogModel : public QAbstractListModel, private TTrafficLogListener {
    Q_OBJECT

public:
    explicit TTrafficLogModel(QObject* parent = nullptr);
    ~TTrafficLogModel() override;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // Appends (dropping the oldest past 1000 records) and releases all records.
    void AddTrafficRecord(TrafficRecordPtr record);
    void ClearTrafficLog();

    const TTrafficLog& Log() const noexcept { return m_log; }
    const TTrafficRecord* Record(const QModelIndex& index) const;

    // The view type and offset the row texts are made with.
    int ViewType() const noexcept { return m_viewType; }
    void SetViewType(int viewType);
    int Offset() const noexcept { return m_offset; }
    void SetOffset(int offset);

    // The row as shown: address, port, data column from the offset, comment, tab-separated.
    QString RowText(int row) const;

signals:
    // A record was appended, whether the log grew or (full) shifted up by one.
    void RecordAppended();

private:
    void BeforeAppend(int row) override;
    void AfterAppend() override;
    void Shifted() override;
    void BeforeClear(int count) override;
    void AfterClear() override;
    void TextsChanged();

    TTrafficLog m_log;
    int m_viewType = 0;
    int m_offset = 0;
};

} // namespace vpx
