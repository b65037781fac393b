#pragma once

// An IPv4 address box: four number fields (0..255) separated by dots, with
// automatic moves between the fields while typing.

#include "shell/NumEdit.h"

#include <QColor>
#include <QFrame>

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>

class QLabel;

namespace vpx {

namespace ipedit {

// The platform's classic IPv4 text parser: one to four parts separated by dots,
// each decimal, octal (leading 0) or hexadecimal (leading 0x); fewer parts fill
// the low bytes with the last one ("10.1" is 10.0.0.1). Trailing blanks end the
// text. Returns the four bytes, first byte in the top eight bits.
std::optional<std::uint32_t> InetAddr(std::string_view text);

} // namespace ipedit

class TCustomIPEdit : public QFrame {
    Q_OBJECT

public:
    explicit TCustomIPEdit(QWidget* parent = nullptr);

    // Reads the four fields (each may raise the range error) joined with dots.
    QString Address();
    // Any text the parser does not take shows 255 in every field.
    void SetAddress(const QString& value);

    QColor EditColor() const { return m_editColor; }
    void SetEditColor(const QColor& value);
    TAlignment EditAlignment() const noexcept { return m_editAlignment; }
    void SetEditAlignment(TAlignment value);
    bool EnableException() const noexcept { return m_enableException; }
    void SetEnableException(bool value);

    bool TabArrow() const noexcept { return m_tabArrow; }
    void SetTabArrow(bool value) noexcept { m_tabArrow = value; }
    bool AutoTab() const noexcept { return m_autoTab; }
    void SetAutoTab(bool value) noexcept { m_autoTab = value; }

    // The least width at which every field shows "255" whole.
    int WidthToShow() const;

    // Shows a field's range error raised on leaving it (see TCustomNumEdit::OnError).
    void SetOnError(const std::function<void(const EInvalidOperation&)>& handler);

    TNumEdit* Field(int index) const { return m_fields.at(static_cast<std::size_t>(index)); }
    QLabel* Separator(int index) const { return m_separators.at(static_cast<std::size_t>(index)); }

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void LayoutFields();
    void FieldEdited(TNumEdit* field);

    std::array<TNumEdit*, 4> m_fields{};
    std::array<QLabel*, 3> m_separators{};
    QColor m_editColor;
    TAlignment m_editAlignment = taRightJustify;
    bool m_enableException = true;
    bool m_tabArrow = true;
    bool m_autoTab = true;
};

class TIPEdit : public TCustomIPEdit {
    Q_OBJECT

public:
    using TCustomIPEdit::TCustomIPEdit;
};

} // namespace vpx
