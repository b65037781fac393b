#pragma once

// A framed group of radio buttons laid out in columns, read and set by the index
// of the checked item: the shape the properties dialogs fill and read back.

#include <QGroupBox>
#include <QStringList>

#include <vector>

class QButtonGroup;
class QDialog;
class QHBoxLayout;
class QPushButton;
class QRadioButton;

namespace vpx {

class TRadioGroup : public QGroupBox {
    Q_OBJECT

public:
    // Items fill the columns top to bottom, then left to right.
    TRadioGroup(const QString& caption, const QStringList& items, int columns, QWidget* parent = nullptr);

    // -1 while no item is checked.
    int ItemIndex() const;
    // An index out of range checks nothing.
    void SetItemIndex(int index);

    int Count() const noexcept { return static_cast<int>(m_buttons.size()); }
    int Columns() const noexcept { return m_columns; }
    QRadioButton* Button(int index) const;

private:
    QButtonGroup* m_group;
    std::vector<QRadioButton*> m_buttons;
    int m_columns;
};

// The frame both properties dialogs and the find dialog share: fixed size, centred
// on the window that owns it, and a title bar with the close button only when
// `closeButton` is set.
void SetFixedDialogFrame(QDialog& dialog, bool closeButton);

// The properties dialogs' "OK" (default, accepts) and "キャンセル" (rejects, as
// Esc does) buttons, right-aligned in a row for the caller's layout.
QHBoxLayout* OkCancelButtons(QDialog& dialog, QPushButton*& ok, QPushButton*& cancel);

} // namespace vpx
