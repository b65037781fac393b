#include "shell/UDPProp.h"

#include "library/DialogFocus.h"
#include "platform/UserPrompts.h"
#include "shell/NumEdit.h"
#include "transport/CommUDP.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFontMetrics>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QCoreApplication>

#include <algorithm>

namespace vpx {

namespace {

// Translated where they are shown: this table exists before any translation is loaded.
const char* const kStepNames[] = {QT_TRANSLATE_NOOP("UDPProp", "アイドル"), QT_TRANSLATE_NOOP("UDPProp", "－２"),
                                  QT_TRANSLATE_NOOP("UDPProp", "－１"),     QT_TRANSLATE_NOOP("UDPProp", "０"),
                                  QT_TRANSLATE_NOOP("UDPProp", "＋１"),     QT_TRANSLATE_NOOP("UDPProp", "＋２"),
                                  QT_TRANSLATE_NOOP("UDPProp", "最高")};

} // namespace

QString PriorityStepName(TThreadPriority step)
{
    return IsValidPriority(step) ? QCoreApplication::translate("UDPProp", kStepNames[step]) : QString::number(step);
}

QString PriorityRefusedNote(TThreadPriority wanted, TThreadPriority inForce)
{
    return QCoreApplication::translate("UDPProp", "受信監視の頻度「%1」はシステムに拒否されました（実際は「%2」）")
        .arg(PriorityStepName(wanted), PriorityStepName(inForce));
}

TfrmUDPProperty::TfrmUDPProperty(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmUDPProperty"));
    setWindowTitle(QCoreApplication::translate("UDPProp", "ＵＤＰコントロールの設定"));
    // A fixed dialog border with no title-bar buttons but the frame itself.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(320, 152);

    lblPort = new QLabel(QCoreApplication::translate("UDPProp", "ポート："), this);
    lblPort->setObjectName(QStringLiteral("lblPort"));
    lblPort->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lblPort->setGeometry(8, 12, 96, 20);
    nedtPort = new TNumEdit(this);
    nedtPort->setObjectName(QStringLiteral("nedtPort"));
    nedtPort->SetMax(65535);
    nedtPort->setGeometry(108, 10, std::max(57, nedtPort->WidthToShow(QStringLiteral("65535"))), 22);
    nedtPort->setAccessibleName(QCoreApplication::translate("UDPProp", "ポート"));
    lblPort->setBuddy(nedtPort);

    lblPriority = new QLabel(QCoreApplication::translate("UDPProp", "受信監視の頻度："), this);
    lblPriority->setObjectName(QStringLiteral("lblPriority"));
    lblPriority->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lblPriority->setGeometry(8, 42, 96, 20);
    cboPriority = new QComboBox(this);
    cboPriority->setObjectName(QStringLiteral("cboPriority"));
    for (const char* name : kStepNames)
        cboPriority->addItem(QCoreApplication::translate("UDPProp", name));
    cboPriority->setGeometry(108, 40, 111, 22);
    cboPriority->setAccessibleName(QCoreApplication::translate("UDPProp", "受信監視の頻度"));
    lblPriority->setBuddy(cboPriority);

    lblPriorityInForce = new QLabel(this);
    lblPriorityInForce->setObjectName(QStringLiteral("lblPriorityInForce"));
    lblPriorityInForce->setGeometry(108, 64, 204, 18);
    lblLogFile = new QLabel(this);
    lblLogFile->setObjectName(QStringLiteral("lblLogFile"));
    lblLogFile->setGeometry(8, 88, 304, 18);
    lblLogFile->setTextInteractionFlags(Qt::TextSelectableByMouse);

    btnOK = new QPushButton(QStringLiteral("OK"), this);
    btnOK->setObjectName(QStringLiteral("btnOK"));
    btnOK->setDefault(true);
    btnOK->setGeometry(157, 120, 75, 25);
    btnCancel = new QPushButton(QCoreApplication::translate("UDPProp", "キャンセル"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    btnCancel->setGeometry(237, 120, 75, 25);
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

void TfrmUDPProperty::ShowInForce(const TCustomUDPSock& socket)
{
    QString inForce = socket.Active() ? QCoreApplication::translate("UDPProp", "実際：%1").arg(PriorityStepName(socket.PriorityInForce()))
                                      : QCoreApplication::translate("UDPProp", "実際：－（未接続）");
    if (socket.PriorityRefused())
        inForce += QCoreApplication::translate("UDPProp", "（システムが拒否）");
    lblPriorityInForce->setText(inForce);
    // A long path keeps both ends visible; the whole of it is the tool tip.
    const QString file = QDir::toNativeSeparators(socket.LogName());
    const QString shown = QCoreApplication::translate("UDPProp", "ログファイル：") + file;
    lblLogFile->setText(QFontMetrics(lblLogFile->font()).elidedText(shown, Qt::ElideMiddle, lblLogFile->width()));
    lblLogFile->setToolTip(file);
}

void ShowPropertyDialog(TCustomUDPSock& socket, UserPrompts& prompts, QWidget* parent)
{
    const bool wasOpen = socket.Active();
    TfrmUDPProperty dialog(parent);
    dialog.ShowInForce(socket);
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
