#include "traffic/TrafficLogModel.h"

#include "traffic/ImageList.h"
#include "traffic/TrafficLogFormat.h"
#include "traffic/TrafficLogPainter.h"

namespace vpx {

TTrafficLogModel::TTrafficLogModel(QObject* parent) : QAbstractListModel(parent)
{
    m_log.SetListener(this);
}

TTrafficLogModel::~TTrafficLogModel()
{
    m_log.SetListener(nullptr);
}

int TTrafficLogModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_log.Count();
}

const TTrafficRecord* TTrafficLogModel::Record(const QModelIndex& index) const
{
    if (!index.isValid() || index.model() != this || index.column() != 0)
        return nullptr;
    return m_log.Record(index.row());
}

QVariant TTrafficLogModel::data(const QModelIndex& index, int role) const
{
    const TTrafficRecord* record = Record(index);
    if (!record)
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole: return RowText(index.row());
    case Qt::DecorationRole: return ImageList::Shared().Icon(record->Kind + 2);
    default: return {};
    }
}

Qt::ItemFlags TTrafficLogModel::flags(const QModelIndex& index) const
{
    if (!Record(index))
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

QString TTrafficLogModel::RowText(int row) const
{
    const TTrafficRecord* record = m_log.Record(row);
    if (!record)
        return {};
    const std::size_t size = PayloadSize(*record);
    QString dataText;
    if (m_viewType == ViewAscii)
        dataText = FromAnsi(AsciiViewText(record->Data.data(), size, m_offset));
    else
        dataText = QString::fromLatin1(FormatCells(m_viewType, record->Data.data(), size, m_offset, size)).trimmed();
    const QChar tab(u'\t');
    return QString::fromLatin1(record->PeerAddress) + tab + QString::number(record->PeerPort) + tab + dataText + tab +
           LogCommentText(*record);
}

void TTrafficLogModel::AddTrafficRecord(TrafficRecordPtr record)
{
    m_log.AddTrafficRecord(std::move(record));
}

void TTrafficLogModel::ClearTrafficLog()
{
    m_log.ClearTrafficLog();
}

void TTrafficLogModel::TextsChanged()
{
    if (m_log.Count() > 0)
        emit dataChanged(index(0), index(m_log.Count() - 1), {Qt::DisplayRole, Qt::AccessibleTextRole});
}

void TTrafficLogModel::SetViewType(int viewType)
{
    if (viewType == m_viewType)
        return;
    m_viewType = viewType;
    TextsChanged();
}

void TTrafficLogModel::SetOffset(int offset)
{
    if (offset == m_offset)
        return;
    m_offset = offset;
    TextsChanged();
}

void TTrafficLogModel::BeforeAppend(int row)
{
    beginInsertRows(QModelIndex(), row, row);
}

void TTrafficLogModel::AfterAppend()
{
    endInsertRows();
    emit RecordAppended();
}

void TTrafficLogModel::Shifted()
{
    emit dataChanged(index(0), index(m_log.Count() - 1));
    emit RecordAppended();
}

void TTrafficLogModel::BeforeClear(int count)
{
    beginRemoveRows(QModelIndex(), 0, count - 1);
}

void TTrafficLogModel::AfterClear()
{
    endRemoveRows();
}

} // namespace vpx
