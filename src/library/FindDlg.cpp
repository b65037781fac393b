#include "library/FindDlg.h"

#include "library/DialogFocus.h"
#include "library/RadioGroup.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <QCoreApplication>

namespace vpx {

TfrmFind::TfrmFind(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmFind"));
    setWindowTitle(QCoreApplication::translate("FindDlg", "検索"));

    edtFindText = new QLineEdit(this);
    edtFindText->setObjectName(QStringLiteral("edtFindText"));
    edtFindText->setMinimumWidth(240);
    lblFindText = new QLabel(QCoreApplication::translate("FindDlg", "検索文字列(&F)："), this);
    lblFindText->setBuddy(edtFindText);

    grpTargets = new QGroupBox(QCoreApplication::translate("FindDlg", "検索対象(&T)"), this);
    chkGroup = new QCheckBox(QCoreApplication::translate("FindDlg", "ｸﾞﾙｰﾌﾟ名(&G)"), grpTargets);
    chkGroup->setObjectName(QStringLiteral("chkGroup"));
    chkCommand = new QCheckBox(QCoreApplication::translate("FindDlg", "ｺﾏﾝﾄﾞ名(&N)"), grpTargets);
    chkCommand->setObjectName(QStringLiteral("chkCommand"));
    chkString = new QCheckBox(QCoreApplication::translate("FindDlg", "ｺﾏﾝﾄﾞ文字列(&S)"), grpTargets);
    chkString->setObjectName(QStringLiteral("chkString"));
    auto* boxes = new QVBoxLayout(grpTargets);
    boxes->addWidget(chkGroup);
    boxes->addWidget(chkCommand);
    boxes->addWidget(chkString);
    SetFindTargets(kDefaultFindTargets);

    btnUp = new QPushButton(QCoreApplication::translate("FindDlg", "上候補(&P)"), this);
    btnUp->setObjectName(QStringLiteral("btnUp"));
    btnDown = new QPushButton(QCoreApplication::translate("FindDlg", "下候補(&N)"), this);
    btnDown->setObjectName(QStringLiteral("btnDown"));
    btnDown->setDefault(true);
    btnCancel = new QPushButton(QCoreApplication::translate("FindDlg", "ｷｬﾝｾﾙ"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    connect(btnUp, &QPushButton::clicked, this, [this] { done(ResultUp); });
    connect(btnDown, &QPushButton::clicked, this, [this] { done(ResultDown); });
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject); // Esc and the close button reject too

    auto* text = new QHBoxLayout;
    text->addWidget(lblFindText);
    text->addWidget(edtFindText);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnUp);
    buttons->addWidget(btnDown);
    buttons->addWidget(btnCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(text);
    layout->addWidget(grpTargets);
    layout->addLayout(buttons);

    setTabOrder(edtFindText, chkGroup);
    setTabOrder(chkGroup, chkCommand);
    setTabOrder(chkCommand, chkString);
    setTabOrder(chkString, btnUp);
    setTabOrder(btnUp, btnDown);
    setTabOrder(btnDown, btnCancel);

    SetFixedDialogFrame(*this, true);
    SelectFocusedTextOnOpen(*this);
}

FindTargets TfrmFind::GetFindTargets() const
{
    FindTargets targets = 0;
    if (chkGroup->isChecked())
        targets |= kFindGroupNames;
    if (chkCommand->isChecked())
        targets |= kFindCommandNames;
    if (chkString->isChecked())
        targets |= kFindCommandStrings;
    return targets;
}

void TfrmFind::SetFindTargets(FindTargets targets)
{
    chkGroup->setChecked(targets & kFindGroupNames);
    chkCommand->setChecked(targets & kFindCommandNames);
    chkString->setChecked(targets & kFindCommandStrings);
}

} // namespace vpx
