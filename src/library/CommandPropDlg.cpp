#include "library/CommandPropDlg.h"

#include "library/DialogFocus.h"
#include "library/PreviewLine.h"
#include "library/RadioGroup.h"

#include <QFont>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <QCoreApplication>

namespace vpx {

namespace {

QFont FixedPitchFont(const QFont& base)
{
    QFont font = base;
    font.setFamilies({QStringLiteral("ＭＳ ゴシック"), QStringLiteral("MS Gothic"), QStringLiteral("IPAGothic"),
                      QStringLiteral("Noto Sans Mono CJK JP"), QStringLiteral("monospace")});
    font.setStyleHint(QFont::Monospace);
    font.setFixedPitch(true);
    return font;
}

} // namespace

TfrmCommandProp::TfrmCommandProp(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmCommandProp"));
    setWindowTitle(QCoreApplication::translate("CommandPropDlg", "ｺﾏﾝﾄﾞのﾌﾟﾛﾊﾟﾃｨ"));

    edtCommandName = new QLineEdit(this);
    edtCommandName->setObjectName(QStringLiteral("edtCommandName"));
    edtCommand = new QLineEdit(this);
    edtCommand->setObjectName(QStringLiteral("edtCommand"));
    edtCommand->setFont(FixedPitchFont(edtCommand->font()));
    edtCommand->setMinimumWidth(320);
    lblCommandName = new QLabel(QCoreApplication::translate("CommandPropDlg", "コマンド名(&N)："), this);
    lblCommandName->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lblCommandName->setBuddy(edtCommandName);
    lblCommand = new QLabel(QCoreApplication::translate("CommandPropDlg", "コマンド(&C)："), this);
    lblCommand->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lblCommand->setBuddy(edtCommand);

    rdgByteOrder = new TRadioGroup(QCoreApplication::translate("CommandPropDlg", "バイトオーダー(&B)"),
                                   {QCoreApplication::translate("CommandPropDlg", "デフォルトを使用(&D)"), QCoreApplication::translate("CommandPropDlg", "リトルエンディアン(&L)"),
                                    QCoreApplication::translate("CommandPropDlg", "ビッグエンディアン(&B)")},
                                   1, this);
    rdgByteOrder->setObjectName(QStringLiteral("rdgByteOrder"));
    rdgMode = new TRadioGroup(QCoreApplication::translate("CommandPropDlg", "送信モード(&M)"),
                              {QCoreApplication::translate("CommandPropDlg", "混合モード(&B)"), QCoreApplication::translate("CommandPropDlg", "テキストモード(&T)")}, 2, this);
    rdgMode->setObjectName(QStringLiteral("rdgMode"));


    auto* fields = new QFormLayout;
    fields->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    fields->addRow(lblCommandName, edtCommandName);
    fields->addRow(lblCommand, edtCommand);
    lblPreview = new QLabel(this);
    lblPreview->setObjectName(QStringLiteral("lblPreview"));
    lblPreview->setFont(edtCommand->font());
    lblPreview->setMinimumWidth(320);
    lblPreview->setMaximumWidth(480); // long byte lists are cut at the label, not the dialog
    fields->addRow(nullptr, lblPreview);
    Preview = new TPreviewLine(
        TPreviewLine::Source{edtCommand, nullptr, [this] { return rdgMode->ItemIndex() == 1; },
                             [this] {
                                 const int order = rdgByteOrder->ItemIndex();
                                 return order <= 0 ? m_defaultByteOrder : order - 1;
                             }},
        lblPreview, this);
    for (TRadioGroup* group : {rdgByteOrder, rdgMode})
        for (int i = 0; i < group->Count(); ++i)
            connect(group->Button(i), &QRadioButton::toggled, Preview, [this](bool on) {
                if (on)
                    Preview->RefreshNow();
            });

    QHBoxLayout* buttons = OkCancelButtons(*this, btnOK, btnCancel);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(rdgByteOrder); // the byte order stands above the send mode
    layout->addWidget(rdgMode);
    layout->addLayout(buttons);

    setTabOrder(edtCommandName, edtCommand);
    setTabOrder(edtCommand, rdgByteOrder->Button(0));
    setTabOrder(rdgByteOrder->Button(0), rdgMode->Button(0));
    setTabOrder(rdgMode->Button(0), btnOK);
    setTabOrder(btnOK, btnCancel);

    SetFixedDialogFrame(*this, false);
    SelectFocusedTextOnOpen(*this);
}

void TfrmCommandProp::SetDefaultByteOrder(int byteOrder)
{
    m_defaultByteOrder = byteOrder == 1 ? 1 : 0;
    Preview->RefreshNow();
}

} // namespace vpx
