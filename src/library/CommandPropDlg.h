#pragma once

// The command properties dialog. It has no logic of its own: the editor fills it,
// runs it modally and reads it back.

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace vpx {

class TRadioGroup;

class TfrmCommandProp : public QDialog {
    Q_OBJECT

public:
    explicit TfrmCommandProp(QWidget* parent = nullptr);

    QLabel* lblCommandName;
    QLineEdit* edtCommandName;
    QLabel* lblCommand;
    QLineEdit* edtCommand;
    TRadioGroup* rdgByteOrder; // item index = ByteOrder + 1
    TRadioGroup* rdgMode;      // item index = Mode
    QPushButton* btnOK;
    QPushButton* btnCancel;
};

} // namespace vpx
