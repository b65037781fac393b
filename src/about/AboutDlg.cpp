#include "about/AboutDlg.h"

#include "about/AboutPicture.h"
#include "about/FramedLabel.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QCoreApplication>

namespace vpx {

namespace {

QFont MakeFont(const QStringList& families, int pixelSize, bool bold)
{
    QFont f;
    f.setFamilies(families);
    f.setPixelSize(pixelSize);
    f.setBold(bold);
    return f;
}

QLabel* CentredLine(QWidget* parent, int x, int y)
{
    auto* label = new QLabel(parent);
    label->setGeometry(x, y, 300, 16);
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    return label;
}

} // namespace

QFont JapaneseFont(int pixelSize, bool bold)
{
    return MakeFont({QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("MS PGothic"), QStringLiteral("IPAPGothic"),
                     QStringLiteral("Noto Sans CJK JP"), QStringLiteral("sans-serif")},
                    pixelSize, bold);
}

QFont EnglishFont(int pixelSize, bool bold)
{
    return MakeFont({QStringLiteral("Arial"), QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans"),
                     QStringLiteral("sans-serif")},
                    pixelSize, bold);
}

TAboutDialog::TAboutDialog(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("AboutDialog"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFixedSize(512, 179);
    QPalette pal = palette();
    pal.setColor(QPalette::WindowText, Qt::black);
    setPalette(pal);

    pnlBack = new QFrame(this);
    pnlBack->setFrameStyle(QFrame::Panel | QFrame::Raised);
    pnlBack->setGeometry(8, 8, 497, 161);

    imgLogo = new TClickImage(pnlBack);
    imgLogo->setGeometry(8, 8, 64, 64);

    lblProductName = new TFramedLabel(pnlBack);
    lblProductName->setGeometry(80, 25, 300, 30);
    lblProductName->SetFontColor(Qt::yellow);
    lblProductName->SetFrameColor(Qt::black);

    lblVersion = CentredLine(pnlBack, 80, 64);
    lblDeveloper = CentredLine(pnlBack, 80, 80);
    lblContact = CentredLine(pnlBack, 80, 96);
    lblContact->setTextInteractionFlags(Qt::TextSelectableByMouse);

    imgAnimation = new TAboutPicture(pnlBack);
    imgAnimation->move(389, 13);

    chkDelReg = new QCheckBox(pnlBack);
    chkDelReg->setGeometry(8, 128, 273, 17);

    btnHelp = new QPushButton(pnlBack);
    btnHelp->setGeometry(288, 120, 89, 25);
    btnHelp->setAutoDefault(false);
    btnOK = new QPushButton(pnlBack);
    btnOK->setGeometry(392, 120, 89, 25);
    btnOK->setDefault(true);

    connect(btnOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnHelp, &QPushButton::clicked, this, [this] { btnHelpClick(); });

    Timer.SetInterval(16);
    SetUseJapanese(true);
}

TAboutDialog::~TAboutDialog()
{
    StopAnimation();
}

void TAboutDialog::SetUseJapanese(bool value)
{
    m_useJapanese = value;
    if (value) {
        const QFont font = JapaneseFont(12);
        setFont(font);
        QFont nameFont = JapaneseFont(24);
        lblProductName->setFont(nameFont);
        btnHelp->setFont(font);
        btnOK->setFont(font);
        btnHelp->setText(QCoreApplication::translate("AboutDlg", "ヘルプ(&H)"));
        btnOK->setText(QCoreApplication::translate("AboutDlg", "了解(&O)"));
        btnOK->setToolTip(QString());
        chkDelReg->setText(QCoreApplication::translate("AboutDlg", "ﾚｼﾞｽﾄﾘ情報を終了時に削除する"));
        chkDelReg->setToolTip(QCoreApplication::translate("AboutDlg", "このｱﾌﾟﾘｹｰｼｮﾝを削除する前にﾁｪｯｸして下さい"));
    } else {
        const QFont font = EnglishFont(12);
        setFont(font);
        lblProductName->setFont(EnglishFont(24));
        btnHelp->setFont(font);
        btnOK->setFont(font);
        btnHelp->setText(QStringLiteral("&Help"));
        btnOK->setText(QStringLiteral("&Ok"));
        btnOK->setToolTip(QStringLiteral("Close this dialog"));
        chkDelReg->setText(QStringLiteral("Delete registry info at exit"));
        chkDelReg->setToolTip(QStringLiteral("Check this option only before you remove this application."));
    }
}

void TAboutDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (parentWidget() && !event->spontaneous()) {
        const QRect owner = parentWidget()->window()->frameGeometry();
        move(owner.center() - rect().center());
    }
    StartAnimation();
}

void TAboutDialog::hideEvent(QHideEvent* event)
{
    StopAnimation();
    QDialog::hideEvent(event);
}

void TAboutDialog::StartAnimation()
{
    imgAnimation->Refresh();
    Timer.OnTimer = [this](TCustomThreadTimer&, int delay) { imgAnimation->Advance(delay); };
    Timer.SetRunning(true);
}

void TAboutDialog::StopAnimation()
{
    // Stopping waits for the timer's thread, so no tick can arrive after this.
    Timer.SetRunning(false);
    Timer.OnTimer = nullptr;
    imgAnimation->ReleaseBitmaps();
}

void TAboutDialog::btnHelpClick()
{
    if (m_helpContext != 0 && OnHelp)
        OnHelp(m_helpContext);
}

} // namespace vpx
