#include "shell/InfoDlg.h"

#include "platform/CodePage.h"
#include "transport/CommUDP.h"

#include <QLabel>
#include <QPushButton>
#include <QCoreApplication>

namespace vpx {

TfrmSockInfoDialog::TfrmSockInfoDialog(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmSockInfoDialog"));
    setWindowTitle(QCoreApplication::translate("InfoDlg", "ソケット情報"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(289, 324);

    int y = 8;
    const auto pair = [&](const char* name, const QString& caption, const char* valueName, int lines) {
        auto* label = new QLabel(caption, this);
        label->setObjectName(QString::fromLatin1(name));
        label->setGeometry(8, y, 273, 16);
        y += 18;
        auto* value = new QLabel(this);
        value->setObjectName(QString::fromLatin1(valueName));
        value->setWordWrap(true);
        value->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
        value->setGeometry(8, y, 273, 16 * lines);
        value->setAccessibleName(caption);
        y += 16 * lines + 8;
        return value;
    };
    lblDescription = pair("Label1", QCoreApplication::translate("InfoDlg", "説明："), "lblDescription", 2);
    lblSystemStatus = pair("Label2", QCoreApplication::translate("InfoDlg", "状態："), "lblSystemStatus", 2);
    lblLocalAddress = pair("Label5", QCoreApplication::translate("InfoDlg", "ローカルＩＰアドレス："), "lblLocalAddress", 1);
    lblPort = pair("Label7", QCoreApplication::translate("InfoDlg", "ローカルポート番号："), "lblPort", 1);
    lblMaxSockets = pair("Label3", QCoreApplication::translate("InfoDlg", "最大ソケット数："), "lblMaxSockets", 1);
    lblMaxUdpDg = pair("Label4", QCoreApplication::translate("InfoDlg", "最大データグラムサイズ："), "lblMaxUdpDg", 1);

    BitBtn1 = new QPushButton(QStringLiteral("OK"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setDefault(true);
    BitBtn1->setGeometry(107, 288, 75, 25);
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
}

void TfrmSockInfoDialog::Fill(const TCustomUDPSock& socket)
{
    lblDescription->setText(FromAnsi(socket.Description()));
    lblSystemStatus->setText(FromAnsi(socket.SystemStatus()));
    lblLocalAddress->setText(FromAnsi(socket.LocalAddress()));
    lblPort->setText(QString::number(socket.BoundPort()));
    lblMaxSockets->setText(QString::number(socket.MaxSockets()));
    lblMaxUdpDg->setText(QStringLiteral("%1 Byte").arg(socket.MaxUdpDg()));
}

} // namespace vpx
