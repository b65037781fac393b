#pragma once

// The group properties dialog: only the name. Filled, run and read by the editor.

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace vpx {

class TfrmGroupProp : public QDialog {
    Q_OBJECT

public:
    explicit TfrmGroupProp(QWidget* parent = nullptr);

    QLabel* lblGroupName;
    QLineEdit* edtGroupName;
    QPushButton* btnOK;
    QPushButton* btnCancel;
};

} // namespace vpx
