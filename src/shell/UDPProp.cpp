#include "shell/UDPProp.h"

#include "library/DialogFocus.h"
#include "platform/UserPrompts.h"
#include "shell/NumEdit.h"
#include "transport/CommUDP.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>

#include <algorithm>

namespace vpx {

TfrmUDPProperty::TfrmUDPProperty(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmUDPProperty"));
    setWindowTitle(QStringLiteral("ＵＤＰコントロールの設定"));
    // A fixed dialog border with no title-bar buttons but the frame itself.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(227, 108);

    lblPort = new QLabel(QStringLiteral("ポート："), this);
    lblPort->setObjectName(QStringLiteral("lblPort"));
    lblPort->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lblPort->setGeometry(8, 12, 96, 20);
    nedtPort = new TNumEdit(this);
    nedtPort->setObjectName(QStringLiteral("nedtPort"));
    nedtPort->SetMax(65535);
    nedtPort->setGeometry(108, 10, std::max(57, nedtPort->WidthToShow(QStringLiteral("65535"))), 22);
    nedtPort->setAccessibleName(QStringLiteral("ポート"));
    lblPort->setBuddy(nedtPort);

    lblPriority = new QLabel(QStringLiteral("受信監視の頻度："), this);
    lblPriority->setObjectName(QStringLiteral("lblPriority"));
    lblPriority->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lblPriority->setGeometry(8, 42, 96, 20);
    cboPriority = new QComboBox(this);
    cboPriority->setObjectName(QStringLiteral("cboPriority"));
    cboPriority->addItems({QStringLiteral("アイドル"), QStringLiteral("－２"), QStringLiteral("－１"),
                           QStringLiteral("０"), QStringLiteral("＋１"), QStringLiteral("＋２"),
                           QStringLiteral("最高")});
    cboPriority->setGeometry(108, 40, 111, 22);
    cboPriority->setAccessibleName(QStringLiteral("受信監視の頻度"));
    lblPriority->setBuddy(cboPriority);

    btnOK = new QPushButton(QStringLiteral("OK"), this);
    btnOK->setObjectName(QStringLiteral("btnOK"));
    btnOK->setDefault(true);
    btnOK->setGeometry(64, 76, 75, 25);
    btnCancel = new QPushButton(QStringLiteral("キャンセル"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    btnCancel->setGeometry(144, 76, 75, 25);
    connect(btnOK, &QPushButton::clicked, this, &TfrmUDPProperty::btnOKClick);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);

    setTabOrder(nedtPort, btnOK);
    setTabOrder(btnOK, btnCancel);
    setTabOrder(btnCancel, cboPriority);
    SelectFocusedTextOnOpen(*this);
}

void TfrmUDPProperty::btnOKClick()
{
    try {
        nedtPort->Value(); // out of range: focus back on the field, text selected, beep
    } catch (const EInvalidOperation& e) {
        if (OnError)
            OnError(e);
        else
            QMessageBox::critical(this, QApplication::applicationName(), e.Message());
        return;
    }
    accept();
}

void ShowPropertyDialog(TCustomUDPSock& socket, UserPrompts& prompts, QWidget* parent)
{
    const bool wasOpen = socket.Active();
    TfrmUDPProperty dialog(parent);
    dialog.OnError = [&prompts](const EInvalidOperation& e) { prompts.ShowException(e); };
    dialog.nedtPort->OnError = dialog.OnError;
    dialog.nedtPort->SetValue(socket.Port());
    dialog.cboPriority->setCurrentIndex(static_cast<int>(socket.Priority()));
    if (prompts.Exec(dialog) != QDialog::Accepted)
        return;
    // Read before closing: a value out of range raises here and nothing changes.
    const auto port = static_cast<std::uint16_t>(dialog.nedtPort->Value());
    const auto priority = static_cast<TThreadPriority>(dialog.cboPriority->currentIndex());
    if (socket.Active())
        socket.Close();
    socket.SetPort(port);
    socket.SetPriority(priority);
    if (wasOpen)
        socket.Open();
}

} // namespace vpx
