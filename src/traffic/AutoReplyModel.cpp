#include "traffic/AutoReplyModel.h"
#include <QCoreApplication>

namespace vpx {

TAutoReplyModel::TAutoReplyModel(TAutoReplyTable& table, QObject* parent) : QAbstractTableModel(parent), m_table(table)
{
}

int TAutoReplyModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_table.Count();
}

int TAutoReplyModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant TAutoReplyModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const TAutoReplyRow& row = m_table.Row(index.row());
    if (role == Qt::CheckStateRole && index.column() == ColType)
        return row.Enabled ? Qt::Checked : Qt::Unchecked;
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole)
        return {};
    switch (index.column()) {
    case ColType: return row.RowType == rtLookup ? QCoreApplication::translate("AutoReplyModel", "検索") : QCoreApplication::translate("AutoReplyModel", "指定");
    case ColCompare: return FromAnsi(row.CompareData);
    case ColReceiveComment: return FromAnsi(row.ReceiveComment);
    case ColSendComment: return FromAnsi(row.SendComment);
    case ColSendData: return FromAnsi(row.SendData);
    default: return {};
    }
}

bool TAutoReplyModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return false;
    if (role != Qt::CheckStateRole || index.column() != ColType)
        return false;
    const bool enabled = value.value<Qt::CheckState>() == Qt::Checked;
    if (m_table.Row(index.row()).Enabled != enabled) {
        m_table.SetEnabled(index.row(), enabled);
        emit dataChanged(index, index, {Qt::CheckStateRole});
    }
    return true;
}

Qt::ItemFlags TAutoReplyModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
    if (index.column() == ColType)
        f |= Qt::ItemIsUserCheckable;
    return f;
}

QVariant TAutoReplyModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
    case ColType: return QCoreApplication::translate("AutoReplyModel", "種別");
    case ColCompare: return QCoreApplication::translate("AutoReplyModel", "比較ﾃﾞｰﾀ");
    case ColReceiveComment: return QCoreApplication::translate("AutoReplyModel", "受信ｺﾒﾝﾄ");
    case ColSendComment: return QCoreApplication::translate("AutoReplyModel", "送信ｺﾒﾝﾄ");
    case ColSendData: return QCoreApplication::translate("AutoReplyModel", "送信ﾃﾞｰﾀ");
    default: return {};
    }
}

} // namespace vpx
