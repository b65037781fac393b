#pragma once

// The find dialog. Created once and kept for the whole run, so its controls keep
// what the user last left in them, also after Cancel. Exec gives Rejected for
// Cancel (and for the close button), ResultDown or ResultUp for the two search buttons.

#include "library/CommandFind.h"

#include <QDialog>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace vpx {

class TfrmFind : public QDialog {
    Q_OBJECT

public:
    static constexpr int ResultDown = QDialog::Accepted; // "下候補(&N)", the default button
    static constexpr int ResultUp = 2;                   // "上候補(&P)"

    explicit TfrmFind(QWidget* parent = nullptr);

    // The flags of the checked boxes: chkGroup 1, chkCommand 2, chkString 4.
    FindTargets GetFindTargets() const;
    // Checks each box whose flag is in the set and clears the others.
    void SetFindTargets(FindTargets targets);

    QLabel* lblFindText;
    QLineEdit* edtFindText;
    QGroupBox* grpTargets;
    QCheckBox* chkGroup;
    QCheckBox* chkCommand;
    QCheckBox* chkString;
    QPushButton* btnUp;
    QPushButton* btnDown;
    QPushButton* btnCancel;
};

} // namespace vpx
