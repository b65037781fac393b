#include "library/PreviewLine.h"

#include <QLabel>
#include <QLineEdit>
#include <QTimer>

namespace vpx {

TPreviewLine::TPreviewLine(const Source& source, QLabel* label, QObject* parent)
    : QObject(parent), m_source(source), m_label(label), m_timer(new QTimer(this))
{
    m_timer->setSingleShot(true);
    m_timer->setInterval(DeferMs);
    connect(m_timer, &QTimer::timeout, this, [this] { RefreshNow(); });
    connect(m_source.Edit, &QLineEdit::textChanged, this, [this] { Refresh(); });
    m_label->setTextFormat(Qt::RichText);
    m_label->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    connect(m_label, &QLabel::linkActivated, this, [this] { ShowError(); });
    RefreshNow();
}

bool TPreviewLine::Pending() const
{
    return m_timer->isActive();
}

void TPreviewLine::Refresh()
{
    if (m_source.Edit->text().size() >= DeferFrom)
        m_timer->start(); // restarted by every key until the typing pauses
    else
        RefreshNow();
}

void TPreviewLine::RefreshNow()
{
    m_timer->stop();
    const AnsiString text = m_source.Text ? m_source.Text() : ToAnsi(m_source.Edit->text());
    const bool textMode = m_source.TextMode && m_source.TextMode();
    const int order = m_source.ByteOrder ? m_source.ByteOrder() : 0;
    m_current = DescribePayload(textMode, static_cast<std::uint8_t>(order == 1 ? 1 : 0), text);
    if (!m_label)
        return;
    QString html;
    if (m_current.Kind == PayloadPreview::State::Error) {
        // The position is the link: a click puts the caret on the token.
        const QString& line = m_current.Text;
        const int colon = line.indexOf(QLatin1Char(':'));
        html = QStringLiteral("<a href=\"error\">%1</a>%2")
                   .arg(line.left(colon).toHtmlEscaped(), line.mid(colon).toHtmlEscaped());
        m_label->setToolTip(tr("ｸﾘｯｸするとその位置を選択します"));
    } else {
        html = m_current.Text.toHtmlEscaped();
        m_label->setToolTip(QString());
    }
    m_label->setText(html);
}

bool TPreviewLine::ShowError()
{
    if (m_timer->isActive())
        RefreshNow();
    if (m_current.Kind != PayloadPreview::State::Error)
        return false;
    QLineEdit* edit = m_source.Edit;
    edit->setFocus(Qt::OtherFocusReason);
    if (m_current.ErrorLength > 0)
        edit->setSelection(m_current.ErrorIndex, m_current.ErrorLength);
    else
        edit->setCursorPosition(m_current.ErrorIndex);
    return true;
}

} // namespace vpx
