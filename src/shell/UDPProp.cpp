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
#include <QLineEdit>
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

QString LocalAddressVanishedNote(const std::string& address)
{
    return QCoreApplication::translate("TfrmUDPProperty", "ローカルアドレス %1 が見つからないため「自動」を使います")
        .arg(QString::fromStdString(address));
}

QString LocalAddressEntryText(const LocalAddressEntry& entry)
{
    if (entry.value.empty())
        return QCoreApplication::translate("TfrmUDPProperty", "自動");
    if (entry.value == kAnyAddress)
        return QCoreApplication::translate("TfrmUDPProperty", "すべてのアドレス (%1)").arg(QLatin1String(kAnyAddress));
    if (entry.name.empty())
        return QString::fromStdString(entry.value);
    return QStringLiteral("%1 (%2)").arg(QString::fromStdString(entry.value), QString::fromStdString(entry.name));
}

TfrmUDPProperty::TfrmUDPProperty(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmUDPProperty"));
    setWindowTitle(QCoreApplication::translate("UDPProp", "ＵＤＰコントロールの設定"));
    // A fixed dialog border with no title-bar buttons but the frame itself.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(320, 256);

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
    lblLogFile->setGeometry(8, 196, 304, 18);
    lblLogFile->setTextInteractionFlags(Qt::TextSelectableByMouse);

    lblLocalAddress = new QLabel(tr("ローカルアドレス："), this);
    lblLocalAddress->setObjectName(QStringLiteral("lblLocalAddress"));
    lblLocalAddress->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lblLocalAddress->setGeometry(8, 88, 96, 20);
    cboLocalAddress = new QComboBox(this);
    cboLocalAddress->setObjectName(QStringLiteral("cboLocalAddress"));
    cboLocalAddress->setGeometry(108, 86, 204, 22);
    cboLocalAddress->setAccessibleName(tr("ローカルアドレス"));
    lblLocalAddress->setBuddy(cboLocalAddress);
    lblOverride = new QLabel(this);
    lblOverride->setObjectName(QStringLiteral("lblOverride"));
    lblOverride->setGeometry(108, 110, 204, 18);
    lblOverride->hide();

    lblGroups = new QLabel(tr("マルチキャスト："), this);
    lblGroups->setObjectName(QStringLiteral("lblGroups"));
    lblGroups->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lblGroups->setGeometry(8, 134, 96, 20);
    edtGroups = new QLineEdit(this);
    edtGroups->setObjectName(QStringLiteral("edtGroups"));
    edtGroups->setGeometry(108, 132, 204, 22);
    edtGroups->setPlaceholderText(tr("参加するグループ（例 239.1.2.3, 239.1.2.4）"));
    edtGroups->setAccessibleName(tr("参加するマルチキャストグループ"));
    lblGroups->setBuddy(edtGroups);
    lblTtl = new QLabel(tr("マルチキャストTTL："), this);
    lblTtl->setObjectName(QStringLiteral("lblTtl"));
    lblTtl->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lblTtl->setGeometry(8, 164, 96, 20);
    nedtTtl = new TNumEdit(this);
    nedtTtl->setObjectName(QStringLiteral("nedtTtl"));
    nedtTtl->SetMax(255);
    nedtTtl->setGeometry(108, 162, std::max(57, nedtTtl->WidthToShow(QStringLiteral("255"))), 22);
    nedtTtl->setAccessibleName(tr("マルチキャストTTL"));
    nedtTtl->SetValue(kDefaultMulticastTtl);
    lblTtl->setBuddy(nedtTtl);

    btnOK = new QPushButton(QStringLiteral("OK"), this);
    btnOK->setObjectName(QStringLiteral("btnOK"));
    btnOK->setDefault(true);
    btnOK->setGeometry(157, 224, 75, 25);
    btnCancel = new QPushButton(QCoreApplication::translate("UDPProp", "キャンセル"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    btnCancel->setGeometry(237, 224, 75, 25);
    connect(btnOK, &QPushButton::clicked, this, &TfrmUDPProperty::btnOKClick);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);

    setTabOrder(nedtPort, btnOK);
    setTabOrder(btnOK, btnCancel);
    setTabOrder(btnCancel, cboPriority);
    setTabOrder(cboPriority, cboLocalAddress);
    setTabOrder(cboLocalAddress, edtGroups);
    setTabOrder(edtGroups, nedtTtl);
    SelectFocusedTextOnOpen(*this);
}

void TfrmUDPProperty::btnOKClick()
{
    const auto report = [this](const EInvalidOperation& e) {
        if (OnError)
            OnError(e);
        else
            QMessageBox::critical(this, QApplication::applicationName(), e.Message());
    };
    try {
        nedtPort->Value(); // out of range: focus back on the field, text selected, beep
        nedtTtl->Value();
    } catch (const EInvalidOperation& e) {
        report(e);
        return;
    }
    const MulticastGroupList groups = ParseMulticastGroups(edtGroups->text().toStdString());
    if (!groups.bad.empty()) {
        edtGroups->setFocus();
        edtGroups->selectAll();
        report(EInvalidOperation(tr("「%1」はマルチキャストアドレス（224.0.0.0～239.255.255.255）ではありません")
                                     .arg(QString::fromStdString(groups.bad))));
        return;
    }
    accept();
}

void TfrmUDPProperty::FillLocalAddresses(const std::vector<LocalAddressEntry>& entries, const std::string& choice)
{
    cboLocalAddress->clear();
    int selected = -1;
    for (const LocalAddressEntry& e : entries) {
        if (e.value == choice)
            selected = cboLocalAddress->count();
        cboLocalAddress->addItem(LocalAddressEntryText(e), QString::fromStdString(e.value));
    }
    if (selected < 0) {
        selected = cboLocalAddress->count();
        cboLocalAddress->addItem(tr("%1 (見つかりません)").arg(QString::fromStdString(choice)),
                                 QString::fromStdString(choice));
    }
    cboLocalAddress->setCurrentIndex(selected);
}

std::string TfrmUDPProperty::LocalChoice() const
{
    return cboLocalAddress->currentData().toString().toStdString();
}

void TfrmUDPProperty::ShowOverride(const std::optional<std::string>& value)
{
    lblOverride->setVisible(value.has_value());
    if (!value)
        return;
    const QString text = tr("VORPEX_LOCAL_ADDRESS（%1）が優先されます").arg(QString::fromStdString(*value));
    lblOverride->setText(QFontMetrics(lblOverride->font()).elidedText(text, Qt::ElideMiddle, lblOverride->width()));
    lblOverride->setToolTip(text);
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
    // A choice whose interface is down shows as not found, and OK keeps it.
    dialog.FillLocalAddresses(LocalAddressEntries(ws::UpInterfaces()),
                              socket.VanishedAddress().empty() ? socket.LocalChoice() : socket.VanishedAddress());
    dialog.ShowOverride(socket.LocalAddressOverridden() ? std::optional<std::string>(socket.LocalAddress())
                                                        : std::nullopt);
    dialog.edtGroups->setText(QString::fromStdString(JoinMulticastGroups(socket.MulticastGroups())));
    dialog.nedtTtl->OnError = dialog.OnError;
    dialog.nedtTtl->SetValue(socket.MulticastTtl());
    if (prompts.Exec(dialog) != QDialog::Accepted)
        return;
    // Read before closing: a value out of range raises here and nothing changes.
    const auto port = static_cast<std::uint16_t>(dialog.nedtPort->Value());
    const auto priority = static_cast<TThreadPriority>(dialog.cboPriority->currentIndex());
    const int ttl = static_cast<int>(dialog.nedtTtl->Value());
    const std::vector<std::string> groups = ParseMulticastGroups(dialog.edtGroups->text().toStdString()).groups;
    const std::string choice = dialog.LocalChoice();
    if (socket.Active())
        socket.Close();
    socket.SetPort(port);
    socket.SetPriority(priority);
    socket.SetLocalChoice(choice);
    socket.SetMulticastGroups(groups);
    socket.SetMulticastTtl(ttl);
    if (wasOpen)
        socket.Open();
}

} // namespace vpx
