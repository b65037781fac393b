#pragma once

// The communication settings dialog: the local port and how eagerly the receive
// watcher runs. OK applies both and reopens a port that was open. It also tells
// what is in force: the watcher's real priority, which the system may have
// refused to raise, and the trace file.

#include "transport/CommUDP.h"
#include "transport/LocalAddress.h"

#include <QDialog>

#include <functional>
#include <optional>
#include <string>
#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;
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
    QLabel* lblLocalAddress;
    QComboBox* cboLocalAddress; // item data: the stored value ("" the host's own address)
    QLabel* lblOverride;        // says VORPEX_LOCAL_ADDRESS decides; empty when it is not set
    QLabel* lblGroups;
    QLineEdit* edtGroups;
    QLabel* lblTtl;
    TNumEdit* nedtTtl;
    QPushButton* btnOK;
    QPushButton* btnCancel;

    // The list of local addresses with `choice` selected; a choice not in the
    // list (its interface went down meanwhile) is added so that it shows.
    void FillLocalAddresses(const std::vector<LocalAddressEntry>& entries, const std::string& choice);
    std::string LocalChoice() const;
    // Says that the environment decides (with its value); hides the note for nullopt.
    void ShowOverride(const std::optional<std::string>& value);

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
// The status bar's note when the stored local address is on no interface that is up.
QString LocalAddressVanishedNote(const std::string& address);
// The list's text for one entry: "自動", "すべてのアドレス (0.0.0.0)", "192.168.0.2 (eth1)".
QString LocalAddressEntryText(const LocalAddressEntry& entry);
// The status bar's note when the system refused the watcher's priority.
QString PriorityRefusedNote(TThreadPriority wanted, TThreadPriority inForce);

// Shows the dialog through the prompts and, on OK, closes the port, applies the
// port, priority, local address, groups and TTL, and opens it again if it was open. Socket failures leave here
// as exceptions, with the new values kept and the port closed.
void ShowPropertyDialog(TCustomUDPSock& socket, UserPrompts& prompts, QWidget* parent);

} // namespace vpx
