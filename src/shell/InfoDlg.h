#pragma once

// The socket information dialog: what the socket layer reported at start-up, the
// local address and the port the socket is bound to (the configured one while closed).

#include <QDialog>

class QLabel;
class QPushButton;

namespace vpx {

class TCustomUDPSock;

class TfrmSockInfoDialog : public QDialog {
    Q_OBJECT
public:
    explicit TfrmSockInfoDialog(QWidget* parent = nullptr);

    void Fill(const TCustomUDPSock& socket);

    QLabel* lblDescription;
    QLabel* lblSystemStatus;
    QLabel* lblLocalAddress;
    QLabel* lblPort;
    QLabel* lblMaxSockets;
    QLabel* lblMaxUdpDg;
    QPushButton* BitBtn1;
};

} // namespace vpx
