#pragma once

// The traffic log's rows that pass the filter, over the log's own model. The
// view shows this model only while a filter is active; each append then costs
// one test of the new record, never a pass over the whole log.

#include "traffic/TrafficFilter.h"
#include "traffic/TrafficLogModel.h"

#include <QAbstractListModel>

#include <optional>

namespace vpx {

class TTrafficLogFilterModel : public QAbstractListModel {
    Q_OBJECT

public:
    // `source` must outlive this model.
    explicit TTrafficLogFilterModel(TTrafficLogModel& source, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // Filters the whole log anew; without a filter the model holds no rows (the
    // view then shows the log's own model). A pattern that does not compile changes
    // nothing and gives the character position where it fails.
    std::optional<std::size_t> SetCriteria(const TrafficFilterCriteria& criteria);
    // Lets every record through again.
    void ResetFilter();
    bool Active() const noexcept { return m_filter.Active(); }
    const TTrafficFilter& Filter() const noexcept { return m_filter; }

    TTrafficLogModel& Source() const noexcept { return m_source; }
    const TTrafficRecord* Record(const QModelIndex& index) const;
    // The source row of a shown row (-1 for none), and the other way round (-1 when hidden).
    int SourceRow(int row) const noexcept { return m_index.LogRow(row); }
    int ShownRow(int sourceRow) const noexcept { return m_index.ShownRow(sourceRow); }

private:
    void SourceAppended();
    void SourceCleared();
    void SourceTextsChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight, const QList<int>& roles);
    void Rebuild();

    TTrafficLogModel& m_source;
    TTrafficFilter m_filter;
    TTrafficFilterIndex m_index;
    int m_sourceCount = 0; // the log's size after the last append this model saw
};

} // namespace vpx
