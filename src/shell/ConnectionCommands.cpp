#include "shell/ConnectionCommands.h"

#include "platform/CodePage.h"
#include "platform/EngineText.h"
#include "platform/UserPrompts.h"
#include "shell/InfoDlg.h"
#include "shell/UDPProp.h"
#include "transport/CommUDP.h"
#include "transport/UDPErrs.h"

#include <QAction>
#include <QLabel>
#include <QCoreApplication>

namespace vpx {

TConnectionCommands::TConnectionCommands(TCustomUDPSock& socket, UserPrompts& prompts,
                                         ConnectionIndicators indicators, QWidget* dialogParent)
    : m_socket(socket), m_prompts(prompts), m_ind(indicators), m_dialogParent(dialogParent)
{
}

void TConnectionCommands::SetConnectIndicators(bool open)
{
    m_ind.ActionConnect->setChecked(open);
    m_ind.mnuConnect->setChecked(open);
}

void TConnectionCommands::ShowConnectionState()
{
    const bool open = m_socket.Active();
    SetConnectIndicators(open);
    m_ind.mnuConnect->setText(open ? QCoreApplication::translate("ConnectionCommands", "切断(&P)") : QCoreApplication::translate("ConnectionCommands", "接続(&P)"));
    m_ind.Panel0->setText(open ? QCoreApplication::translate("ConnectionCommands", "接続中") : QCoreApplication::translate("ConnectionCommands", "未接続"));
}

void TConnectionCommands::ShowLocalEndpoint()
{
    m_ind.Panel1->setText(
        QStringLiteral("%1 [%2]").arg(FromAnsi(m_socket.LocalAddress())).arg(m_socket.BoundPort()));
}

void TConnectionCommands::ActionConnectExecute()
{
    if (m_socket.Active()) {
        try {
            m_socket.Close();
        } catch (...) {
            // The port is closed whatever the failure; say so before the error is shown.
            ShowConnectionState();
            ShowLocalEndpoint();
            throw;
        }
        ShowConnectionState();
        ShowLocalEndpoint();
        return;
    }
    try {
        m_socket.Open();
    } catch (const EUDPSockError& e) {
        SetConnectIndicators(false);
        m_prompts.Message(QCoreApplication::translate("ConnectionCommands", "ポートのオープンに失敗しました。\r\n\r\n") + ShownEngineMessage(QString::fromUtf8(e.what()), "UDPErrs"),
                          QCoreApplication::translate("ConnectionCommands", "エラー"), static_cast<int>(PromptButton::Ok), PromptIcon::Error);
        return;
    } catch (...) {
        SetConnectIndicators(false);
        throw;
    }
    ShowConnectionState();
    ShowLocalEndpoint(); // with port 0 the system chose one only now
}

void TConnectionCommands::ActionCommEnvExecute()
{
    try {
        ShowPropertyDialog(m_socket, m_prompts, m_dialogParent);
    } catch (...) {
        // A failed reopen leaves the port closed: the window never claims otherwise.
        ShowConnectionState();
        ShowLocalEndpoint();
        throw;
    }
    ShowConnectionState();
    ShowLocalEndpoint();
}

void TConnectionCommands::ActionSockInfoExecute()
{
    TfrmSockInfoDialog dialog(m_dialogParent);
    dialog.Fill(m_socket);
    m_prompts.Exec(dialog);
}

} // namespace vpx
