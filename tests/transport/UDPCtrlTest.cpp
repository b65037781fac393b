#include "transport/UDPCtrl.h"

#include "TransportTestUtil.h"
#include "transport/UDPErrs.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace vpx {
namespace {

using test::BoundPort;
using test::Peer;
using test::WaitUntil;

QByteArray ReadAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Splits a trace file into its lines' contents, checking each time stamp.
std::vector<QByteArray> Contents(const QByteArray& file)
{
    static const QRegularExpression stamp(QStringLiteral("^([01][0-9]|2[0-3]):[0-5][0-9]:[0-5][0-9] $"));
    std::vector<QByteArray> lines;
    for (QByteArray rest = file; !rest.isEmpty();) {
        EXPECT_TRUE(stamp.match(QString::fromLatin1(rest.left(9))).hasMatch()) << rest.left(9).toStdString();
        // Text-form payloads may hold CR LF of their own; each test knows its lines.
        const qsizetype end = rest.indexOf("\r\n", 9);
        if (end < 0) {
            ADD_FAILURE() << "line without CR LF";
            break;
        }
        lines.push_back(rest.mid(9, end - 9));
        rest = rest.mid(end + 2);
    }
    return lines;
}

TEST(TraceFormat, LinesByteForByte)
{
    const std::uint8_t bytes[] = {0x01, 0x0A, 0xFF};
    EXPECT_EQ(TraceHexList(bytes, 3), QByteArray("01h,0Ah,FFh"));
    EXPECT_EQ(TraceDataLine(true, ltHexList, "192.168.0.2", 5000, "192.168.0.9", 7000, bytes, 3),
              QByteArray("Send 192.168.0.2:5000 \x81\xA8 192.168.0.9:7000 [01h,0Ah,FFh]"));
    EXPECT_EQ(TraceDataLine(false, ltHexList, "192.168.0.2", 5000, "192.168.0.9", 65535, bytes, 1),
              QByteArray("Recv 192.168.0.2:5000 \x81\xA9 192.168.0.9:65535 [01h]"));
    EXPECT_EQ(TraceDataLine(true, ltAscii, "192.168.0.2", 5000, "192.168.0.9", 7000, bytes, 3),
              QByteArray("Send 192.168.0.2:5000 \x81\xA8 192.168.0.9:7000 [\x01\x0A\xFF]"));
    EXPECT_TRUE(TraceDataLine(true, static_cast<TLogType>(2), "a", 1, "b", 2, bytes, 3).isNull());
    EXPECT_EQ(TracePortLine(0, true), QByteArray("Port(0) Connected"));
    EXPECT_EQ(TracePortLine(40001, false), QByteArray("Port(40001) Disconnected"));
    EXPECT_EQ(TraceTimeStamp(7, 5, 9), QByteArray("07:05:09 "));
}

class TraceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_log = m_dir.filePath(QStringLiteral("Command.log"));
        m_udp.SetLogName(m_log);
        m_udp.OnLogError = [this](const QString& text, const QString& caption) {
            m_failures.push_back(text + QLatin1Char('|') + caption);
        };
    }

    // Lets the component read the next datagram through OnReceive.
    void ReceiveOne(const std::string& bytes)
    {
        int done = 0;
        m_udp.OnReceive = [&](TCustomUDPSock&, std::int32_t size) {
            std::string buf(static_cast<std::size_t>(size), '\0');
            AnsiString a;
            std::uint16_t p;
            m_udp.Receive(nullptr, -1, a, p, true);            // size query: never traced
            m_udp.Receive(buf.data(), size, a, p, true);        // peek: never traced
            m_udp.Receive(buf.data(), size, a, p, false);
            ++done;
        };
        m_peer.SendTo(BoundPort(m_udp.Socket()), bytes);
        ASSERT_TRUE(WaitUntil([&] { return done == 1; }));
    }

    QTemporaryDir m_dir;
    QString m_log;
    Peer m_peer;
    TUDPControl m_udp;
    std::uint16_t m_boundPort = 0;
    std::vector<QString> m_failures;
};

TEST_F(TraceTest, NothingIsWrittenWhileOff)
{
    m_udp.Open();
    m_udp.Send("abc", 3, "", "127.0.0.1", m_peer.Port());
    ReceiveOne("xyz");
    m_udp.Close();
    EXPECT_FALSE(QFile::exists(m_log));
    EXPECT_TRUE(m_failures.empty());
}

TEST_F(TraceTest, HexListTraceOfAWholeSession)
{
    m_udp.SetWriteLog(true);
    m_udp.Open();
    m_boundPort = m_udp.BoundPort();
    ASSERT_NE(m_boundPort, 0);
    EXPECT_THROW(m_udp.Open(), EUDPSockError); // nothing traced for a failed call
    const std::uint16_t port = m_peer.Port();
    EXPECT_EQ(m_udp.Send("\x01\x0A\xFF", 3, "", "127.0.0.1", port), 3);
    ReceiveOne(std::string("\x00\x7F", 2));
    m_udp.Close();
    m_udp.Close(); // a closed port writes nothing
    EXPECT_EQ(m_udp.Send("x", 1, "", "127.0.0.1", port), 0);

    // Port 0 asks the system for one: the trace names the one it gave.
    const std::string p = std::to_string(port);
    const QByteArray mine = QByteArray::number(m_boundPort);
    const std::vector<QByteArray> expected = {
        "Port(" + mine + ") Connected",
        "Send 127.0.0.1:" + mine + " \x81\xA8 127.0.0.1:" + p.c_str() + " [01h,0Ah,FFh]",
        "Recv 127.0.0.1:" + mine + " \x81\xA9 127.0.0.1:" + p.c_str() + " [00h,7Fh]",
        "Port(" + mine + ") Disconnected",
    };
    EXPECT_EQ(Contents(ReadAll(m_log)), expected);
    EXPECT_TRUE(m_failures.empty());
}

TEST_F(TraceTest, TextFormKeepsRawBytesAndAppends)
{
    {
        QFile f(m_log);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("old\r\n");
    }
    m_udp.SetLogType(ltAscii);
    m_udp.SetWriteLog(true);
    m_udp.Open();
    const QByteArray mine = QByteArray::number(m_udp.BoundPort());
    m_udp.Send("\x01\x0A\xFF", 3, "", "127.0.0.1", m_peer.Port());
    ReceiveOne(std::string("a\r\nb\0", 5));
    const QByteArray file = ReadAll(m_log);
    ASSERT_TRUE(file.startsWith("old\r\n"));
    const QByteArray rest = file.mid(5);
    const std::string p = std::to_string(m_peer.Port());
    const QByteArray expected = "Port(" + mine + ") Connected\r\n" + "Send 127.0.0.1:" + mine +
                                " \x81\xA8 127.0.0.1:" + p.c_str() + " [\x01\x0A\xFF]\r\n" + "Recv 127.0.0.1:" +
                                mine + " \x81\xA9 127.0.0.1:" + p.c_str() + " [" + QByteArray("a\r\nb\0", 5) + "]\r\n";
    // Cut out the time stamps: the payload's own CR LF means lines end at "]\r\n" here.
    QByteArray stripped;
    qsizetype start = 0;
    for (const char* terminator : {"\r\n", "]\r\n", "]\r\n"}) {
        const qsizetype end = rest.indexOf(terminator, start + 9);
        ASSERT_GE(end, 0);
        EXPECT_EQ(rest.mid(start, 9).size(), 9);
        stripped += rest.mid(start + 9, end - start - 9) + terminator;
        start = end + qsizetype(std::strlen(terminator));
    }
    EXPECT_EQ(start, rest.size());
    EXPECT_EQ(stripped, expected);
}

TEST_F(TraceTest, UnwritablePathReportsOncePerSwitchOnWhileTheSocketWorks)
{
    // A directory cannot be opened as a file, whoever runs the test.
    m_udp.SetLogName(m_dir.path());
    m_udp.SetWriteLog(true);
    m_udp.Open();
    EXPECT_EQ(m_udp.Send("ab", 2, "", "127.0.0.1", m_peer.Port()), 2);
    std::string got;
    std::uint16_t from;
    EXPECT_TRUE(m_peer.Receive(got, from));
    EXPECT_EQ(got, "ab");
    ReceiveOne("cd");
    m_udp.Close();
    // Four traced events, one box: the designed text, the file, the system's reason.
    ASSERT_EQ(m_failures.size(), 1u);
    const QString head = QStringLiteral("デバッグログ作成失敗\n") + m_dir.path() + QLatin1Char('\n');
    EXPECT_TRUE(m_failures[0].startsWith(head)) << m_failures[0].toStdString();
    EXPECT_TRUE(m_failures[0].endsWith(QStringLiteral("|エラー")));
    EXPECT_GT(m_failures[0].size(), head.size() + 4); // a reason stands between
    EXPECT_TRUE(m_udp.WriteLog());

    // Off and on again: the next failure is shown once more.
    m_udp.SetWriteLog(true); // already on: no change
    m_udp.OutputLog(reinterpret_cast<const std::uint8_t*>("x"), 1);
    EXPECT_EQ(m_failures.size(), 1u);
    m_udp.SetWriteLog(false);
    m_udp.SetWriteLog(true);
    m_udp.OutputLog(reinterpret_cast<const std::uint8_t*>("x"), 1);
    m_udp.OutputLog(reinterpret_cast<const std::uint8_t*>("x"), 1);
    EXPECT_EQ(m_failures.size(), 2u);

    // A path under a regular file fails the same way.
    m_failures.clear();
    m_udp.SetLogName(m_log);
    m_udp.OutputLog(reinterpret_cast<const std::uint8_t*>("x"), 1);
    m_udp.SetLogName(m_log + QStringLiteral("/sub.log"));
    m_udp.OutputLog(reinterpret_cast<const std::uint8_t*>("x"), 1);
    EXPECT_EQ(m_failures.size(), 1u);
}

} // namespace
} // namespace vpx
