#include "traffic/TrafficLogFilterModel.h"

namespace vpx {

TTrafficLogFilterModel::TTrafficLogFilterModel(TTrafficLogModel& source, QObject* parent)
    : QAbstractListModel(parent), m_source(source), m_sourceCount(source.rowCount())
{
    connect(&m_source, &TTrafficLogModel::RecordAppended, this, &TTrafficLogFilterModel::SourceAppended);
    connect(&m_source, &QAbstractItemModel::rowsRemoved, this, &TTrafficLogFilterModel::SourceCleared);
    connect(&m_source, &QAbstractItemModel::modelReset, this, &TTrafficLogFilterModel::SourceCleared);
    connect(&m_source, &QAbstractItemModel::dataChanged, this, &TTrafficLogFilterModel::SourceTextsChanged);
}

int TTrafficLogFilterModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_index.Count();
}

const TTrafficRecord* TTrafficLogFilterModel::Record(const QModelIndex& index) const
{
    if (!index.isValid() || index.model() != this || index.column() != 0)
        return nullptr;
    return m_source.Log().Record(m_index.LogRow(index.row()));
}

QVariant TTrafficLogFilterModel::data(const QModelIndex& index, int role) const
{
    if (!Record(index))
        return {};
    return m_source.data(m_source.index(m_index.LogRow(index.row())), role);
}

Qt::ItemFlags TTrafficLogFilterModel::flags(const QModelIndex& index) const
{
    if (!Record(index))
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

std::optional<std::size_t> TTrafficLogFilterModel::SetCriteria(const TrafficFilterCriteria& criteria)
{
    if (auto error = m_filter.SetCriteria(criteria))
        return error;
    Rebuild();
    return std::nullopt;
}

void TTrafficLogFilterModel::ResetFilter()
{
    m_filter.Reset();
    Rebuild();
}

void TTrafficLogFilterModel::Rebuild()
{
    beginResetModel();
    m_index.Clear();
    // Without a filter the view shows the log's own model; this one rests empty.
    if (m_filter.Active())
        m_index.Rebuild(m_source.Log(), m_filter);
    m_sourceCount = m_source.rowCount();
    endResetModel();
}

void TTrafficLogFilterModel::SourceAppended()
{
    const int count = m_source.rowCount();
    // A full log that appends keeps its size: its oldest record went.
    const bool dropped = count == m_sourceCount;
    m_sourceCount = count;
    if (!m_filter.Active())
        return;
    if (dropped && m_index.OldestDropped()) {
        beginRemoveRows(QModelIndex(), 0, 0);
        m_index.RemoveFirst();
        endRemoveRows();
    }
    if (m_index.NewestPasses(m_source.Log(), m_filter)) {
        const int row = m_index.Count();
        beginInsertRows(QModelIndex(), row, row);
        m_index.AddNewest(m_source.Log());
        endInsertRows();
    }
}

void TTrafficLogFilterModel::SourceCleared()
{
    if (m_index.Count() == 0) {
        m_sourceCount = m_source.rowCount();
        m_index.Clear();
        return;
    }
    Rebuild();
}

void TTrafficLogFilterModel::SourceTextsChanged(const QModelIndex&, const QModelIndex&, const QList<int>& roles)
{
    // A shift of the full log comes without roles and is followed by its append;
    // a new view type or offset changes every row's text.
    if (roles.isEmpty() || m_index.Count() == 0)
        return;
    emit dataChanged(index(0), index(m_index.Count() - 1), roles);
}

} // namespace vpx
