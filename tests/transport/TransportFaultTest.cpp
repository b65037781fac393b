#include "transport/UDPCtrl.h"
#include "transport/UDPErrs.h"

#include "TransportTestUtil.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <unistd.h>

#include <string>
#include <vector>

namespace vpx {
namespace {

using test::BoundPort;
using test::Peer;
using test::WaitUntil;

constexpr int kMaxDatagram = 65507; // the largest UDP payload over IPv4

std::string Pattern(std::size_t size, int seed)
{
    std::string s(size, '\0');
    for (std::size_t i = 0; i < size; ++i)
        s[i] = static_cast<char>((i * 7 + static_cast<std::size_t>(seed)) & 0xFF);
    return s;
}

// Reads every announced datagram into a buffer of exactly the announced size.
struct Reader {
    TUDPControl& udp;
    std::vector<std::string> read;
    std::vector<std::int32_t> sizes;
    std::vector<std::string> errors;

    explicit Reader(TUDPControl& control) : udp(control)
    {
        udp.OnException = [this](const std::exception& e) { errors.push_back(e.what()); };
        udp.OnReceive = [this](TCustomUDPSock&, std::int32_t size) {
            sizes.push_back(size);
            std::string buf(static_cast<std::size_t>(size), '\0');
            AnsiString address;
            std::uint16_t port = 0;
            const std::int32_t n = udp.Receive(buf.data(), size, address, port, false);
            read.push_back(buf.substr(0, static_cast<std::size_t>(n < 0 ? 0 : n)));
        };
    }
    ~Reader() { udp.OnReceive = nullptr; }
};

TEST(TransportFaults, DatagramsAtTheSizeEdgesArriveWhole)
{
    Peer peer;
    TUDPControl udp;
    udp.Open();
    Reader reader(udp);
    const std::uint16_t myPort = BoundPort(udp.Socket());

    // 0 bytes raise no event, 1 and the largest possible arrive intact and in order.
    const std::string one = Pattern(1, 3), largest = Pattern(kMaxDatagram, 5);
    ASSERT_EQ(peer.SendTo(myPort, ""), 0);
    ASSERT_EQ(peer.SendTo(myPort, one), 1);
    ASSERT_EQ(peer.SendTo(myPort, ""), 0);
    ASSERT_EQ(peer.SendTo(myPort, largest), kMaxDatagram);
    ASSERT_TRUE(WaitUntil([&] { return reader.read.size() == 2; }));
    EXPECT_EQ(reader.sizes, (std::vector<std::int32_t>{1, kMaxDatagram}));
    EXPECT_EQ(reader.read[0], one);
    EXPECT_TRUE(reader.read[1] == largest);
    EXPECT_TRUE(reader.errors.empty());

    // The component sends the largest too; one byte more is refused with an
    // exception and leaves the port working.
    EXPECT_EQ(udp.Send(largest.data(), kMaxDatagram, "", "127.0.0.1", peer.Port()), kMaxDatagram);
    std::string got;
    std::uint16_t from = 0;
    ASSERT_TRUE(peer.Receive(got, from));
    EXPECT_TRUE(got == largest);
    const std::string tooBig(kMaxDatagram + 1, 'x');
    EXPECT_THROW(udp.Send(tooBig.data(), kMaxDatagram + 1, "", "127.0.0.1", peer.Port()), EUDPSockError);
    EXPECT_TRUE(udp.Active());
    EXPECT_EQ(udp.Send("z", 1, "", "127.0.0.1", peer.Port()), 1);
    ASSERT_TRUE(peer.Receive(got, from));
    EXPECT_EQ(got, "z");
}

// A plain socket holding a given port on 127.0.0.1, as another program would.
class Occupant {
public:
    explicit Occupant(std::uint16_t port)
    {
        ws::WSADATA data;
        ws::WSAStartup(0x0101, &data);
        m_socket = ws::socket(ws::WS_AF_INET, ws::WS_SOCK_DGRAM, 0);
        ws::SOCKADDR_IN a;
        a.sin_family = ws::WS_AF_INET;
        a.sin_addr = ws::inet_addr("127.0.0.1");
        a.sin_port = ws::htons(port);
        m_bound = ws::bind(m_socket, &a, sizeof a) == 0;
    }
    ~Occupant()
    {
        ws::closesocket(m_socket);
        ws::WSACleanup();
    }
    Occupant(const Occupant&) = delete;
    Occupant& operator=(const Occupant&) = delete;
    bool Bound() const { return m_bound; }

private:
    ws::SOCKET m_socket = ws::INVALID_SOCKET;
    bool m_bound = false;
};

TEST(TransportFaults, PortTakenBetweenRunsFailsCleanlyAndWorksOnceFreed)
{
    TUDPControl udp;
    udp.Open();
    const std::uint16_t port = BoundPort(udp.Socket());
    ASSERT_NE(port, 0);
    udp.Close();
    udp.SetPort(port);
    {
        Occupant other(port);
        ASSERT_TRUE(other.Bound());
        for (int attempt = 0; attempt < 2; ++attempt) {
            try {
                udp.Open();
                ADD_FAILURE() << "opened a port another socket holds";
            } catch (const EUDPSockError& e) {
                EXPECT_STREQ(e.what(), "ソケットのバインド時にエラーが発生しました。\r\n"
                                       "指定されたアドレスは、すでに使用されています。");
            }
            EXPECT_FALSE(udp.Active());
            EXPECT_EQ(udp.Socket(), ws::INVALID_SOCKET);
            EXPECT_EQ(udp.Watch(), nullptr);
        }
    }
    // The same port once the other program let it go, and it really receives.
    udp.Open();
    ASSERT_TRUE(udp.Active());
    EXPECT_EQ(BoundPort(udp.Socket()), port);
    Reader reader(udp);
    Peer peer;
    peer.SendTo(port, "back");
    ASSERT_TRUE(WaitUntil([&] { return reader.read.size() == 1; }));
    EXPECT_EQ(reader.read[0], "back");
}

class TraceFaults : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_log = m_dir.filePath(QStringLiteral("Command.log"));
        m_udp.SetLogName(m_log);
        m_udp.OnLogError = [this](const QString& text, const QString& caption) {
            m_failures.push_back(text + QLatin1Char('|') + caption);
        };
        m_udp.SetWriteLog(true);
        m_udp.Open();
    }

    // Sends one datagram and checks that it went out whatever the trace did.
    void SendAndCheck(const std::string& bytes)
    {
        ASSERT_EQ(m_udp.Send(bytes.data(), static_cast<std::int32_t>(bytes.size()), "", "127.0.0.1", m_peer.Port()),
                  static_cast<std::int32_t>(bytes.size()));
        std::string got;
        std::uint16_t from = 0;
        ASSERT_TRUE(m_peer.Receive(got, from));
        EXPECT_EQ(got, bytes);
    }

    QByteArray Trace() const
    {
        QFile f(m_log);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    QTemporaryDir m_dir;
    QString m_log;
    Peer m_peer;
    TUDPControl m_udp;
    std::vector<QString> m_failures;
};

TEST_F(TraceFaults, FileDeletedWhileTracingIsStartedAfresh)
{
    SendAndCheck("a1");
    ASSERT_TRUE(Trace().contains("[61h,31h]"));
    ASSERT_TRUE(QFile::remove(m_log));
    SendAndCheck("b2");
    const QByteArray trace = Trace();
    EXPECT_FALSE(trace.contains("[61h,31h]"));
    EXPECT_TRUE(trace.contains("[62h,32h]"));
    EXPECT_EQ(trace.count("\r\n"), 1);
    EXPECT_TRUE(m_failures.empty());
}

TEST_F(TraceFaults, FileThatCannotBeWrittenIsReportedOnceAndTracingResumes)
{
    SendAndCheck("a1");

    // A folder in the file's place: no user, root included, can append to it.
    ASSERT_TRUE(QFile::remove(m_log));
    ASSERT_TRUE(QDir(m_dir.path()).mkdir(QStringLiteral("Command.log")));
    SendAndCheck("b2");
    SendAndCheck("c3");
    ASSERT_EQ(m_failures.size(), 1u);
    EXPECT_TRUE(m_failures[0].startsWith(QStringLiteral("デバッグログ作成失敗\n") + m_log + QLatin1Char('\n')));
    EXPECT_TRUE(m_failures[0].endsWith(QStringLiteral("|エラー")));
    EXPECT_TRUE(m_udp.WriteLog());
    EXPECT_TRUE(m_udp.Active());

    // Read-only for an ordinary user; root writes through the mode bits, so that
    // case is only checked where it can fail. Still the same switch-on: no box.
    ASSERT_TRUE(QDir(m_dir.path()).rmdir(QStringLiteral("Command.log")));
    SendAndCheck("d4");
    EXPECT_EQ(m_failures.size(), 1u);
    if (::geteuid() != 0) {
        ASSERT_TRUE(QFile::setPermissions(m_log, QFile::ReadOwner));
        SendAndCheck("e5");
        EXPECT_EQ(m_failures.size(), 1u);
        ASSERT_TRUE(QFile::setPermissions(m_log, QFile::ReadOwner | QFile::WriteOwner));
    }

    // Writable again: tracing goes on in the same file without a word.
    SendAndCheck("f6");
    m_udp.Close();
    const QByteArray trace = Trace();
    EXPECT_TRUE(trace.contains("[64h,34h]"));
    EXPECT_TRUE(trace.contains("[66h,36h]"));
    EXPECT_TRUE(trace.endsWith("Disconnected\r\n"));
    EXPECT_EQ(m_failures.size(), 1u);
}

} // namespace
} // namespace vpx
