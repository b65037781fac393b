#pragma once

// The auto-reply table as the window shows it in lvReturnDatas: one row per
// table row, the check box of the first column being the row's enabled flag.

#include "traffic/AutoReplyTable.h"

#include <QAbstractTableModel>

namespace vpx {

class TAutoReplyModel : public QAbstractTableModel {
    Q_OBJECT

public:
    enum Column { ColType, ColCompare, ColReceiveComment, ColSendComment, ColSendData, ColumnCount };

    explicit TAutoReplyModel(TAutoReplyTable& table, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // Brackets a change of the whole table (a load or a clear); closes the bracket
    // also when the change leaves by exception.
    class Update {
    public:
        explicit Update(TAutoReplyModel& model) : m_model(model) { m_model.beginResetModel(); }
        ~Update() { m_model.endResetModel(); }
        Update(const Update&) = delete;
        Update& operator=(const Update&) = delete;

    private:
        TAutoReplyModel& m_model;
    };

    TAutoReplyTable& Table() noexcept { return m_table; }

private:
    TAutoReplyTable& m_table;
};

} // namespace vpx
