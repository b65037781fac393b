#include "library/GroupPropDlg.h"

#include "library/DialogFocus.h"
#include "library/RadioGroup.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <QCoreApplication>

namespace vpx {

TfrmGroupProp::TfrmGroupProp(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmGroupProp"));
    setWindowTitle(QCoreApplication::translate("GroupPropDlg", "ｸﾞﾙｰﾌﾟのﾌﾟﾛﾊﾟﾃｨ"));

    edtGroupName = new QLineEdit(this);
    edtGroupName->setObjectName(QStringLiteral("edtGroupName"));
    edtGroupName->setMinimumWidth(280);
    lblGroupName = new QLabel(QCoreApplication::translate("GroupPropDlg", "グループ名(&N)："), this);
    lblGroupName->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lblGroupName->setBuddy(edtGroupName);


    auto* fields = new QFormLayout;
    fields->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    fields->addRow(lblGroupName, edtGroupName);

    QHBoxLayout* buttons = OkCancelButtons(*this, btnOK, btnCancel);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addLayout(buttons);

    setTabOrder(edtGroupName, btnOK);
    setTabOrder(btnOK, btnCancel);

    SetFixedDialogFrame(*this, false);
    SelectFocusedTextOnOpen(*this);
}

} // namespace vpx
