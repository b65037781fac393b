#pragma once

// The command properties dialog. It has no logic of its own: the editor fills it,
// runs it modally and reads it back.

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace vpx {

class TPreviewLine;
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
    QLabel* lblPreview;     // under the command: what it will put on the wire
    TPreviewLine* Preview;

    // What "use the default" stands for in the preview (1 big-endian).
    void SetDefaultByteOrder(int byteOrder);

private:
    int m_defaultByteOrder = 0;
};

} // namespace vpx
