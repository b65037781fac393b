#pragma once

// A one-line edit for an unsigned decimal number within a range. It refuses
// other keys and pastes, checks the range when focus leaves it and when its
// value is read, and reports a value out of range with one fixed message.

#include <QLineEdit>

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string_view>

namespace vpx {

// The controls' range error ("invalid operation").
class EInvalidOperation : public std::runtime_error {
public:
    explicit EInvalidOperation(const QString& message);
    const QString& Message() const noexcept { return m_message; }

private:
    QString m_message;
};

// "%d から %d の間の値でなければなりません" filled with the two bounds.
QString RangeErrorMessage(std::int64_t low, std::int64_t high);

enum TAlignment { taLeftJustify, taRightJustify, taCenter };

// Plain rules of the number box, kept apart from the widget so they can be
// checked without one.
namespace numedit {

// The text as a number in 0..4294967295, or nothing (empty, not decimal, out of range).
std::optional<std::uint32_t> ParseUnsigned(std::string_view text);

// Number of decimal digits of `max` (1..10).
int DigitCount(std::uint32_t max);

// Which digits can be typed for the range; all of them when the range spans ten or more values.
std::array<bool, 10> AllowedDigits(std::uint32_t min, std::uint32_t max, int maxLength);

} // namespace numedit

class TCustomNumEdit : public QLineEdit {
    Q_OBJECT

public:
    explicit TCustomNumEdit(QWidget* parent = nullptr);

    // Reading checks the text like leaving the field does: an invalid text
    // raises EInvalidOperation when EnableException is on (focus back,
    // text selected, beep), and gives the last valid value otherwise.
    std::uint32_t Value();
    void SetValue(std::uint32_t value);

    std::uint32_t Min() const noexcept { return m_min; }
    void SetMin(std::uint32_t value);
    std::uint32_t Max() const noexcept { return m_max; }
    void SetMax(std::uint32_t value);

    TAlignment Alignment() const noexcept { return m_alignment; }
    void SetAlignment(TAlignment value);

    bool EnableException() const noexcept { return m_enableException; }
    void SetEnableException(bool value) noexcept { m_enableException = value; }

    const std::array<bool, 10>& AllowedDigitsFilter() const noexcept { return m_allowed; }

    // The least width at which the field shows `text` whole, by its font and style:
    // a fixed pixel width cuts digits off wherever the fonts are wider.
    int WidthToShow(const QString& text) const;

    // Whether every character of `text` is a digit the filter allows (empty: no).
    bool IsAllowedText(const QString& text) const;

    // Paste with the digit filter: a clipboard text with anything but allowed
    // digits is not pasted at all.
    void Paste();

    // Shows the range error raised when focus leaves the field (no exception
    // may escape into the event loop). The window connects it to its prompts;
    // without it the error goes to a plain message box.
    std::function<void(const EInvalidOperation&)> OnError;

protected:
    // The system's default beep; tests count it.
    virtual void Beep();

    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;

private:
    // Validates the text; returns the number or raises/falls back as described at Value().
    std::optional<std::uint32_t> CheckText();
    void InsertFiltered(const QString& text);

    std::uint32_t m_min = 0;
    std::uint32_t m_max = 100;
    std::uint32_t m_value = 0;
    TAlignment m_alignment = taRightJustify;
    bool m_enableException = true;
    bool m_inExitCheck = false;
    std::array<bool, 10> m_allowed{true, true, true, true, true, true, true, true, true, true};
};

class TNumEdit : public TCustomNumEdit {
    Q_OBJECT

public:
    using TCustomNumEdit::TCustomNumEdit;
};

} // namespace vpx
