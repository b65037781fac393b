// Repeat sending against the clock: 10,000 one-byte datagrams at 1 ms to a
// socket of our own on 127.0.0.1, through TRepeatSender (due times counted from
// the start) and, as the baseline in the same run, through a plain repeating
// 1 ms QTimer (each tick counted from the last). Prints, for both, how far the
// last send lies behind its slot (the drift) and how late a 10 ms probe timer
// in the same event loop fired (the window's responsiveness), with the probe
// alone as its baseline. About 25 seconds.
//
//   bench_repeat [SENDS] [PERIOD_MS]

#include "traffic/RepeatSender.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>
#include <arpa/inet.h>
#include <cstdio>
#include <cstdlib>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace {

struct Probe {
    QTimer timer;
    QElapsedTimer clock;
    qint64 last = 0;
    std::vector<qint64> lateUs;

    void Start()
    {
        lateUs.clear();
        timer.setTimerType(Qt::PreciseTimer);
        timer.setInterval(10);
        QObject::connect(&timer, &QTimer::timeout, [this] {
            const qint64 now = clock.nsecsElapsed();
            lateUs.push_back(std::max<qint64>(0, (now - last) / 1000 - 10000));
            last = now;
        });
        clock.start();
        last = 0;
        timer.start();
    }
    void Stop() { timer.stop(); timer.disconnect(); }
    qint64 Percentile(double p) const
    {
        if (lateUs.empty())
            return 0;
        std::vector<qint64> s = lateUs;
        std::sort(s.begin(), s.end());
        return s[std::min(s.size() - 1, static_cast<std::size_t>(p * static_cast<double>(s.size())))];
    }
};

void RunFor(int ms)
{
    QTimer::singleShot(ms, qApp, [] { qApp->exit(0); });
    qApp->exec();
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int sends = argc > 1 ? std::atoi(argv[1]) : 10000;
    const int periodMs = argc > 2 ? std::atoi(argv[2]) : 1;

    const int rx = ::socket(AF_INET, SOCK_DGRAM, 0);
    const int tx = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof to;
    if (rx < 0 || tx < 0 || ::bind(rx, reinterpret_cast<sockaddr*>(&to), sizeof to) != 0 ||
        ::getsockname(rx, reinterpret_cast<sockaddr*>(&to), &len) != 0) {
        std::perror("socket");
        return 1;
    }
    int big = 8 << 20;
    ::setsockopt(rx, SOL_SOCKET, SO_RCVBUF, &big, sizeof big);
    const auto sendOne = [&] {
        const char byte = 0x41;
        ::sendto(tx, &byte, 1, 0, reinterpret_cast<sockaddr*>(&to), sizeof to);
    };
    const double idealMs = static_cast<double>(sends - 1) * periodMs;

    // The probe alone: what the event loop gives a 10 ms timer on this machine now.
    Probe probe;
    probe.Start();
    RunFor(3000);
    probe.Stop();
    const qint64 idleP99 = probe.Percentile(0.99), idleMax = probe.Percentile(1.0);

    // Baseline: a repeating timer, each period counted from the tick before.
    QElapsedTimer clock;
    int naiveSent = 0;
    double naiveLastMs = 0;
    {
        QTimer naive;
        naive.setTimerType(Qt::PreciseTimer);
        naive.setInterval(periodMs);
        probe.Start();
        clock.start();
        QObject::connect(&naive, &QTimer::timeout, [&] {
            sendOne();
            naiveLastMs = static_cast<double>(clock.nsecsElapsed()) / 1e6;
            if (++naiveSent == sends) {
                naive.stop();
                qApp->exit(0);
            }
        });
        sendOne();
        naiveSent = 1;
        naive.start();
        app.exec();
        probe.Stop();
    }
    const qint64 naiveP99 = probe.Percentile(0.99);

    // TRepeatSender: each send due at start + k * period.
    double lastMs = 0;
    vpx::TRepeatSender sender;
    sender.OnFinished = [&](std::int64_t, const QString&) { qApp->exit(0); };
    probe.Start();
    clock.start();
    sender.Start(periodMs, sends, [&](std::int64_t, QString&) {
        sendOne();
        lastMs = static_cast<double>(clock.nsecsElapsed()) / 1e6;
        return true;
    });
    app.exec();
    probe.Stop();
    const qint64 repeatP99 = probe.Percentile(0.99), repeatMax = probe.Percentile(1.0);

    const double drift = lastMs - idealMs, naiveDrift = naiveLastMs - idealMs;
    std::printf("sends=%d period_ms=%d ideal_last_ms=%.0f\n", sends, periodMs, idealMs);
    std::printf("repeat:   sent=%lld last_ms=%.1f drift_ms=%.2f per_send_us=%.2f max_late_us=%lld\n",
                static_cast<long long>(sender.Sent()), lastMs, drift, drift * 1000 / sends,
                static_cast<long long>(sender.MaxLateNs() / 1000));
    std::printf("baseline: sent=%d last_ms=%.1f drift_ms=%.2f (repeating QTimer)\n", naiveSent, naiveLastMs,
                naiveDrift);
    std::printf("drift ratio repeat/baseline=%.3f\n", naiveDrift != 0 ? drift / naiveDrift : 0.0);
    std::printf("probe late_p99_us: idle=%lld during_repeat=%lld during_baseline=%lld; max idle=%lld repeat=%lld\n",
                static_cast<long long>(idleP99), static_cast<long long>(repeatP99),
                static_cast<long long>(naiveP99), static_cast<long long>(idleMax),
                static_cast<long long>(repeatMax));
    ::close(rx);
    ::close(tx);
    return 0;
}
