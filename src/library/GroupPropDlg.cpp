#include "library/GroupPropDlg.h"

#include "library/RadioGroup.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace vpx {

TfrmGroupProp::TfrmGroupProp(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmGroupProp"));
    setWindowTitle(QStringLiteral("ｸﾞﾙｰﾌﾟのﾌﾟﾛﾊﾟﾃｨ"));

    edtGroupName = new QLineEdit(this);
    edtGroupName->setObjectName(QStringLiteral("edtGroupName"));
    edtGroupName->setMinimumWidth(280);
    lblGroupName = new QLabel(QStringLiteral("グループ名(&N)："), this);
    lblGroupName->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lblGroupName->setBuddy(edtGroupName);

    btnOK = new QPushButton(QStringLiteral("OK"), this);
    btnOK->setObjectName(QStringLiteral("btnOK"));
    btnOK->setDefault(true);
    btnCancel = new QPushButton(QStringLiteral("キャンセル"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    connect(btnOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* fields = new QFormLayout;
    fields->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    fields->addRow(lblGroupName, edtGroupName);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnOK);
    buttons->addWidget(btnCancel);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addLayout(buttons);

    setTabOrder(edtGroupName, btnOK);
    setTabOrder(btnOK, btnCancel);

    SetFixedDialogFrame(*this, false);
}

} // namespace vpx
