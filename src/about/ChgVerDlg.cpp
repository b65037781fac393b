#include "about/ChgVerDlg.h"

#include "about/AboutDlg.h"
#include "about/FramedLabel.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QCoreApplication>

namespace vpx {

namespace {

constexpr int kClientWidth = 313;
constexpr int kClientHeight = 152;
constexpr int kButtonWidth = 89;
constexpr int kButtonHeight = 25;
constexpr int kButtonTop = 118;

QLabel* Line(QWidget* parent, int y)
{
    auto* label = new QLabel(parent);
    label->setGeometry(8, y, kClientWidth - 16, 18);
    label->setAlignment(Qt::AlignCenter);
    return label;
}

} // namespace

TfrmChgVer::TfrmChgVer(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmChgVer"));
    // A dialog border with no buttons in its title bar: OK is the only way out.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setFixedSize(kClientWidth, kClientHeight);

    lblTitle = new TFramedLabel(this);
    lblTitle->setGeometry(8, 8, kClientWidth - 16, 24);
    lblLastVersion = Line(this, 42);
    lblArrow = Line(this, 64);
    lblNowVersion = Line(this, 86);

    btnOK = new QPushButton(this);
    btnOK->setDefault(true);
    btnHelp = new QPushButton(this);
    btnHelp->setAutoDefault(false);
    connect(btnOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnHelp, &QPushButton::clicked, this, [this] {
        if (m_helpContext != 0 && OnHelp)
            OnHelp(m_helpContext);
    });
    SetShowHelp(true);
}

void TfrmChgVer::Setup(const QString& productName, const QString& lastVersion, const QString& nowVersion,
                       bool useJapanese)
{
    setWindowTitle(productName);
    setFont(useJapanese ? JapaneseFont(13, true) : EnglishFont(13, true));
    if (useJapanese) {
        lblTitle->setText(QCoreApplication::translate("ChgVerDlg", "このアプリケーションのバージョンが変更されました。"));
        lblLastVersion->setText(QCoreApplication::translate("ChgVerDlg", "以前のﾊﾞｰｼﾞｮﾝ ： Version ") + lastVersion);
        lblArrow->setText(QStringLiteral("↓"));
        lblNowVersion->setText(QCoreApplication::translate("ChgVerDlg", "今のﾊﾞｰｼﾞｮﾝ ： Version ") + nowVersion);
        btnOK->setText(QStringLiteral("OK"));
        btnOK->setToolTip(QCoreApplication::translate("ChgVerDlg", "このﾀﾞｲｱﾛｸﾞﾎﾞｯｸｽを閉じます"));
        btnHelp->setText(QCoreApplication::translate("ChgVerDlg", "ヘルプ(&H)"));
        btnHelp->setToolTip(QCoreApplication::translate("ChgVerDlg", "このﾀﾞｲｱﾛｸﾞﾎﾞｯｸｽに関するﾍﾙﾌﾟを表示します"));
    } else {
        lblTitle->setText(QStringLiteral("This application version changed"));
        lblLastVersion->setText(QStringLiteral("Last version : Version ") + lastVersion);
        lblArrow->setText(QString());
        lblNowVersion->setText(QStringLiteral("Now version : Version ") + nowVersion);
        btnOK->setText(QStringLiteral("OK"));
        btnOK->setToolTip(QStringLiteral("Close this dialog"));
        btnHelp->setText(QStringLiteral("&Help"));
        btnHelp->setToolTip(QStringLiteral("Show this dialog help"));
    }
}

void TfrmChgVer::SetShowHelp(bool value)
{
    btnHelp->setVisible(value);
    if (value) {
        const int gap = 8;
        const int left = (kClientWidth - 2 * kButtonWidth - gap) / 2;
        btnOK->setGeometry(left, kButtonTop, kButtonWidth, kButtonHeight);
        btnHelp->setGeometry(left + kButtonWidth + gap, kButtonTop, kButtonWidth, kButtonHeight);
    } else {
        btnOK->setGeometry(kClientWidth / 2 - kButtonWidth / 2, kButtonTop, kButtonWidth, kButtonHeight);
    }
}

void TfrmChgVer::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

} // namespace vpx
