#pragma once

// A window's worth of widgets for the send, auto-reply and receive classes,
// without the window: a real UDP control on 127.0.0.1, a log view, the box, the
// actions, scripted prompts, and a peer socket standing in for the equipment.

#include "support/FakePrompts.h"
#include "transport/TransportTestUtil.h"

#include "library/CommandTree.h"
#include "traffic/AutoReplyCommands.h"
#include "traffic/ReceiveHandler.h"
#include "traffic/ReplyTimer.h"
#include "traffic/SendCommands.h"
#include "traffic/TrafficLogView.h"
#include "transport/UDPCtrl.h"

#include <QAction>
#include <QActionGroup>
#include <QComboBox>
#include <QLabel>
#include <QTreeView>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace vpx::test {

inline std::string Bytes(std::initializer_list<int> values)
{
    std::string s;
    for (int v : values)
        s.push_back(static_cast<char>(v));
    return s;
}

inline std::string RecordBytes(const TTrafficRecord& r)
{
    return std::string(reinterpret_cast<const char*>(r.Data.data()), PayloadSize(r));
}

struct SendRig {
    FakePrompts prompts;
    TUDPControl udp;
    TTrafficLogView log;
    QComboBox cboCommand;
    QAction ActionSend{QStringLiteral("送信(&T)")};
    QAction ActionSendSelected{QStringLiteral("選択されているコマンドを送信(&S)")};
    QAction ActionMix{QStringLiteral("混合ﾓｰﾄﾞ(&M)")};
    QAction ActionText{QStringLiteral("ﾃｷｽﾄﾓｰﾄﾞ(&T)")};
    QAction ActionLittleEndian{QStringLiteral("リトルエンディアン(&L)")};
    QAction ActionBigEndian{QStringLiteral("ビッグエンディアン")};
    QAction ActionAutoReturn{QStringLiteral("自動返信(&A)")};
    QAction ActionAutoReturnOpen{QStringLiteral("開く(&O)...")};
    QAction ActionAutoReturnReload{QStringLiteral("リロード(&R)")};
    QActionGroup modeGroup{nullptr};
    QActionGroup orderGroup{nullptr};
    QLabel pnlAutoReturnTitle;
    QLabel lblPreview;
    QTreeView lvReturnDatas;
    CommandTree tree;
    const CommandNode* selected = nullptr;

    Peer peer;
    // What the tool bar's boxes hold.
    std::string address = "127.0.0.1";
    std::uint16_t port = 0;

    std::unique_ptr<TSendCommands> send;
    std::unique_ptr<TAutoReplyCommands> autoReply;
    std::unique_ptr<TReceiveHandler> receive;
    std::unique_ptr<TReplyTimer> replyTimer;

    explicit SendRig(bool open = true)
    {
        for (QAction* a : {&ActionMix, &ActionText, &ActionLittleEndian, &ActionBigEndian})
            a->setCheckable(true);
        modeGroup.addAction(&ActionMix);
        modeGroup.addAction(&ActionText);
        orderGroup.addAction(&ActionLittleEndian);
        orderGroup.addAction(&ActionBigEndian);
        ActionMix.setChecked(true);
        ActionLittleEndian.setChecked(true);
        ActionSend.setEnabled(false);
        cboCommand.setEditable(true);
        port = peer.Port();

        send = std::make_unique<TSendCommands>(
            udp, log, prompts,
            TSendCommands::Controls{&cboCommand, &ActionSend, &ActionSendSelected, &ActionMix, &ActionText,
                                    &ActionLittleEndian, &ActionBigEndian, &lblPreview},
            [this] { return address; }, [this] { return port; }, [this] { return selected; });
        autoReply = std::make_unique<TAutoReplyCommands>(
            prompts, TAutoReplyCommands::Controls{&ActionAutoReturn, &ActionAutoReturnOpen, &ActionAutoReturnReload,
                                                  &pnlAutoReturnTitle, &lvReturnDatas});
        receive = std::make_unique<TReceiveHandler>(*autoReply, *send, log, tree);
        replyTimer = std::make_unique<TReplyTimer>(*receive, [this](const std::exception& e) { prompts.ShowException(e); });
        udp.OnReceive = [this](TCustomUDPSock& sender, std::int32_t size) {
            receive->UDPControlReceive(sender, size);
        };
        udp.OnException = [this](const std::exception& e) { prompts.ShowException(e); };
        udp.SetPort(0);
        if (open)
            udp.Open();
    }

    ~SendRig()
    {
        udp.Close();
        udp.OnReceive = nullptr;
    }

    std::uint16_t LocalPort() const { return BoundPort(udp.Socket()); }

    const TTrafficLog& Log() const { return log.Model().Log(); }
    int Count() const { return Log().Count(); }
    const TTrafficRecord& Last() const { return *Log().Record(Count() - 1); }
    const TTrafficRecord& At(int row) const { return *Log().Record(row); }

    // The next datagram at the peer; empty when none came within the time.
    std::string PeerReceive(int timeoutMs = 3000)
    {
        std::string bytes;
        std::uint16_t from = 0;
        if (!peer.Receive(bytes, from, timeoutMs))
            return {};
        EXPECT_EQ(from, LocalPort());
        return bytes;
    }

    // True when nothing arrives at the peer for a short while.
    bool PeerQuiet() { return PeerReceive(150).empty(); }

    // Types a line into the box and presses Enter.
    void TypeAndEnter(const QString& text);

    // The peer sends to our port; waits until `records` rows are logged.
    bool PeerSends(const std::string& bytes, int records)
    {
        peer.SendTo(LocalPort(), bytes);
        return WaitUntil([&] { return Count() >= records; });
    }
};

} // namespace vpx::test
