#include "traffic/TrafficFilterBar.h"

#include "platform/CodePage.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>

namespace vpx {

namespace {

QLineEdit* Field(QWidget* parent, const char* name, const QString& hint, int width)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setPlaceholderText(hint);
    edit->setAccessibleName(hint);
    edit->setToolTip(hint);
    edit->setClearButtonEnabled(true);
    if (width > 0)
        edit->setFixedWidth(width);
    return edit;
}

} // namespace

TTrafficFilterBar::TTrafficFilterBar(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("pnlLogFilter"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(4);

    m_direction = new QComboBox(this);
    m_direction->setObjectName(QStringLiteral("cboFilterDirection"));
    m_direction->addItems({tr("すべて"), tr("受信"), tr("送信"), tr("自動返信")});
    m_direction->setAccessibleName(tr("方向"));
    m_direction->setToolTip(tr("方向"));
    layout->addWidget(m_direction);

    m_address = Field(this, "edtFilterAddress", tr("アドレス"), 110);
    m_port = Field(this, "edtFilterPort", tr("ポート"), 60);
    m_port->setValidator(new QIntValidator(0, 65535, m_port));
    m_comment = Field(this, "edtFilterComment", tr("コメント"), 100);
    m_pattern = Field(this, "edtFilterPattern", tr("データ (例: 0x02, ?, *)"), 0);
    m_patternPalette = m_pattern->palette();
    m_portPalette = m_port->palette();
    connect(m_port, &QLineEdit::textChanged, this, &TTrafficFilterBar::ShowErrors);
    for (QLineEdit* edit : {m_address, m_port, m_comment, m_pattern}) {
        layout->addWidget(edit, edit == m_pattern ? 1 : 0);
        connect(edit, &QLineEdit::textChanged, this, &TTrafficFilterBar::CriteriaEdited);
    }
    connect(m_direction, &QComboBox::currentIndexChanged, this, &TTrafficFilterBar::CriteriaEdited);

    m_error = new QLabel(this);
    m_error->setObjectName(QStringLiteral("lblFilterError"));
    QPalette errorPalette = m_error->palette();
    errorPalette.setColor(QPalette::WindowText, Qt::red);
    m_error->setPalette(errorPalette);
    m_error->hide();
    layout->addWidget(m_error);

    m_count = new QLabel(this);
    m_count->setObjectName(QStringLiteral("lblFilterCount"));
    m_count->setAccessibleName(tr("表示件数"));
    layout->addWidget(m_count);
}

TrafficFilterCriteria TTrafficFilterBar::Criteria() const
{
    TrafficFilterCriteria criteria;
    criteria.Direction = static_cast<TrafficDirection>(std::max(0, m_direction->currentIndex()));
    criteria.Address = m_address->text().trimmed().toStdString();
    bool ok = false;
    const int port = m_port->text().trimmed().toInt(&ok, 10);
    if (ok && port >= 0 && port <= 65535)
        criteria.Port = static_cast<std::uint16_t>(port);
    criteria.Comment = ToAnsi(m_comment->text());
    criteria.Pattern = ToAnsi(m_pattern->text());
    return criteria;
}

bool TTrafficFilterBar::PortValid() const
{
    // The validator lets a number past 65535 through while it is being typed.
    const QString text = m_port->text().trimmed();
    bool ok = false;
    const int port = text.toInt(&ok, 10);
    return text.isEmpty() || (ok && port >= 0 && port <= 65535);
}

void TTrafficFilterBar::ShowPatternError(std::optional<std::size_t> position)
{
    m_patternMarked = position.has_value();
    m_patternError = position ? tr("%1文字目が正しくありません").arg(*position) : QString();
    QPalette palette = m_patternPalette;
    if (position)
        palette.setColor(QPalette::Base, QColor(255, 224, 224));
    m_pattern->setPalette(palette);
    m_pattern->setAccessibleDescription(m_patternError);
    ShowErrors();
}

void TTrafficFilterBar::ShowErrors()
{
    const bool portBad = !PortValid();
    const QString portError = portBad ? tr("ポートは0～65535です") : QString();
    QPalette palette = m_portPalette;
    if (portBad)
        palette.setColor(QPalette::Base, QColor(255, 224, 224));
    m_port->setPalette(palette);
    m_port->setAccessibleDescription(portError);
    QStringList texts;
    for (const QString& t : {portError, m_patternError})
        if (!t.isEmpty())
            texts << t;
    m_error->setText(texts.join(QLatin1String("  ")));
    m_error->setHidden(texts.isEmpty());
}

void TTrafficFilterBar::ShowCount(int shown, int total)
{
    m_count->setText(QStringLiteral("%1 / %2").arg(shown).arg(total));
}

} // namespace vpx
