#pragma once

// The communication settings dialog: the local port and how eagerly the receive
// watcher runs. OK applies both and reopens a port that was open. It also tells
// what is in force: the watcher's real priority, which the system may have
// refused to raise, and the trace file.

#include "transport/CommUDP.h"

#include <QDialog>

#include <functional>

class QComboBox;
class QLabel;
class QPushButton;

namespace vpx {

class EInvalidOperation;
class TNumEdit;
class UserPrompts;

class TfrmUDPProperty : public QDialog {
    Q_OBJECT
public:
    explicit TfrmUDPProperty(QWidget* parent = nullptr);

    QLabel* lblPort;
    TNumEdit* nedtPort;
    QLabel* lblPriority;
    QComboBox* cboPriority;
    QLabel* lblPriorityInForce;
    QLabel* lblLogFile;
    QPushButton* btnOK;
    QPushButton* btnCancel;

    // Fills the two information lines from the socket's present state.
    void ShowInForce(const TCustomUDPSock& socket);
    // OK checks the port first: out of range, the error is shown here and the
    // dialog stays open on the field, its text selected, so the edit is not lost.
    void btnOKClick();
    // Shows the range error (OK and leaving the field); a plain box when unset.
    std::function<void(const EInvalidOperation&)> OnError;
};

// The priority step as the dialog's list names it ("アイドル" … "最高").
QString PriorityStepName(TThreadPriority step);
// The status bar's note when the system refused the watcher's priority.
QString PriorityRefusedNote(TThreadPriority wanted, TThreadPriority inForce);

// Shows the dialog through the prompts and, on OK, closes the port, applies the
// port and priority, and opens it again if it was open. Socket failures leave here
// as exceptions, with the new values kept and the port closed.
void ShowPropertyDialog(TCustomUDPSock& socket, UserPrompts& prompts, QWidget* parent);

} // namespace vpx
