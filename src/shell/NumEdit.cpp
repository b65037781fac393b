#include "shell/NumEdit.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDropEvent>
#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QMouseEvent>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QCoreApplication>

#include <algorithm>
#include <charconv>
#include <memory>

namespace vpx {

EInvalidOperation::EInvalidOperation(const QString& message)
    : std::runtime_error(message.toStdString()), m_message(message)
{
}

QString RangeErrorMessage(std::int64_t low, std::int64_t high)
{
    return QCoreApplication::translate("NumEdit", "%1 から %2 の間の値でなければなりません").arg(low).arg(high);
}

namespace numedit {

std::optional<std::uint32_t> ParseUnsigned(std::string_view text)
{
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    if (text.empty())
        return std::nullopt;
    std::int64_t number = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (ec != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    if (number < 0 || number > 4294967295LL)
        return std::nullopt;
    return static_cast<std::uint32_t>(number);
}

int DigitCount(std::uint32_t max)
{
    int digits = 1;
    for (std::uint64_t limit = 10; limit <= max; limit *= 10)
        ++digits;
    return digits;
}

std::array<bool, 10> AllowedDigits(std::uint32_t min, std::uint32_t max, int maxLength)
{
    std::array<bool, 10> allowed{};
    if (static_cast<std::int64_t>(max) - static_cast<std::int64_t>(min) >= 10) {
        allowed.fill(true);
        return allowed;
    }
    for (std::uint64_t v = min; v <= max; ++v) {
        allowed[v % 10] = true;
        std::uint64_t place = 10;
        for (int digit = 1; digit < maxLength; ++digit, place *= 10)
            allowed[(v / place) % 10] = true;
    }
    return allowed;
}

} // namespace numedit

TCustomNumEdit::TCustomNumEdit(QWidget* parent) : QLineEdit(parent)
{
    setText(QStringLiteral("0"));
    resize(121, 25);
    setMaxLength(3);
    setAttribute(Qt::WA_InputMethodEnabled, false);
    SetAlignment(taRightJustify);
}

void TCustomNumEdit::Beep()
{
    QApplication::beep();
}

int TCustomNumEdit::WidthToShow(const QString& text) const
{
    // The line's room as the edit paints it: the style's contents rectangle less the
    // text margins and the edit's own two-pixel margins, which must hold the text
    // and the one-pixel caret after it.
    constexpr int kLineMargin = 2;
    const QFontMetrics metrics(font());
    const int needed = metrics.horizontalAdvance(text) + 1;
    QStyleOptionFrame option;
    initStyleOption(&option);
    const int height = std::max(this->height(), metrics.height());
    int width = needed + 2 * kLineMargin;
    for (int tries = 0; tries < 256; ++tries, ++width) {
        option.rect = QRect(0, 0, width, height);
        const QRect contents =
            style()->subElementRect(QStyle::SE_LineEditContents, &option, this).marginsRemoved(textMargins());
        if (contents.width() - 2 * kLineMargin >= needed)
            break;
    }
    return width;
}

bool TCustomNumEdit::IsAllowedText(const QString& text) const
{
    if (text.isEmpty())
        return false;
    for (const QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9') || !m_allowed[c.unicode() - '0'])
            return false;
    }
    return true;
}

std::optional<std::uint32_t> TCustomNumEdit::CheckText()
{
    const std::string bytes = text().toStdString();
    const auto number = numedit::ParseUnsigned(bytes);
    if (number && *number >= m_min && *number <= m_max) {
        m_value = *number;
        return number;
    }
    if (!m_enableException)
        return std::nullopt;
    setFocus(Qt::OtherFocusReason);
    selectAll();
    Beep();
    throw EInvalidOperation(RangeErrorMessage(m_min, m_max));
}

std::uint32_t TCustomNumEdit::Value()
{
    return CheckText().value_or(m_value);
}

void TCustomNumEdit::SetValue(std::uint32_t value)
{
    const std::uint32_t clamped = std::clamp(value, m_min, m_max);
    m_value = clamped;
    // The text, not the cached value, decides: typed text that was never read
    // (perhaps out of range) must give way even when the value is the same.
    const QString shown = QString::number(clamped);
    if (text() != shown)
        setText(shown);
}

void TCustomNumEdit::SetMin(std::uint32_t value)
{
    if (value == m_min)
        return;
    if (value > m_max)
        throw EInvalidOperation(RangeErrorMessage(0, static_cast<std::int64_t>(m_max) - 1));
    m_min = value;
    if (m_value < m_min)
        SetValue(m_min);
}

void TCustomNumEdit::SetMax(std::uint32_t value)
{
    if (value == m_max)
        return;
    if (value < m_min)
        throw EInvalidOperation(RangeErrorMessage(static_cast<std::int64_t>(m_min) + 1, 2147483647));
    m_max = value;
    if (m_value > m_max)
        SetValue(m_max);
    const int length = numedit::DigitCount(m_max);
    setMaxLength(length);
    m_allowed = numedit::AllowedDigits(m_min, m_max, length);
}

void TCustomNumEdit::SetAlignment(TAlignment value)
{
    m_alignment = value;
    switch (value) {
    case taLeftJustify: setAlignment(Qt::AlignLeft | Qt::AlignVCenter); break;
    case taRightJustify: setAlignment(Qt::AlignRight | Qt::AlignVCenter); break;
    case taCenter: setAlignment(Qt::AlignHCenter | Qt::AlignVCenter); break;
    }
}

void TCustomNumEdit::Paste()
{
    if (isReadOnly()) {
        QLineEdit::paste();
        return;
    }
    const QString clip = QGuiApplication::clipboard()->text();
    if (IsAllowedText(clip))
        QLineEdit::paste();
}

void TCustomNumEdit::keyPressEvent(QKeyEvent* event)
{
    if (event->matches(QKeySequence::Paste)) {
        Paste();
        event->accept();
        return;
    }
    // Ctrl and Meta combinations are shortcuts, not characters (Ctrl+Alt is AltGr).
    const Qt::KeyboardModifiers mods = event->modifiers();
    const bool shortcut = (mods & (Qt::ControlModifier | Qt::MetaModifier)) && !(mods & Qt::AltModifier);
    const QString typed = event->text();
    if (!typed.isEmpty() && !shortcut) {
        const char16_t c = typed.at(0).unicode();
        const bool refusable = c >= 32 || c == 13 || c == 10;
        const bool allowedDigit = c >= u'0' && c <= u'9' && m_allowed[c - u'0'];
        if (refusable && !allowedDigit) {
            Beep();
            // Enter still reaches the dialog around the field (its default button).
            if (c == 13 || c == 10)
                event->ignore();
            else
                event->accept();
            return;
        }
    }
    QLineEdit::keyPressEvent(event);
}

void TCustomNumEdit::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    // Only a move to another control of the window checks the range; switching
    // windows (also to the error box below) or opening a menu does not.
    const Qt::FocusReason reason = event->reason();
    if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason ||
        reason == Qt::MenuBarFocusReason || m_inExitCheck)
        return;
    m_inExitCheck = true;
    try {
        CheckText();
    } catch (const EInvalidOperation& e) {
        if (OnError)
            OnError(e);
        else
            QMessageBox::critical(window(), QApplication::applicationName(), e.Message());
    }
    m_inExitCheck = false;
}

void TCustomNumEdit::contextMenuEvent(QContextMenuEvent* event)
{
    std::unique_ptr<QMenu> menu(createStandardContextMenu());
    if (!menu)
        return;
    for (QAction* action : menu->actions()) {
        if (action->objectName() == QLatin1String("edit-paste")) {
            QObject::disconnect(action, &QAction::triggered, nullptr, nullptr);
            connect(action, &QAction::triggered, this, &TCustomNumEdit::Paste);
        }
    }
    menu->exec(event->globalPos());
}

void TCustomNumEdit::mouseReleaseEvent(QMouseEvent* event)
{
    // The selection clipboard's middle-click paste gets the same digit filter.
    if (event->button() == Qt::MiddleButton && !isReadOnly() &&
        QGuiApplication::clipboard()->supportsSelection() &&
        !IsAllowedText(QGuiApplication::clipboard()->text(QClipboard::Selection))) {
        event->accept();
        return;
    }
    QLineEdit::mouseReleaseEvent(event);
}

void TCustomNumEdit::dropEvent(QDropEvent* event)
{
    if (!isReadOnly() && (!event->mimeData()->hasText() || !IsAllowedText(event->mimeData()->text()))) {
        event->ignore();
        return;
    }
    QLineEdit::dropEvent(event);
}

void TCustomNumEdit::inputMethodEvent(QInputMethodEvent* event)
{
    const QString commit = event->commitString();
    if (!commit.isEmpty() && !IsAllowedText(commit)) {
        Beep();
        event->accept();
        return;
    }
    QLineEdit::inputMethodEvent(event);
}

} // namespace vpx
