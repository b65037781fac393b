#include "traffic/PayloadSender.h"
#include "traffic/TrafficSink.h"
#include "transport/UDPCtrl.h"

#include "../transport/TransportTestUtil.h"

#include <QString>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vpx {
namespace {

struct CountingSink : TTrafficSink {
    void AddTrafficRecord(TrafficRecordPtr record) override { records.push_back(std::move(record)); }
    std::vector<TrafficRecordPtr> records;
};

// One sender through a run of peer settings: the check of the peer is kept
// between sends, and every change of address, port or open state must redo it.
TEST(PayloadSender, EveryChangeOfPeerOrPortStateIsCheckedAgain)
{
    test::Peer peer;
    TUDPControl udp;
    udp.Open();
    CountingSink sink;
    std::string address;
    std::uint16_t port = 0;
    TPayloadSender sender(udp, sink, [&] { return AnsiString(address); }, [&] { return port; });
    QString notice = QStringLiteral("(none)");
    sender.OnNotice = [&](const QString& text) { notice = text; };

    const QString none = QStringLiteral("(none)");
    const struct Step {
        const char* address;
        bool realPort;
        bool close;
        bool sent;
        QString notice; // what OnNotice was given by this send, or none
    } steps[] = {
        {"127.0.0.1", true, false, true, none},
        {"127.0.0.1", true, false, true, none},
        {"0.0.0.0", true, false, false, QStringLiteral("送信先のｱﾄﾞﾚｽを設定してください")},
        {"127.0.0.1", true, false, true, QString()}, // the reason shown no longer holds
        {"127.0.0.1", false, false, false, QStringLiteral("送信先のﾎﾟｰﾄを設定してください")},
        {"0.0.0.0", false, false, false, QStringLiteral("送信先のｱﾄﾞﾚｽとﾎﾟｰﾄを設定してください")},
        {"127.0.0.1", true, false, true, QString()},
        {"127.0.0.1", true, true, false, QStringLiteral("ﾎﾟｰﾄが閉じているため送信しませんでした")},
    };
    std::size_t expected = 0;
    for (std::size_t i = 0; i < std::size(steps); ++i) {
        const Step& s = steps[i];
        address = s.address;
        port = s.realPort ? peer.Port() : 0;
        if (s.close)
            udp.Close();
        notice = none;
        sender.SendPayload(tkAutoReplySent, false, 0, "01", "c");
        expected += s.sent ? 1 : 0;
        EXPECT_EQ(sink.records.size(), expected) << "step " << i;
        EXPECT_EQ(notice, s.notice) << "step " << i;
        if (s.sent) {
            std::string bytes;
            std::uint16_t from = 0;
            ASSERT_TRUE(peer.Receive(bytes, from)) << "step " << i;
            EXPECT_EQ(bytes, std::string("\x01", 1)) << "step " << i;
        }
    }
}

} // namespace
} // namespace vpx
