// The real vorpex-cli against itself on 127.0.0.1: a responder started with
// port 0 reports the port it got, senders and plain sockets talk to it, and
// every wait has a deadline.

#include <QByteArray>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <memory>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

extern char** environ;

namespace {

const QString kCli = QStringLiteral(VPX_CLI_PATH);

struct Result {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

Result RunCli(const QStringList& args, int timeoutMs = 20000)
{
    QProcess p;
    p.start(kCli, args);
    Result r;
    if (!p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished(5000);
        r.err = "timed out";
        return r;
    }
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    return r;
}

// vorpex-cli started directly, for what QProcess cannot do: arguments that are
// not UTF-8, and standard output on a descriptor of the test's choosing
// (/dev/full, a pipe whose reader has gone). Standard error, and standard
// output when no descriptor is given, go to files read back.
class Spawned {
public:
    explicit Spawned(const std::vector<std::string>& args, int out = -1) : m_out(std::tmpfile()), m_err(std::tmpfile())
    {
        std::vector<char*> argv{const_cast<char*>(VPX_CLI_PATH)};
        for (const std::string& a : args)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out >= 0 ? out : fileno(m_out), STDOUT_FILENO);
        posix_spawn_file_actions_adddup2(&actions, fileno(m_err), STDERR_FILENO);
        m_running = posix_spawn(&m_pid, VPX_CLI_PATH, &actions, nullptr, argv.data(), environ) == 0;
        posix_spawn_file_actions_destroy(&actions);
    }
    ~Spawned()
    {
        if (m_running && ::kill(m_pid, SIGKILL) == 0)
            ::waitpid(m_pid, nullptr, 0);
        std::fclose(m_out);
        std::fclose(m_err);
    }
    // The exit code once it has ended by itself before the deadline, else -1.
    int Wait(int timeoutMs = 20000)
    {
        QElapsedTimer timer;
        timer.start();
        for (int status = 0; m_running && timer.elapsed() < timeoutMs;) {
            if (::waitpid(m_pid, &status, WNOHANG) != m_pid) {
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
                continue;
            }
            m_running = false;
            m_exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        }
        return m_exitCode;
    }
    QByteArray Out() const { return Contents(m_out); }
    QByteArray Err() const { return Contents(m_err); }

private:
    static QByteArray Contents(std::FILE* f)
    {
        QByteArray all;
        char buf[4096];
        for (ssize_t n; (n = ::pread(fileno(f), buf, sizeof buf, all.size())) > 0;)
            all.append(buf, n);
        return all;
    }

    std::FILE* m_out;
    std::FILE* m_err;
    pid_t m_pid = -1;
    bool m_running = false;
    int m_exitCode = -1;
};

// A responder running in the background; ends with SIGTERM when the test is done with it.
class Responder {
public:
    // Port 0 lets the system choose; the responder says which on standard error.
    explicit Responder(const QStringList& args, std::uint16_t port = 0)
    {
        m_process.start(kCli, QStringList{QStringLiteral("respond"), QStringLiteral("--port"), QString::number(port)} +
                                  args);
        QElapsedTimer timer;
        timer.start();
        static const QRegularExpression listening(QStringLiteral("listening on 127\\.0\\.0\\.1:(\\d+)"));
        while (timer.elapsed() < 20000 && m_process.state() != QProcess::NotRunning) {
            m_process.waitForReadyRead(100);
            m_err += m_process.readAllStandardError();
            const auto m = listening.match(QString::fromUtf8(m_err));
            if (m.hasMatch()) {
                m_port = static_cast<std::uint16_t>(m.captured(1).toUInt());
                return;
            }
        }
    }
    ~Responder()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(5000);
        }
    }
    std::uint16_t Port() const { return m_port; }
    QString Address() const { return QStringLiteral("127.0.0.1:%1").arg(m_port); }

    // Whether standard output shows `needle` before the deadline.
    bool WaitOut(const QByteArray& needle, int timeoutMs = 10000)
    {
        QElapsedTimer timer;
        timer.start();
        while (!m_out.contains(needle) && timer.elapsed() < timeoutMs) {
            m_process.waitForReadyRead(50);
            m_out += m_process.readAllStandardOutput();
        }
        return m_out.contains(needle);
    }

    // SIGTERM, then everything it wrote.
    Result Stop()
    {
        m_process.terminate();
        Result r;
        if (!m_process.waitForFinished(20000))
            return r;
        r.exitCode = m_process.exitStatus() == QProcess::NormalExit ? m_process.exitCode() : -1;
        r.out = m_out + m_process.readAllStandardOutput();
        r.err = m_err + m_process.readAllStandardError();
        return r;
    }
    QProcess& Process() { return m_process; }

private:
    QProcess m_process;
    QByteArray m_out;
    QByteArray m_err;
    std::uint16_t m_port = 0;
};

// A plain socket on 127.0.0.1 for the far ends the CLI does not play.
class Socket {
public:
    Socket()
    {
        m_fd = ::socket(AF_INET, SOCK_DGRAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(m_fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
        socklen_t len = sizeof a;
        ::getsockname(m_fd, reinterpret_cast<sockaddr*>(&a), &len);
        m_port = ntohs(a.sin_port);
    }
    ~Socket() { ::close(m_fd); }
    std::uint16_t Port() const { return m_port; }
    void SendTo(std::uint16_t port, const QByteArray& data) const
    {
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        a.sin_port = htons(port);
        ::sendto(m_fd, data.constData(), static_cast<size_t>(data.size()), 0, reinterpret_cast<sockaddr*>(&a),
                 sizeof a);
    }
    // The next datagram, or null after the deadline; `from` gets its sender's address.
    QByteArray Receive(QByteArray* from, int timeoutMs = 10000) const
    {
        pollfd p{m_fd, POLLIN, 0};
        if (::poll(&p, 1, timeoutMs) != 1)
            return QByteArray();
        char buf[2048];
        sockaddr_in a{};
        socklen_t len = sizeof a;
        const auto n = ::recvfrom(m_fd, buf, sizeof buf, 0, reinterpret_cast<sockaddr*>(&a), &len);
        if (from != nullptr) {
            char text[INET_ADDRSTRLEN] = {};
            ::inet_ntop(AF_INET, &a.sin_addr, text, sizeof text);
            *from = text;
        }
        return n < 0 ? QByteArray() : QByteArray(buf, static_cast<int>(n));
    }
    QByteArray Receive(int timeoutMs = 10000) const { return Receive(nullptr, timeoutMs); }

private:
    int m_fd = -1;
    std::uint16_t m_port = 0;
};

class CliProcess : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }
    QString Write(const char* name, const QByteArray& contents)
    {
        const QString path = m_dir.filePath(QString::fromLatin1(name));
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(contents);
        return path;
    }
    static QString S(const char* s) { return QString::fromUtf8(s); }

    QTemporaryDir m_dir;
};

const QByteArray kReplies = "1\t01,02\tping\tpong\t\"OK\"\r\n"
                            "0\t03,*\tstatus\tStatus\r\n"
                            "1\t09\toff\tnever\t\"NO\"\r\n";
const QByteArray kCommands = "0 Device\r\n1 Status=3:S258\r\n1 Hello=1:hi\r\n";

TEST_F(CliProcess, RespondAnswersASendThatWaits)
{
    Responder r({S("--replies"), Write("r.vpa", kReplies), S("--to-sender")});
    ASSERT_NE(r.Port(), 0);
    const Result s = RunCli({S("send"), S("--to"), r.Address(), S("1,2"), S("--wait"), S("1500")});
    EXPECT_EQ(s.exitCode, 0) << s.err.constData();
    EXPECT_TRUE(s.out.contains(QByteArray(" > ") + r.Address().toUtf8() + " [4F 4B]")) << s.out.constData();
    const Result end = r.Stop();
    EXPECT_EQ(end.exitCode, 0);
    EXPECT_TRUE(end.out.contains("[01 02] ping\n")) << end.out.constData();
    EXPECT_TRUE(end.out.contains("[4F 4B] pong\n")) << end.out.constData();
    EXPECT_TRUE(end.err.endsWith("vorpex-cli: received 1, matched 1, answered 1, unmatched 0\n")) << end.err.constData();
}

TEST_F(CliProcess, LookupRowAnswersWithTheLibraryCommand)
{
    Responder r({S("--replies"), Write("r.vpa", kReplies), S("--file"), Write("c.vpx", kCommands), S("--to-sender")});
    ASSERT_NE(r.Port(), 0);
    Socket device;
    device.SendTo(r.Port(), QByteArray("\x03\x07", 2));
    // Status is big-endian by its own setting, whatever the default.
    EXPECT_EQ(device.Receive(), QByteArray("\x01\x02", 2));
    const Result end = r.Stop();
    EXPECT_TRUE(end.out.contains("[01 02] Status\n")) << end.out.constData();
}

TEST_F(CliProcess, PeerGetsTheAnswerNotTheSender)
{
    Socket peer;
    Responder r({S("--replies"), Write("r.vpa", kReplies), S("--peer"), QStringLiteral("127.0.0.1:%1").arg(peer.Port())});
    ASSERT_NE(r.Port(), 0);
    const Result s = RunCli({S("send"), S("--to"), r.Address(), S("1,2"), S("--wait"), S("300")});
    EXPECT_EQ(s.exitCode, 1) << "the sender got an answer meant for the peer";
    EXPECT_TRUE(s.out.isEmpty());
    EXPECT_EQ(peer.Receive(), QByteArray("OK"));
    r.Stop();
}

TEST_F(CliProcess, JsonLinesParseBack)
{
    Responder r({S("--replies"), Write("r.vpa", kReplies), S("--to-sender"), S("--json")});
    ASSERT_NE(r.Port(), 0);
    Socket device;
    device.SendTo(r.Port(), QByteArray("\x01\x02", 2));
    EXPECT_EQ(device.Receive(), QByteArray("OK"));
    device.SendTo(r.Port(), QByteArray("\x0A", 1));
    device.SendTo(r.Port(), QByteArray("\x05", 1));
    ASSERT_TRUE(r.WaitOut("\"hex\":\"05\""));
    const Result end = r.Stop();
    const QList<QByteArray> lines = end.out.trimmed().split('\n');
    ASSERT_EQ(lines.size(), 4) << end.out.constData();
    QList<QJsonObject> objects;
    for (const QByteArray& line : lines) {
        QJsonParseError error{};
        const QJsonDocument doc = QJsonDocument::fromJson(line, &error);
        ASSERT_EQ(error.error, QJsonParseError::NoError) << line.constData();
        objects << doc.object();
    }
    EXPECT_EQ(objects[0][S("dir")].toString(), S("in"));
    EXPECT_EQ(objects[0][S("hex")].toString(), S("01 02"));
    EXPECT_TRUE(objects[0][S("matched")].toBool());
    EXPECT_EQ(objects[0][S("comment")].toString(), S("ping"));
    EXPECT_EQ(objects[0][S("port")].toInt(), device.Port());
    EXPECT_EQ(objects[1][S("dir")].toString(), S("out"));
    EXPECT_EQ(objects[1][S("hex")].toString(), S("4F 4B"));
    EXPECT_EQ(objects[1][S("length")].toInt(), 2);
    EXPECT_FALSE(objects[2][S("matched")].toBool());
    EXPECT_EQ(objects[3][S("hex")].toString(), S("05"));
    EXPECT_TRUE(objects[0][S("time")].toString().contains(QRegularExpression(S("^\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d\\.\\d{3}[+-]\\d\\d:\\d\\d$"))));
    EXPECT_TRUE(end.err.endsWith("vorpex-cli: received 3, matched 1, answered 1, unmatched 2\n")) << end.err.constData();
}

// respond reads each datagram whole into one buffer of the largest size: the
// edges of that buffer, each followed by a one-byte datagram that must still be
// read after it. An empty datagram is dropped unlogged, as the window drops it.
struct RespondEdge {
    const char* name;
    int size;
};

class RespondEdges : public CliProcess, public ::testing::WithParamInterface<RespondEdge> {};

TEST_P(RespondEdges, EveryByteIsLoggedAndTheNextDatagramStillAnswered)
{
    const RespondEdge c = GetParam();
    Responder r({S("--replies"), Write("r.vpa", "1\t*\tall\tok\t\"OK\"\r\n"), S("--to-sender"), S("--json")});
    ASSERT_NE(r.Port(), 0);
    Socket device;
    QByteArray sent(c.size, '\0');
    for (int i = 0; i < c.size; ++i)
        sent[i] = static_cast<char>(i % 251);
    device.SendTo(r.Port(), sent);
    device.SendTo(r.Port(), QByteArray("\x7E", 1));
    // The lines are read first: the largest one is more than a pipe holds, and
    // the reply follows its line.
    ASSERT_TRUE(r.WaitOut("\"hex\":\"7E\""));
    const int answered = c.size > 0 ? 2 : 1;
    for (int i = 0; i < answered; ++i)
        ASSERT_EQ(device.Receive(), QByteArray("OK")) << i;
    const Result end = r.Stop();
    const QList<QByteArray> lines = end.out.trimmed().split('\n');
    ASSERT_EQ(lines.size(), 2 * answered) << end.out.left(400).constData();
    if (c.size > 0) {
        const QJsonObject in = QJsonDocument::fromJson(lines[0]).object();
        EXPECT_EQ(in[S("length")].toInt(), c.size);
        EXPECT_EQ(QByteArray::fromHex(in[S("hex")].toString().remove(QLatin1Char(' ')).toLatin1()), sent);
        EXPECT_EQ(QJsonDocument::fromJson(lines[1]).object()[S("dir")].toString(), S("out"));
    }
    EXPECT_EQ(QJsonDocument::fromJson(lines[2 * answered - 2]).object()[S("hex")].toString(), S("7E"));
    EXPECT_TRUE(device.Receive(300).isNull()) << "an answer too many";
    const QByteArray summary = "received " + QByteArray::number(answered) + ", matched " +
                               QByteArray::number(answered) + ", answered " + QByteArray::number(answered) +
                               ", unmatched 0\n";
    EXPECT_TRUE(end.err.endsWith(summary)) << end.err.constData();
}

INSTANTIATE_TEST_SUITE_P(Sizes, RespondEdges,
                         ::testing::Values(RespondEdge{"Empty", 0}, RespondEdge{"OneByte", 1},
                                           RespondEdge{"Largest", 65507}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(CliProcess, SigtermEndsWithTheSummary)
{
    Responder r({S("--replies"), Write("r.vpa", kReplies), S("--to-sender")});
    ASSERT_NE(r.Port(), 0);
    Socket device;
    for (int i = 0; i < 3; ++i) {
        device.SendTo(r.Port(), QByteArray("\x01\x02", 2));
        ASSERT_EQ(device.Receive(), QByteArray("OK"));
    }
    device.SendTo(r.Port(), QByteArray("\x08", 1));
    ASSERT_TRUE(r.WaitOut("[08]")); // the unmatched one is in once it is printed
    const Result end = r.Stop();
    EXPECT_EQ(end.exitCode, 0);
    EXPECT_TRUE(end.err.endsWith("vorpex-cli: received 4, matched 3, answered 3, unmatched 1\n")) << end.err.constData();
}

TEST_F(CliProcess, MaxEndsByItself)
{
    Responder r({S("--replies"), Write("r.vpa", kReplies), S("--to-sender"), S("--max"), S("2")});
    ASSERT_NE(r.Port(), 0);
    Socket device;
    device.SendTo(r.Port(), QByteArray("\x01\x02", 2));
    device.SendTo(r.Port(), QByteArray("\x01\x02", 2));
    EXPECT_EQ(device.Receive(), QByteArray("OK"));
    EXPECT_EQ(device.Receive(), QByteArray("OK"));
    ASSERT_TRUE(r.Process().waitForFinished(20000));
    EXPECT_EQ(r.Process().exitCode(), 0);
    EXPECT_TRUE(r.Process().readAllStandardError().endsWith("received 2, matched 2, answered 2, unmatched 0\n"));
}

TEST_F(CliProcess, TraceFileHasTheWindowsLines)
{
    const QString trace = m_dir.filePath(S("trace.log"));
    // A port of its own: the trace names the port as configured.
    std::uint16_t port = 0;
    {
        const Socket probe;
        port = probe.Port();
    }
    Responder r({S("--replies"), Write("r.vpa", kReplies), S("--to-sender"), S("--trace"), trace}, port);
    ASSERT_EQ(r.Port(), port);
    Socket device;
    device.SendTo(r.Port(), QByteArray("\x01\x02", 2));
    ASSERT_EQ(device.Receive(), QByteArray("OK"));
    r.Stop();
    QFile f(trace);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = f.readAll().split('\n');
    ASSERT_EQ(lines.size(), 5); // four lines, each ending in CR LF
    const QByteArray p = QByteArray::number(r.Port());
    const QByteArray d = QByteArray::number(device.Port());
    const QRegularExpression stamp(S("^\\d\\d:\\d\\d:\\d\\d $"));
    for (int i = 0; i < 4; ++i) {
        EXPECT_TRUE(lines[i].endsWith('\r'));
        EXPECT_TRUE(stamp.match(QString::fromLatin1(lines[i].left(9))).hasMatch()) << lines[i].constData();
    }
    EXPECT_EQ(lines[0].mid(9), "Port(" + p + ") Connected\r");
    EXPECT_EQ(lines[1].mid(9), "Recv 127.0.0.1:" + p + " \x81\xA9 127.0.0.1:" + d + " [01h,02h]\r");
    EXPECT_EQ(lines[2].mid(9), "Send 127.0.0.1:" + p + " \x81\xA8 127.0.0.1:" + d + " [4Fh,4Bh]\r");
    EXPECT_EQ(lines[3].mid(9), "Port(" + p + ") Disconnected\r");
}

// The packets of a pcapng file: each enhanced packet block's raw IPv4 packet.
QList<QByteArray> PcapngPackets(const QByteArray& file)
{
    const auto u32 = [&file](qsizetype at) {
        return static_cast<quint32>(static_cast<quint8>(file[at])) |
               static_cast<quint32>(static_cast<quint8>(file[at + 1])) << 8 |
               static_cast<quint32>(static_cast<quint8>(file[at + 2])) << 16 |
               static_cast<quint32>(static_cast<quint8>(file[at + 3])) << 24;
    };
    QList<QByteArray> packets;
    for (qsizetype at = 0; at + 12 <= file.size();) {
        const quint32 length = u32(at + 4);
        if (length < 12 || at + length > file.size())
            break;
        if (u32(at) == 6)
            packets << file.mid(at + 28, u32(at + 20));
        at += length;
    }
    return packets;
}

TEST_F(CliProcess, PcapFileHoldsBothDirectionsAsTheWindowSavesThem)
{
    const QString pcap = m_dir.filePath(S("traffic.pcapng"));
    Responder r({S("--replies"), Write("r.vpa", kReplies), S("--to-sender"), S("--pcap"), pcap});
    ASSERT_NE(r.Port(), 0);
    Socket device;
    device.SendTo(r.Port(), QByteArray("\x01\x02", 2));
    ASSERT_EQ(device.Receive(), QByteArray("OK"));
    EXPECT_EQ(r.Stop().exitCode, 0);
    QFile f(pcap);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray file = f.readAll();
    ASSERT_TRUE(file.startsWith(QByteArray("\x0A\x0D\x0D\x0A", 4)));
    const QList<QByteArray> packets = PcapngPackets(file);
    ASSERT_EQ(packets.size(), 2);
    const auto port = [](const QByteArray& p, int at) {
        return static_cast<std::uint16_t>(static_cast<quint8>(p[at]) << 8 | static_cast<quint8>(p[at + 1]));
    };
    const struct {
        std::uint16_t from, to;
        QByteArray payload;
    } expected[] = {{device.Port(), r.Port(), QByteArray("\x01\x02", 2)}, {r.Port(), device.Port(), "OK"}};
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(port(packets[i], 20), expected[i].from) << i;
        EXPECT_EQ(port(packets[i], 22), expected[i].to) << i;
        EXPECT_EQ(packets[i].mid(12, 8), QByteArray("\x7F\0\0\x01\x7F\0\0\x01", 8)) << i;
        EXPECT_EQ(packets[i].mid(28), expected[i].payload) << i;
    }
}

TEST_F(CliProcess, PcapFileThatCannotBeCreatedStopsTheStart)
{
    const QString trace = m_dir.filePath(S("trace.log"));
    const Result r = RunCli({S("respond"), S("--port"), S("0"), S("--replies"), Write("r.vpa", kReplies),
                             S("--to-sender"), S("--pcap"), S("/nonexistent/x.pcapng"), S("--trace"), trace});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(r.err, "vorpex-cli: cannot write /nonexistent/x.pcapng: No such file or directory\n");
    // The capture is made once the port is open, which it leaves closed again.
    QFile f(trace);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray lines = f.readAll();
    EXPECT_TRUE(lines.contains(" Connected\r\n") && lines.endsWith(" Disconnected\r\n")) << lines.constData();
}

TEST_F(CliProcess, BadReplyFileNamesRowAndCharacter)
{
    const QString path = Write("bad.vpa", "1\t01\ta\tb\t\"x\"\r\n0\t01, zz\tc\td\r\n");
    const Result r = RunCli({S("respond"), S("--port"), S("0"), S("--replies"), path, S("--to-sender")});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.out.isEmpty());
    EXPECT_EQ(r.err, "vorpex-cli: " + path.toUtf8() +
                         ": row 2: bad notation at character 5 of the comparison data: Not a number, or out of range\n");
    const QString reply = Write("badreply.vpa", "1\t01\ta\tb\t1,2,300\r\n");
    const Result r2 = RunCli({S("respond"), S("--port"), S("0"), S("--replies"), reply, S("--to-sender")});
    EXPECT_EQ(r2.exitCode, 2);
    EXPECT_EQ(r2.err, "vorpex-cli: " + reply.toUtf8() +
                          ": row 1: bad notation at character 5 of the reply: Not a number, or out of range\n");
    // A reply may only name what its row captures.
    const QString unknown = Write("unknown.vpa", "1\t01\ta\tb\t01\r\n1\t?{a}\tc\td\t01, {b}\r\n");
    const Result r3 = RunCli({S("respond"), S("--port"), S("0"), S("--replies"), unknown, S("--to-sender")});
    EXPECT_EQ(r3.exitCode, 2);
    EXPECT_EQ(r3.err, "vorpex-cli: " + unknown.toUtf8() + ": row 2: bad notation at character 5 of the reply: "
                          "The comparison data captures no such name\n");
}

TEST_F(CliProcess, PortInUseIsOneLineAndLeavesAnEarlierCaptureAlone)
{
    Socket holder;
    const QString pcap = Write("earlier.pcapng", "the capture of an earlier run");
    const Result r = RunCli({S("respond"), S("--port"), QString::number(holder.Port()), S("--replies"),
                          Write("r.vpa", kReplies), S("--to-sender"), S("--pcap"), pcap});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(r.err, "vorpex-cli: port " + QByteArray::number(holder.Port()) + " is in use on 127.0.0.1\n");
    QFile f(pcap);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), "the capture of an earlier run");
}

TEST_F(CliProcess, SendsALibraryCommandByName)
{
    Socket device;
    const QString to = QStringLiteral("127.0.0.1:%1").arg(device.Port());
    const QString cmds = Write("c.vpx", kCommands);
    EXPECT_EQ(RunCli({S("send"), S("--to"), to, S("--file"), cmds, S("--command"), S("Stat")}).exitCode, 0);
    EXPECT_EQ(device.Receive(), QByteArray("\x01\x02", 2));
    EXPECT_EQ(RunCli({S("send"), S("--to"), to, S("--file"), cmds, S("--command"), S("Hello")}).exitCode, 0);
    EXPECT_EQ(device.Receive(), QByteArray("hi"));
    EXPECT_EQ(RunCli({S("send"), S("--to"), to, S("--text"), S("1,2"), S("--count"), S("2"), S("--interval"), S("5")})
                  .exitCode,
              0);
    EXPECT_EQ(device.Receive(), QByteArray("1,2"));
    EXPECT_EQ(device.Receive(), QByteArray("1,2"));
}

struct ErrorCase {
    std::vector<const char*> args;
    int exitCode;
    const char* err; // the whole of standard error after "vorpex-cli: "
};

class CliErrors : public CliProcess, public ::testing::WithParamInterface<ErrorCase> {};

TEST_P(CliErrors, AreOneLineWithTheirExitCode)
{
    const QString cmds = Write("c.vpx", kCommands);
    QStringList args;
    for (const char* a : GetParam().args)
        args << QString::fromUtf8(a).replace(QStringLiteral("CMDS"), cmds);
    const Result r = RunCli(args);
    EXPECT_EQ(r.exitCode, GetParam().exitCode);
    EXPECT_TRUE(r.out.isEmpty()) << r.out.constData();
    const QString expected = QString::fromUtf8(GetParam().err).replace(QStringLiteral("CMDS"), cmds);
    EXPECT_EQ(QString::fromUtf8(r.err), QStringLiteral("vorpex-cli: ") + expected + u'\n');
}

INSTANTIATE_TEST_SUITE_P(
    Table, CliErrors,
    ::testing::Values(
        ErrorCase{{"compile", "1,zz"}, 2, "bad notation at character 3: Not a number, or out of range"},
        ErrorCase{{"compile"}, 2, "compile needs a NOTATION"},
        ErrorCase{{"frobnicate"}, 2, "unknown command \"frobnicate\" (see vorpex-cli --help)"},
        ErrorCase{{"send", "1"}, 2, "send needs --to ADDR:PORT"},
        ErrorCase{{"send", "--to", "::1:5000", "1"}, 2,
                  "--to needs a dotted IPv4 address and a port 1-65535, not \"::1:5000\""},
        ErrorCase{{"send", "--to", "127.0.0.1:9", "1,zz"}, 2, "bad notation at character 3: Not a number, or out of range"},
        ErrorCase{{"send", "--to", "127.0.0.1:9", "--text", "Caf\xC3\xA9"}, 2,
                  "--text: \"\xC3\xA9\" (U+00E9) has no code page 932 form"},
        ErrorCase{{"send", "--to", "127.0.0.1:9", "--file", "/nonexistent/c.vpx", "--command", "x"}, 2,
                  "/nonexistent/c.vpx: cannot read the command file"},
        ErrorCase{{"send", "--to", "127.0.0.1:9", "--file", "CMDS", "--command", "Nothing"}, 2,
                  "CMDS: no command named \"Nothing\""},
        ErrorCase{{"send", "--to", "127.0.0.1:9", "1", "--wait", "soon"}, 2,
                  "--wait needs a whole number from 0 to 86400000, not \"soon\""},
        ErrorCase{{"respond", "--port", "0", "--replies", "/nonexistent/r.vpa", "--to-sender"}, 2,
                  "/nonexistent/r.vpa: cannot read the auto-reply file"},
        ErrorCase{{"respond", "--port", "0", "--replies", "CMDS"}, 2,
                  "respond needs exactly one of --peer ADDR:PORT and --to-sender"},
        ErrorCase{{"respond", "--port", "0", "--replies", "CMDS", "--to-sender"}, 2, "CMDS: no auto-reply rows"},
        ErrorCase{{"respond", "--port", "0", "--replies", "CMDS", "--to-sender", "--seed", "-1"}, 2,
                  "--seed needs a whole number from 0 to 9223372036854775807, not \"-1\""},
        ErrorCase{{"respond", "--port", "0", "--bind", "::1", "--replies", "CMDS", "--to-sender"}, 2,
                  "--bind needs a dotted IPv4 address, not \"::1\""},
        ErrorCase{{"respond", "--port", "0", "--join", "239.1.2.3,10.0.0.1", "--replies", "CMDS", "--to-sender"}, 2,
                  "--join needs multicast group addresses 224.0.0.0-239.255.255.255, not \"10.0.0.1\""},
        ErrorCase{{"respond", "--port", "0", "--join", "239.1.2.010", "--replies", "CMDS", "--to-sender"}, 2,
                  "--join needs multicast group addresses 224.0.0.0-239.255.255.255, not \"239.1.2.010\""},
        ErrorCase{{"send", "--to", "127.0.0.1:9", "--join", ",", "1"}, 2,
                  "--join needs multicast group addresses 224.0.0.0-239.255.255.255, not \",\""},
        ErrorCase{{"send", "--to", "127.0.0.1:9", "--ttl", "256", "1"}, 2,
                  "--ttl needs a whole number from 0 to 255, not \"256\""},
        ErrorCase{{"send", "--to", "127.0.0.1:9", "--bind", "127.0.0.2", "--from", "127.0.0.3:0", "1"}, 2,
                  "--bind and the address of --from differ"},
        ErrorCase{{"send", "--to", "127.0.0.1:9", "--bind", "::", "1"}, 2,
                  "--bind needs a dotted IPv4 address, not \"::\""}));

// The chosen address is the one datagrams leave from; the TTL option is taken
// (it bears on group datagrams only).
TEST_F(CliProcess, SendLeavesFromTheBoundAddress)
{
    Socket device;
    const Result s = RunCli({S("send"), S("--to"), QStringLiteral("127.0.0.1:%1").arg(device.Port()), S("--bind"),
                             S("127.0.0.2"), S("--ttl"), S("4"), S("0x5A")});
    EXPECT_EQ(s.exitCode, 0) << s.err.constData();
    QByteArray from;
    EXPECT_EQ(device.Receive(&from), QByteArray("\x5A", 1));
    EXPECT_EQ(from, "127.0.0.2");
}

TEST_F(CliProcess, CompilePrintsHexAndSendWithoutWaitSucceeds)
{
    const Result c = RunCli({S("compile"), S("--big"), S("--match"), S("1,?,*,S258")});
    EXPECT_EQ(c.exitCode, 0);
    EXPECT_EQ(c.out, "01 ?? * 01 02\n");
    Socket device;
    const Result s = RunCli({S("send"), S("--to"), QStringLiteral("127.0.0.1:%1").arg(device.Port()), S("0xFF")});
    EXPECT_EQ(s.exitCode, 0) << s.err.constData();
    EXPECT_EQ(device.Receive(), QByteArray("\xFF", 1));
}

// What the notation leaves out changes no byte and no exit code; standard error says where.
TEST_F(CliProcess, CompileWarnsOfWhatTheNotationLeavesOut)
{
    const struct {
        QString notation;
        QByteArray out, err;
    } cases[] = {
        {S("1, \"HELLO"), "01\n", "vorpex-cli: warning: unterminated quote at character 4: the rest is left out\n"},
        {QStringLiteral("\"あ\", 1, \"B"), "82 A0 01\n",
         "vorpex-cli: warning: unterminated quote at character 9: the rest is left out\n"},
        {S("%LENS, 1, %XORE"), "01\n",
         "vorpex-cli: warning: range started at character 1 is never ended: it adds nothing\n"
         "vorpex-cli: warning: range end without a start at character 11: it adds nothing\n"},
        {S("%LENS, 1, %LENE"), "01 01\n", ""},
    };
    for (const auto& c : cases) {
        const Result r = RunCli({S("compile"), c.notation});
        EXPECT_EQ(r.exitCode, 0) << c.notation.toStdString();
        EXPECT_EQ(r.out, c.out) << c.notation.toStdString();
        EXPECT_EQ(r.err, c.err) << c.notation.toStdString();
    }
}

// Arguments reach the program as bytes: raw code page 932 (here "表", whose
// trail byte is a backslash) is taken as it stands; bytes that are neither
// encoding are refused.
TEST_F(CliProcess, RawCodePage932ArgumentsAreTakenAsTheyStand)
{
    Spawned taken({"compile", "\"\x95\\\""});
    EXPECT_EQ(taken.Wait(), 0);
    EXPECT_EQ(taken.Out(), "95 5C\n");
    Spawned refused({"compile", "\"\x82\xA0\xFF\""});
    EXPECT_EQ(refused.Wait(), 2);
    EXPECT_EQ(refused.Err(), "vorpex-cli: NOTATION: byte 4 (0xFF) is neither UTF-8 nor code page 932\n");
}

// Output that cannot be written ends the run with exit 1 and says why: a full
// disk, and a reader that has gone away, for each command that prints.
class OutputFailures : public CliProcess, public ::testing::WithParamInterface<std::tuple<const char*, bool>> {};

TEST_P(OutputFailures, EndTheRunWithExitOne)
{
    const auto [command, closedPipe] = GetParam();
    int out = ::open("/dev/full", O_WRONLY | O_CLOEXEC);
    if (closedPipe) {
        int ends[2];
        ASSERT_EQ(::pipe2(ends, O_CLOEXEC), 0);
        ::close(ends[0]);
        ::close(out);
        out = ends[1];
    }
    const QString replies = Write("r.vpa", kReplies);
    Responder responder({S("--replies"), replies, S("--to-sender")});
    ASSERT_NE(responder.Port(), 0);
    // The waits are longer than the test waits for the end.
    const std::vector<std::vector<std::string>> args = {
        {"compile", "1,2"},
        {"send", "--to", responder.Address().toStdString(), "1,2", "--wait", "30000"},
        {"respond", "--port", "0", "--replies", replies.toStdString(), "--to-sender", "--for", "30"}};
    Spawned p(args.at(std::string(command) == "compile" ? 0 : std::string(command) == "send" ? 1 : 2), out);
    ::close(out);
    if (std::string(command) == "respond") {
        static const QRegularExpression listening(S("listening on 127\\.0\\.0\\.1:(\\d+)"));
        QString port;
        for (int i = 0; i < 1000 && port.isEmpty(); ++i, std::this_thread::sleep_for(std::chrono::milliseconds(10)))
            port = listening.match(QString::fromUtf8(p.Err())).captured(1);
        Socket device;
        device.SendTo(static_cast<std::uint16_t>(port.toUInt()), QByteArray("\x01\x02", 2));
        EXPECT_EQ(device.Receive(), QByteArray("OK"));
    }
    EXPECT_EQ(p.Wait(15000), 1) << p.Err().constData();
    const QByteArray reason = closedPipe ? "Broken pipe" : "No space left on device";
    EXPECT_TRUE(p.Err().endsWith("vorpex-cli: cannot write to standard output: " + reason + "\n")) << p.Err().constData();
    EXPECT_EQ(p.Err().contains("received 1, matched 1, answered 1, unmatched 0\n"), std::string(command) == "respond");
}

INSTANTIATE_TEST_SUITE_P(Table, OutputFailures,
                         ::testing::Combine(::testing::Values("compile", "send", "respond"), ::testing::Bool()),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param)) + (std::get<1>(info.param) ? "ToClosedPipe" : "ToFullDisk");
                         });

TEST_F(CliProcess, HelpNamesEveryCommandAndTheAddressRule)
{
    const Result h = RunCli({S("--help")});
    EXPECT_EQ(h.exitCode, 0);
    for (const char* text : {"vorpex-cli compile", "vorpex-cli send", "vorpex-cli respond", "IPv4 only", "--to-sender"})
        EXPECT_TRUE(h.out.contains(text)) << text;
}

} // namespace

// respond as a simulated device, against a device under test played by a
// Python peer on 127.0.0.1 that sends at set moments and times every answer.
namespace device {

struct Step {
    int atMs;
    const char* hex;
};
struct Answer {
    const char* hex;
    int afterStep; // the request it answers
    int minMs, maxMs; // after that request went out
};
struct Case {
    const char* name;
    QByteArray replies;
    std::vector<Step> steps;
    std::vector<Answer> answers; // in the order they arrive
    std::vector<const char*> printed; // parts of respond's JSON lines
};

struct PeerRun {
    std::vector<double> sent;
    std::vector<std::pair<double, QString>> received; // when, hex
};

// Runs the peer against `port`; empty when it did not finish.
PeerRun RunPeer(std::uint16_t port, const std::vector<Step>& steps, int listenMs = 600)
{
    QJsonArray list;
    for (const Step& s : steps)
        list.append(QJsonObject{{QStringLiteral("at"), s.atMs}, {QStringLiteral("hex"), QString::fromLatin1(s.hex)}});
    QProcess p;
    p.start(QStringLiteral("python3"), {QStringLiteral(VPX_DEVICE_PEER), QString::number(port),
                                        QString::fromUtf8(QJsonDocument(list).toJson(QJsonDocument::Compact)),
                                        QString::number(listenMs)});
    PeerRun run;
    if (!p.waitForFinished(20000) || p.exitCode() != 0) {
        ADD_FAILURE() << "the peer failed: " << p.readAllStandardError().constData();
        return run;
    }
    const QJsonObject o = QJsonDocument::fromJson(p.readAllStandardOutput()).object();
    for (const auto& v : o[QStringLiteral("sent")].toArray())
        run.sent.push_back(v.toDouble());
    for (const auto& v : o[QStringLiteral("received")].toArray())
        run.received.emplace_back(v[QStringLiteral("at")].toDouble(), v[QStringLiteral("hex")].toString());
    return run;
}

// The Modbus-RTU read of one register: unit 1, function 3, register 7, count 1.
const char* const kRead = "01 03 00 07 00 01 35 CB";
const QByteArray kModbusRow = "1\t%CRCS, 0x01, 0x03, BUS{reg}, BUS{count}, %LCRCE(CRC-16/MODBUS)\tstatus\tread\t"
                              "%CRCS, 0x01, 0x03, 2, BUS{#}, %LCRCE(CRC-16/MODBUS)\r\n";

class DeviceSimulation : public CliProcess, public ::testing::WithParamInterface<Case> {};

TEST_P(DeviceSimulation, AnswersAsItsRowsSay)
{
    const Case& c = GetParam();
    Responder r({S("--replies"), Write("r.vpa", c.replies), S("--to-sender"), S("--bind"), S("127.0.0.1"),
                 S("--json")});
    ASSERT_NE(r.Port(), 0);
    const PeerRun run = RunPeer(r.Port(), c.steps);
    ASSERT_EQ(run.sent.size(), c.steps.size());
    ASSERT_EQ(run.received.size(), c.answers.size());
    for (std::size_t i = 0; i < c.answers.size(); ++i) {
        const Answer& a = c.answers[i];
        SCOPED_TRACE(a.hex);
        EXPECT_EQ(run.received[i].second, QString::fromLatin1(a.hex));
        const double after = run.received[i].first - run.sent[static_cast<std::size_t>(a.afterStep)];
        EXPECT_GE(after, a.minMs);
        EXPECT_LE(after, a.maxMs);
    }
    const Result end = r.Stop();
    for (const char* part : c.printed)
        EXPECT_TRUE(end.out.contains(part)) << part << "\n" << end.out.constData();
}

INSTANTIATE_TEST_SUITE_P(
    Table, DeviceSimulation,
    ::testing::Values(
        // A right CRC is answered with the row's counter, 0, 1, 2; one CRC byte
        // changed is not, and the line says which check failed and how.
        Case{"ModbusReadWithCounter",
             kModbusRow,
             {{0, kRead}, {100, "01 03 00 07 00 01 35 CC"}, {200, kRead}, {300, kRead}},
             {{"01 03 02 00 00 B8 44", 0, 0, 150}, {"01 03 02 00 01 79 84", 2, 0, 150},
              {"01 03 02 00 02 39 85", 3, 0, 150}},
             {"\"matched\":true,\"comment\":\"status reg=7 count=1\",\"fields\":{\"reg\":\"7\",\"count\":\"1\"}}",
              "\"matched\":false,\"comment\":\"CRC-16/MODBUS: 35 CC received, 35 CB expected\","
              "\"check\":\"CRC-16/MODBUS: 35 CC received, 35 CB expected\"}"}},
        // The captured number plus one, at the type's width.
        Case{"CaptureArithmetic",
             "1\t0x10, US{n}\tinc\t\t0x11, US{n+1}\r\n",
             {{0, "10 07 00"}, {100, "10 FF FF"}},
             {{"11 08 00", 0, 0, 150}, {"11 00 00", 1, 0, 150}},
             {"\"fields\":{\"n\":\"7\"}", "\"fields\":{\"n\":\"65535\"}"}},
        // A held answer does not hold up the next request's.
        Case{"DelayKeepsReceiving",
             "1\t0x20\tslow\t\t%DELAY(200), 0xA0\r\n1\t0x21\tfast\t\t0xB1\r\n",
             {{0, "20"}, {50, "21"}},
             {{"B1", 1, 0, 100}, {"A0", 0, 180, 300}},
             {}},
        Case{"DupSendsCopies",
             "1\t0x40\tdup\t\t%DUP(3), 0x41\r\n",
             {{0, "40"}},
             {{"41", 0, 0, 150}, {"41", 0, 0, 150}, {"41", 0, 0, 150}},
             {}}),
    [](const auto& info) { return std::string(info.param.name); });

// The same seed drops the same answers; the dropped ones are printed as such and counted.
TEST_F(CliProcess, DropFollowsTheSeed)
{
    const QString replies = Write("drop.vpa", "1\t0x30, ?{i}\tdrop\t\t%DROP(50), 0x31, {i}\r\n");
    std::vector<Step> steps;
    std::vector<std::string> hex;
    for (int i = 0; i < 16; ++i) {
        hex.push_back(QStringLiteral("30 %1").arg(i, 2, 16, QLatin1Char('0')).toUpper().toStdString());
    }
    for (int i = 0; i < 16; ++i)
        steps.push_back({i * 10, hex[static_cast<std::size_t>(i)].c_str()});
    const auto answered = [&](const char* seed) {
        Responder r({S("--replies"), replies, S("--to-sender"), S("--bind"), S("127.0.0.1"), S("--seed"), S(seed)});
        QStringList got;
        if (r.Port() == 0)
            return got;
        for (const auto& [at, bytes] : RunPeer(r.Port(), steps, 300).received)
            got << bytes;
        const Result end = r.Stop();
        const auto n = got.size();
        EXPECT_EQ(end.out.count(" (dropped)\n"), 16 - n) << end.out.constData();
        EXPECT_TRUE(end.err.endsWith(QStringLiteral("answered %1, unmatched 0, dropped %2\n").arg(n).arg(16 - n).toUtf8()))
            << end.err.constData();
        return got;
    };
    const QStringList first = answered("7");
    EXPECT_GT(first.size(), 0);
    EXPECT_LT(first.size(), 16);
    EXPECT_EQ(answered("7"), first);
    EXPECT_NE(answered("8"), first);
}

} // namespace device
