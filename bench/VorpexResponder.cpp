// Vorpex as the responder of the loopback load: the real main window on the
// offscreen platform, started with "/a" of an auto-reply file whose one row
// "*" answers every datagram with a fixed payload of the request's size, the
// auto-reply switch on, the traffic log showing, replies going to the load
// generator's port on 127.0.0.1. A 10 ms timer on the GUI thread measures how
// late the event loop lets it fire.
//
//   bench_vorpex_responder PEER_PORT REPLY_SIZE [trace|lookup|-] [LIFETIME_SECONDS]
//
// "lookup": the row names its reply instead of holding it, the last of 30,000
// commands in the tree, so every answer walks the whole tree to find it.
//
// Prints "port N rcvbuf B" once listening (B: the receive queue the system
// granted). Commands on stdin, one a line:
//   stats  prints "late_p99_us=… late_max_us=… ticks=… rows=…" for the ticks since
//          the last stats and starts counting afresh (the trace file, if any, is
//          emptied, so a long run does not fill the disk)
//   quit   closes the window and ends

#include "shell/IPEdit.h"
#include "shell/Main.h"
#include "shell/MainActions.h"
#include "shell/NumEdit.h"
#include "traffic/AutoReplyCommands.h"
#include "traffic/TrafficLogView.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QSocketNotifier>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// Nothing may wait for a person: every box is answered at once and reported.
class StderrPrompts : public vpx::UserPrompts {
public:
    vpx::PromptButton Message(const QString& text, const QString& caption, vpx::PromptButtons,
                              vpx::PromptIcon) override
    {
        std::fprintf(stderr, "bench_vorpex_responder: box %s: %s\n", caption.toUtf8().constData(),
                     text.toUtf8().constData());
        return vpx::PromptButton::Ok;
    }
    std::optional<QString> OpenFileName(const vpx::FileDialogRequest&) override { return std::nullopt; }
    std::optional<QString> SaveFileName(const vpx::FileDialogRequest&) override { return std::nullopt; }
    int Exec(QDialog&) override { return 0; }
    void Beep() override {}
};

// The reply notation: quoted text of exactly `size` bytes.
QByteArray ReplyNotation(int size)
{
    QByteArray text(size, 'r');
    return '"' + text + '"';
}

std::uint16_t BoundPort(int socket)
{
    sockaddr_in a{};
    socklen_t len = sizeof a;
    if (::getsockname(socket, reinterpret_cast<sockaddr*>(&a), &len) != 0)
        return 0;
    return ntohs(a.sin_port);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: bench_vorpex_responder PEER_PORT REPLY_SIZE [trace|lookup|-] [LIFETIME_SECONDS]\n");
        return 2;
    }
    const int peerPort = std::atoi(argv[1]);
    const int replySize = std::atoi(argv[2]);
    const bool trace = argc > 3 && std::string(argv[3]) == "trace";
    const bool lookup = argc > 3 && std::string(argv[3]) == "lookup";
    const int lifetime = argc > 4 ? std::atoi(argv[4]) : 600;

    // Settings of a first start, in a folder of this run's own.
    QTemporaryDir dir;
    if (!dir.isValid())
        return 1;
    qputenv("XDG_CONFIG_HOME", dir.filePath(QStringLiteral("config")).toUtf8());
    // Offscreen unless the load generator gave it an X server of its own to paint on.
    if (qgetenv("QT_QPA_PLATFORM") != "xcb")
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("VORPEX_LOCAL_ADDRESS", "127.0.0.1");
    QApplication app(argc, argv);

    const QString rules = dir.filePath(QStringLiteral("echo.vpa"));
    {
        QFile file(rules);
        if (!file.open(QIODevice::WriteOnly))
            return 1;
        file.write(lookup ? QByteArray("0\t*\t\tthe-reply\r\n")
                          : "1\t*\t\t\t" + ReplyNotation(replySize) + "\r\n");
    }
    QStringList arguments{QStringLiteral("/a"), rules};
    if (lookup) {
        const QString commands = dir.filePath(QStringLiteral("lookup.vpx"));
        QFile file(commands);
        if (!file.open(QIODevice::WriteOnly))
            return 1;
        QByteArray text = "0 commands\r\n";
        for (int i = 0; i < 29999; ++i)
            text += "1 command " + QByteArray::number(i) + "=0:0x" + QByteArray::number(i % 256, 16) + "\r\n";
        text += "1 the-reply=0:" + ReplyNotation(replySize) + "\r\n";
        file.write(text);
        arguments += {QStringLiteral("/c"), commands};
    }

    StderrPrompts prompts;
    vpx::TfrmSimMain window(arguments, &prompts);
    window.ipedtAddress->SetAddress(QStringLiteral("127.0.0.1"));
    window.nedtPort->SetValue(static_cast<std::uint32_t>(peerPort));
    if (!window.AutoReply().IsAutoReplyOn())
        window.Actions()->ActionAutoReturn->trigger();
    const QString traceFile = dir.filePath(QStringLiteral("Command.log"));
    if (trace) {
        window.UDPControl.SetLogName(traceFile);
        window.UDPControl.SetWriteLog(true);
    }
    window.resize(1000, 700);
    window.show();
    if (!window.UDPControl.Active() || !window.AutoReply().IsAutoReplyOn()) {
        std::fprintf(stderr, "bench_vorpex_responder: the port is not open or auto-reply is off\n");
        return 1;
    }

    // The probe: a 10 ms timer, lateness = the gap between two ticks beyond 10 ms.
    std::vector<qint64> lateUs;
    lateUs.reserve(1 << 16);
    QElapsedTimer clock;
    clock.start();
    qint64 last = clock.nsecsElapsed();
    QTimer probe;
    probe.setTimerType(Qt::PreciseTimer);
    probe.setInterval(10);
    QObject::connect(&probe, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        lateUs.push_back(std::max<qint64>(0, (now - last) / 1000 - 10000));
        last = now;
    });
    probe.start();

    const auto stats = [&] {
        std::vector<qint64> sorted = lateUs;
        std::sort(sorted.begin(), sorted.end());
        const qint64 p99 = sorted.empty() ? 0 : sorted[(sorted.size() - 1) * 99 / 100];
        const qint64 max = sorted.empty() ? 0 : sorted.back();
        std::printf("late_p99_us=%lld late_max_us=%lld ticks=%zu rows=%d\n", static_cast<long long>(p99),
                    static_cast<long long>(max), sorted.size(), window.LogView->Model().rowCount());
        std::fflush(stdout);
        lateUs.clear();
        if (trace)
            QFile(traceFile).resize(0);
    };

    std::string pending;
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, [&] {
        char buf[256];
        const ssize_t n = ::read(STDIN_FILENO, buf, sizeof buf);
        if (n <= 0) {
            input.setEnabled(false);
            app.quit();
            return;
        }
        pending.append(buf, static_cast<std::size_t>(n));
        std::size_t eol;
        while ((eol = pending.find('\n')) != std::string::npos) {
            const std::string command = pending.substr(0, eol);
            pending.erase(0, eol + 1);
            if (command == "stats")
                stats();
            else if (command == "quit")
                app.quit();
        }
    });
    QTimer::singleShot(lifetime * 1000, &app, &QApplication::quit);

    int granted = 0;
    socklen_t grantedLen = sizeof granted;
    ::getsockopt(static_cast<int>(window.UDPControl.Socket()), SOL_SOCKET, SO_RCVBUF, &granted, &grantedLen);
    std::printf("port %u rcvbuf %d\n", BoundPort(static_cast<int>(window.UDPControl.Socket())), granted);
    std::fflush(stdout);
    const int rc = app.exec();
    window.UDPControl.SetWriteLog(false);
    return rc;
}
