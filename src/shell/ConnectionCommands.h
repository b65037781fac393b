#pragma once

// Connect/disconnect, the communication settings and the socket information,
// with the four connection indicators that always move together.

class QAction;
class QLabel;
class QWidget;

namespace vpx {

class TCustomUDPSock;
class UserPrompts;

struct ConnectionIndicators {
    QAction* ActionConnect; // checked = the tool button tbConnect down
    QAction* mnuConnect;    // the menu item: check mark and its own caption
    QLabel* Panel0;         // "接続中" / "未接続"
    QLabel* Panel1;         // the local end point
};

class TConnectionCommands {
public:
    TConnectionCommands(TCustomUDPSock& socket, UserPrompts& prompts, ConnectionIndicators indicators,
                        QWidget* dialogParent);

    void ActionConnectExecute();
    void ActionCommEnvExecute();
    void ActionSockInfoExecute();

    // tbConnect and mnuConnect only; used alone when opening fails.
    void SetConnectIndicators(bool open);
    // All four indicators from the port's real state.
    void ShowConnectionState();
    void ShowLocalEndpoint();

private:
    TCustomUDPSock& m_socket;
    UserPrompts& m_prompts;
    ConnectionIndicators m_ind;
    QWidget* m_dialogParent;
};

} // namespace vpx
