#include "shell/IPEdit.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPalette>

namespace vpx {

namespace ipedit {

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

// One part at `pos`: its value, or nothing when it is not a number or overflows 32 bits.
std::optional<std::uint64_t> ParsePart(std::string_view text, std::size_t& pos)
{
    if (pos >= text.size() || text[pos] < '0' || text[pos] > '9')
        return std::nullopt;
    unsigned base = 10;
    if (text[pos] == '0') {
        base = 8;
        ++pos;
        if (pos < text.size() && (text[pos] == 'x' || text[pos] == 'X')) {
            base = 16;
            ++pos;
        }
    }
    std::uint64_t value = 0;
    for (; pos < text.size(); ++pos) {
        const char c = text[pos];
        unsigned digit = 0;
        if (c >= '0' && c <= '9')
            digit = static_cast<unsigned>(c - '0');
        else if (base == 16 && c >= 'a' && c <= 'f')
            digit = static_cast<unsigned>(c - 'a' + 10);
        else if (base == 16 && c >= 'A' && c <= 'F')
            digit = static_cast<unsigned>(c - 'A' + 10);
        else
            break;
        if (digit >= base)
            return std::nullopt;
        value = value * base + digit;
        if (value > 0xFFFFFFFFULL)
            return std::nullopt;
    }
    return value;
}

} // namespace

std::optional<std::uint32_t> InetAddr(std::string_view text)
{
    std::array<std::uint64_t, 4> parts{};
    std::size_t count = 0;
    std::size_t pos = 0;
    for (;;) {
        const auto part = ParsePart(text, pos);
        if (!part)
            return std::nullopt;
        parts[count++] = *part;
        if (pos < text.size() && text[pos] == '.') {
            if (count == 4)
                return std::nullopt;
            ++pos;
            continue;
        }
        break;
    }
    if (pos < text.size() && !IsBlank(text[pos]))
        return std::nullopt;
    // Each leading part is one byte; the last one fills the bytes that remain.
    const std::uint64_t lastLimit = 0xFFFFFFFFULL >> (8 * (count - 1));
    std::uint64_t address = 0;
    for (std::size_t i = 0; i + 1 < count; ++i) {
        if (parts[i] > 0xFF)
            return std::nullopt;
        address |= parts[i] << (24 - 8 * i);
    }
    if (parts[count - 1] > lastLimit)
        return std::nullopt;
    address |= parts[count - 1];
    return static_cast<std::uint32_t>(address);
}

} // namespace ipedit

TCustomIPEdit::TCustomIPEdit(QWidget* parent) : QFrame(parent)
{
    setFrameShape(QFrame::NoFrame);
    setFocusPolicy(Qt::NoFocus);
    m_editColor = palette().color(QPalette::Base);
    for (int i = 0; i < 4; ++i) {
        auto* field = new TNumEdit(this);
        field->setObjectName(QStringLiteral("field%1").arg(i));
        field->setProperty("tag", i);
        field->SetMax(255);
        field->SetValue(0);
        field->setFocusPolicy(Qt::StrongFocus);
        field->installEventFilter(this);
        connect(field, &QLineEdit::textEdited, this, [this, field] { FieldEdited(field); });
        m_fields[static_cast<std::size_t>(i)] = field;
    }
    for (int i = 0; i < 3; ++i) {
        auto* separator = new QLabel(QStringLiteral(" . "), this);
        separator->setAttribute(Qt::WA_TranslucentBackground);
        separator->setAutoFillBackground(false);
        separator->setAlignment(Qt::AlignHCenter | Qt::AlignBottom);
        m_separators[static_cast<std::size_t>(i)] = separator;
    }
    for (int i = 0; i < 3; ++i)
        setTabOrder(m_fields[static_cast<std::size_t>(i)], m_fields[static_cast<std::size_t>(i) + 1]);
    resize(153, 17);
    LayoutFields();
}

void TCustomIPEdit::LayoutFields()
{
    const int separatorWidth = m_separators[0]->sizeHint().width();
    const int fieldWidth = (width() - 3 * separatorWidth) / 4;
    const int h = height();
    for (int i = 0; i < 4; ++i) {
        const int x = i * (fieldWidth + separatorWidth);
        m_fields[static_cast<std::size_t>(i)]->setGeometry(x, 0, fieldWidth, h);
        if (i < 3)
            m_separators[static_cast<std::size_t>(i)]->setGeometry(x + fieldWidth, 0, separatorWidth, h);
    }
}

int TCustomIPEdit::WidthToShow() const
{
    // LayoutFields gives each field a quarter of what the separators leave.
    return 4 * m_fields[0]->WidthToShow(QStringLiteral("255")) + 3 * m_separators[0]->sizeHint().width();
}

void TCustomIPEdit::resizeEvent(QResizeEvent* event)
{
    QFrame::resizeEvent(event);
    LayoutFields();
}

QString TCustomIPEdit::Address()
{
    std::array<std::uint32_t, 4> bytes{};
    for (std::size_t i = 0; i < 4; ++i)
        bytes[i] = m_fields[i]->Value();
    return QStringLiteral("%1.%2.%3.%4").arg(bytes[0]).arg(bytes[1]).arg(bytes[2]).arg(bytes[3]);
}

void TCustomIPEdit::SetAddress(const QString& value)
{
    const std::uint32_t address = ipedit::InetAddr(value.toStdString()).value_or(0xFFFFFFFFu);
    for (std::size_t i = 0; i < 4; ++i)
        m_fields[i]->SetValue((address >> (24 - 8 * i)) & 0xFF);
}

void TCustomIPEdit::SetEditColor(const QColor& value)
{
    m_editColor = value;
    for (TNumEdit* field : m_fields) {
        QPalette p = field->palette();
        p.setColor(QPalette::Base, value);
        field->setPalette(p);
    }
}

void TCustomIPEdit::SetEditAlignment(TAlignment value)
{
    m_editAlignment = value;
    for (TNumEdit* field : m_fields)
        field->SetAlignment(value);
}

void TCustomIPEdit::SetEnableException(bool value)
{
    m_enableException = value;
    for (TNumEdit* field : m_fields)
        field->SetEnableException(value);
}

void TCustomIPEdit::SetOnError(const std::function<void(const EInvalidOperation&)>& handler)
{
    for (TNumEdit* field : m_fields)
        field->OnError = handler;
}

namespace {

int CaretEnd(const QLineEdit* edit)
{
    return edit->hasSelectedText() ? edit->selectionEnd() : edit->cursorPosition();
}

} // namespace

void TCustomIPEdit::FieldEdited(TNumEdit* field)
{
    if (m_autoTab && field->hasFocus() && CaretEnd(field) == 3)
        focusNextPrevChild(true);
}

bool TCustomIPEdit::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress || !m_tabArrow)
        return QFrame::eventFilter(watched, event);
    auto* field = qobject_cast<QLineEdit*>(watched);
    auto* key = static_cast<QKeyEvent*>(event);
    const Qt::KeyboardModifiers held =
        key->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    if (!field || held != Qt::NoModifier)
        return QFrame::eventFilter(watched, event);
    if (key->key() == Qt::Key_Left && field->cursorPosition() == 0 && !field->hasSelectedText()) {
        focusNextPrevChild(false);
        return true;
    }
    if (key->key() == Qt::Key_Right && CaretEnd(field) == field->text().size()) {
        focusNextPrevChild(true);
        return true;
    }
    return QFrame::eventFilter(watched, event);
}

} // namespace vpx
