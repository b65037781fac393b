// The loopback load: Vorpex against a bare echo loop, in one run, on 127.0.0.1
// only. For each responder and datagram size it measures
//   - closed-loop ping-pong: round trip p50, p99 and max;
//   - open loop at a ladder of rates: sent, answered, loss and achieved reply rate;
//     the sustained rate is the highest rung answered with less than 0.1 % loss;
//   - a flood at the echo's sustained rate: the responder's CPU time per reply and,
//     for Vorpex, how late a 10 ms timer fires on its GUI thread (p99);
//   - the responder's peak memory;
//   - context switches over all the responder's threads per reply at 5,000 and
//     20,000 datagrams a second;
// and, for Vorpex, its memory after 1,000 datagrams against after 1,000,000.
// Vorpex runs offscreen, with its trace file on, and painting on an Xvfb the
// benchmark starts (its CPU counted apart), each against the same echo. All the
// responders of one datagram size run at once and take turns, a block of pings
// or a rung of the ladder each, so that the machine's changing pace falls on
// them alike; a rung that loses datagrams gets a second try, for every
// responder alike.
// The generator runs on the first core and the responder on the second. Every
// loop is bounded in count and time. Details go to stderr, the one table to stdout.
//
//   bench_udp_load [--quick] [--memory-datagrams N] [--step-ms MS]
//   bench_udp_load --cli [--quick] [--step-ms MS]
//
// With --cli it compares `vorpex-cli respond --to-sender` (a "*" row answering
// every datagram, its lines going to /dev/null) with the echo instead: round
// trip, sustained rate and CPU per reply, both asking for the same receive queue.

#include <arpa/inet.h>
#include <dirent.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sched.h>
#include <sys/prctl.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <initializer_list>
#include <map>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::duration d)
{
    return std::chrono::duration<double>(d).count();
}

// ---------------------------------------------------------------------------
// What /proc tells about a responder.

// User and system CPU seconds of all the process's threads.
std::pair<double, double> CpuSplit(pid_t pid)
{
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const auto close = text.rfind(')');
    if (close == std::string::npos)
        return {};
    std::istringstream fields(text.substr(close + 2));
    std::vector<std::string> f;
    for (std::string t; fields >> t;)
        f.push_back(t);
    if (f.size() < 13)
        return {};
    // utime and stime, the 14th and 15th fields, each summed over all threads.
    const double tick = static_cast<double>(::sysconf(_SC_CLK_TCK));
    return {std::strtod(f[11].c_str(), nullptr) / tick, std::strtod(f[12].c_str(), nullptr) / tick};
}

double CpuSeconds(pid_t pid)
{
    const auto [user, system] = CpuSplit(pid);
    return user + system;
}

// Context switches, voluntary and not, summed over every thread the process has now.
long ContextSwitches(pid_t pid)
{
    long total = 0;
    const std::string tasks = "/proc/" + std::to_string(pid) + "/task";
    DIR* dir = ::opendir(tasks.c_str());
    if (!dir)
        return 0;
    while (const dirent* entry = ::readdir(dir)) {
        if (entry->d_name[0] == '.')
            continue;
        std::ifstream in(tasks + "/" + entry->d_name + "/status");
        for (std::string line; std::getline(in, line);) {
            if (line.rfind("voluntary_ctxt_switches:", 0) == 0 || line.rfind("nonvoluntary_ctxt_switches:", 0) == 0)
                total += std::atol(line.c_str() + line.find(':') + 1);
        }
    }
    ::closedir(dir);
    return total;
}

// VmRSS or VmHWM in megabytes.
double StatusMb(pid_t pid, const char* key)
{
    std::ifstream in("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(in, line);) {
        if (line.rfind(key, 0) == 0)
            return std::strtod(line.c_str() + std::strlen(key) + 1, nullptr) / 1024.0;
    }
    return 0;
}

void PinToCpu(int cpu)
{
    if (::sysconf(_SC_NPROCESSORS_ONLN) < 2)
        return;
    cpu_set_t set;
    CPU_ZERO(&set);
    CPU_SET(cpu, &set);
    ::sched_setaffinity(0, sizeof set, &set);
}

// ---------------------------------------------------------------------------
// A responder process with its stdin and stdout on pipes.

// Starts `args` on the second CPU with `std` (stdin, stdout, stderr) as its
// standard streams; the descriptors in `close` are closed in the child once
// they have been put in place.
pid_t Spawn(const std::vector<std::string>& args, std::array<int, 3> std, std::initializer_list<int> close)
{
    const pid_t pid = ::fork();
    if (pid != 0)
        return pid;
    PinToCpu(1);
    for (int i = 0; i < 3; ++i)
        if (std[static_cast<std::size_t>(i)] != i)
            ::dup2(std[static_cast<std::size_t>(i)], i);
    for (const int fd : close)
        ::close(fd);
    std::vector<char*> argv;
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    ::execv(argv[0], argv.data());
    std::perror("bench_udp_load: exec");
    ::_exit(127);
}

class Responder {
public:
    ~Responder() { Stop(); }

    bool Start(const std::vector<std::string>& args)
    {
        int in[2], out[2];
        if (::pipe(in) != 0 || ::pipe(out) != 0)
            return false;
        m_pid = Spawn(args, {in[0], out[1], STDERR_FILENO}, {in[0], in[1], out[0], out[1]});
        ::close(in[0]);
        ::close(out[1]);
        m_toChild = in[1];
        m_fromChild = out[0];
        if (m_pid < 0)
            return false;
        const std::string line = ReadLine(30000);
        if (line.rfind("port ", 0) != 0)
            return false;
        m_port = static_cast<std::uint16_t>(std::atoi(line.c_str() + 5));
        const auto queue = line.find("rcvbuf ");
        if (queue != std::string::npos)
            m_queue = std::atoi(line.c_str() + queue + 7);
        return m_port != 0;
    }

    // A vorpex-cli responder: its standard output goes to /dev/null, its standard
    // error (where it reports the port it got) comes here; it ends with SIGTERM.
    bool StartCli(const std::vector<std::string>& args)
    {
        int err[2];
        if (::pipe(err) != 0)
            return false;
        const int null = ::open("/dev/null", O_RDWR | O_CLOEXEC);
        m_pid = Spawn(args, {null, null, err[1]}, {null, err[0], err[1]});
        ::close(null);
        ::close(err[1]);
        m_fromChild = err[0];
        m_terminate = true;
        if (m_pid < 0)
            return false;
        const std::string line = ReadLine(30000);
        const auto at = line.find("127.0.0.1:");
        if (at == std::string::npos)
            return false;
        m_port = static_cast<std::uint16_t>(std::atoi(line.c_str() + at + 10));
        const auto queue = line.find("receive queue ");
        if (queue != std::string::npos)
            m_queue = std::atoi(line.c_str() + queue + 14);
        return m_port != 0;
    }

    // The receive queue the responder says the system granted it; 0 when it did not say.
    int Queue() const { return m_queue; }

    std::string Command(const std::string& command, int timeoutMs = 10000)
    {
        const std::string line = command + "\n";
        if (::write(m_toChild, line.data(), line.size()) != static_cast<ssize_t>(line.size()))
            return {};
        return ReadLine(timeoutMs);
    }

    void Stop()
    {
        if (m_pid <= 0)
            return;
        if (m_terminate) {
            ::kill(m_pid, SIGTERM);
        } else {
            const std::string quit = "quit\n";
            [[maybe_unused]] const auto ignored = ::write(m_toChild, quit.data(), quit.size());
            ::close(m_toChild);
        }
        const auto deadline = Clock::now() + std::chrono::seconds(10);
        int status = 0;
        while (::waitpid(m_pid, &status, WNOHANG) == 0) {
            if (Clock::now() > deadline) {
                ::kill(m_pid, SIGKILL);
                ::waitpid(m_pid, &status, 0);
                break;
            }
            ::usleep(10000);
        }
        ::close(m_fromChild);
        m_pid = -1;
    }

    pid_t Pid() const { return m_pid; }
    std::uint16_t Port() const { return m_port; }

private:
    std::string ReadLine(int timeoutMs)
    {
        const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
        for (;;) {
            const auto eol = m_buffer.find('\n');
            if (eol != std::string::npos) {
                std::string line = m_buffer.substr(0, eol);
                m_buffer.erase(0, eol + 1);
                return line;
            }
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
            if (left <= 0)
                return {};
            pollfd p{m_fromChild, POLLIN, 0};
            if (::poll(&p, 1, static_cast<int>(left)) <= 0)
                continue;
            char buf[512];
            const ssize_t n = ::read(m_fromChild, buf, sizeof buf);
            if (n <= 0)
                return {};
            m_buffer.append(buf, static_cast<std::size_t>(n));
        }
    }

    pid_t m_pid = -1;
    int m_toChild = -1;
    int m_fromChild = -1;
    std::uint16_t m_port = 0;
    int m_queue = 0;
    bool m_terminate = false;
    std::string m_buffer;
};

// ---------------------------------------------------------------------------
// The generator's socket on 127.0.0.1, with room enough never to drop a reply itself.

class Load {
public:
    Load()
    {
        m_fd = ::socket(AF_INET, SOCK_DGRAM, 0);
        sockaddr_in local{};
        local.sin_family = AF_INET;
        local.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(m_fd, reinterpret_cast<sockaddr*>(&local), sizeof local);
        socklen_t len = sizeof local;
        ::getsockname(m_fd, reinterpret_cast<sockaddr*>(&local), &len);
        m_port = ntohs(local.sin_port);
        const int big = 8 << 20;
        ::setsockopt(m_fd, SOL_SOCKET, SO_RCVBUF, &big, sizeof big);
        ::setsockopt(m_fd, SOL_SOCKET, SO_SNDBUF, &big, sizeof big);
        ::fcntl(m_fd, F_SETFL, ::fcntl(m_fd, F_GETFL) | O_NONBLOCK);
    }
    ~Load() { ::close(m_fd); }
    Load(const Load&) = delete;
    Load& operator=(const Load&) = delete;

    std::uint16_t Port() const { return m_port; }

    void Target(std::uint16_t port)
    {
        m_target = sockaddr_in{};
        m_target.sin_family = AF_INET;
        m_target.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        m_target.sin_port = htons(port);
    }

    // Sends `count` copies of the payload; returns how many went out.
    int Send(const std::vector<char>& payload, int count)
    {
        mmsghdr msgs[64];
        iovec iov{const_cast<char*>(payload.data()), payload.size()};
        count = std::min(count, 64);
        for (int i = 0; i < count; ++i) {
            msgs[i] = mmsghdr{};
            msgs[i].msg_hdr.msg_name = &m_target;
            msgs[i].msg_hdr.msg_namelen = sizeof m_target;
            msgs[i].msg_hdr.msg_iov = &iov;
            msgs[i].msg_hdr.msg_iovlen = 1;
        }
        const int n = ::sendmmsg(m_fd, msgs, static_cast<unsigned>(count), 0);
        return n < 0 ? 0 : n;
    }

    // Reads whatever has arrived without waiting; returns the number of datagrams.
    int Receive()
    {
        static char bufs[64][2048];
        mmsghdr msgs[64];
        iovec iov[64];
        int total = 0;
        for (;;) {
            for (int i = 0; i < 64; ++i) {
                iov[i] = iovec{bufs[i], sizeof bufs[i]};
                msgs[i] = mmsghdr{};
                msgs[i].msg_hdr.msg_iov = &iov[i];
                msgs[i].msg_hdr.msg_iovlen = 1;
            }
            const int n = ::recvmmsg(m_fd, msgs, 64, MSG_DONTWAIT, nullptr);
            if (n <= 0)
                return total;
            total += n;
            if (n < 64)
                return total;
        }
    }

    // Waits at most `timeout` for a datagram to arrive.
    bool Wait(Clock::duration timeout)
    {
        if (timeout < Clock::duration::zero())
            timeout = Clock::duration::zero();
        const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(timeout).count();
        const timespec ts{static_cast<time_t>(ns / 1000000000), static_cast<long>(ns % 1000000000)};
        pollfd p{m_fd, POLLIN, 0};
        return ::ppoll(&p, 1, &ts, nullptr) > 0;
    }

    // Throws away late replies until the line has been quiet for `quiet`; returns how many.
    long Drain(Clock::duration quiet = std::chrono::milliseconds(100))
    {
        const auto deadline = Clock::now() + std::chrono::seconds(5);
        long drained = 0;
        while (Clock::now() < deadline && Wait(quiet))
            drained += Receive();
        return drained;
    }

private:
    int m_fd = -1;
    std::uint16_t m_port = 0;
    sockaddr_in m_target{};
};

// ---------------------------------------------------------------------------
// The measurements.

struct RoundTrip {
    double p50 = 0, p99 = 0, max = 0; // microseconds
    int answered = 0, lost = 0;
};

// `count` round trips of one datagram at a time, appended to `us` (microseconds);
// a ping with no answer within 200 ms is counted in `lost`.
void Pings(Load& load, int size, int count, Clock::time_point end, std::vector<double>& us, int& lost)
{
    const std::vector<char> payload(static_cast<std::size_t>(size), 'q');
    for (int i = 0; i < count && Clock::now() < end; ++i) {
        const auto t0 = Clock::now();
        load.Send(payload, 1);
        bool got = false;
        while (!got && load.Wait(std::chrono::milliseconds(200) - (Clock::now() - t0)))
            got = load.Receive() > 0;
        const double rtt = std::chrono::duration<double, std::micro>(Clock::now() - t0).count();
        if (!got) {
            ++lost;
            load.Drain(std::chrono::milliseconds(20));
            continue;
        }
        us.push_back(rtt);
    }
}

RoundTrip Summary(std::vector<double> us, int lost)
{
    RoundTrip r;
    r.lost = lost;
    r.answered = static_cast<int>(us.size());
    if (!us.empty()) {
        std::sort(us.begin(), us.end());
        r.p50 = us[us.size() / 2];
        r.p99 = us[(us.size() - 1) * 99 / 100];
        r.max = us.back();
    }
    return r;
}

struct Step {
    int rate = 0;
    long sent = 0, answered = 0;
    double loss = 0, replyRate = 0;
    bool held = true; // the generator itself sent at the rate asked (within 5 %)
};

Step OpenLoop(Load& load, int size, int rate, double seconds)
{
    const std::vector<char> payload(static_cast<std::size_t>(size), 'q');
    Step s;
    s.rate = rate;
    const long total = std::lround(rate * seconds);
    const auto start = Clock::now();
    auto lastReply = start;
    const auto due = [&](Clock::time_point now) {
        return std::min<long>(total, static_cast<long>(Seconds(now - start) * rate) + 1);
    };
    const auto hardEnd = start + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds * 3 + 2));
    while (s.sent < total && Clock::now() < hardEnd) {
        const long want = due(Clock::now());
        while (s.sent < want) {
            const int n = load.Send(payload, static_cast<int>(std::min<long>(64, want - s.sent)));
            if (n == 0)
                break;
            s.sent += n;
        }
        if (const int n = load.Receive()) {
            s.answered += n;
            lastReply = Clock::now();
        }
        if (s.sent < total) {
            const auto next = start + std::chrono::duration_cast<Clock::duration>(
                                          std::chrono::duration<double>(static_cast<double>(s.sent) / rate));
            load.Wait(next - Clock::now());
        }
    }
    s.held = s.sent >= total && Seconds(Clock::now() - start) <= seconds * 1.05 + 0.005;
    // The replies still on their way.
    while (s.answered < s.sent && load.Wait(std::chrono::milliseconds(300))) {
        s.answered += load.Receive();
        lastReply = Clock::now();
    }
    s.answered = std::min(s.answered, s.sent);
    s.loss = s.sent > 0 ? 1.0 - static_cast<double>(s.answered) / static_cast<double>(s.sent) : 1.0;
    const double span = Seconds(lastReply - start);
    s.replyRate = span > 0 ? static_cast<double>(s.answered) / span : 0;
    return s;
}

constexpr double kLossLimit = 0.001;

// What Vorpex and vorpex-cli ask of the system for their port (the engine's receive queue).
constexpr int kVorpexQueueBytes = 4 << 20;

struct Flood {
    double cpuUsPerReply = 0;
    double kernelShare = -1; // of the responder's CPU, the part spent in the kernel
    double xCpuUsPerReply = -1; // the X server's, when the responder paints on one
    double lateP99Ms = -1, lateMaxMs = -1; // -1: no GUI
    double loss = 0;
};

std::map<std::string, double> ParseStats(const std::string& line)
{
    std::map<std::string, double> values;
    std::istringstream in(line);
    for (std::string item; in >> item;) {
        const auto eq = item.find('=');
        if (eq != std::string::npos)
            values[item.substr(0, eq)] = std::strtod(item.c_str() + eq + 1, nullptr);
    }
    return values;
}

Flood RunFlood(Load& load, Responder& responder, bool gui, int size, int rate, double seconds, pid_t xServer = 0)
{
    Flood f;
    load.Drain();
    if (gui)
        responder.Command("stats"); // counts from here
    const auto [user0, system0] = CpuSplit(responder.Pid());
    const double x0 = xServer > 0 ? CpuSeconds(xServer) : 0;
    const Step s = OpenLoop(load, size, rate, seconds);
    const auto [user1, system1] = CpuSplit(responder.Pid());
    const double cpu0 = user0 + system0, cpu1 = user1 + system1;
    if (cpu1 > cpu0)
        f.kernelShare = (system1 - system0) / (cpu1 - cpu0);
    const double x1 = xServer > 0 ? CpuSeconds(xServer) : 0;
    f.loss = s.loss;
    f.cpuUsPerReply = s.answered > 0 ? (cpu1 - cpu0) * 1e6 / static_cast<double>(s.answered) : 0;
    if (xServer > 0)
        f.xCpuUsPerReply = s.answered > 0 ? (x1 - x0) * 1e6 / static_cast<double>(s.answered) : 0;
    if (gui) {
        const auto stats = ParseStats(responder.Command("stats"));
        if (stats.count("late_p99_us")) {
            f.lateP99Ms = stats.at("late_p99_us") / 1000.0;
            f.lateMaxMs = stats.at("late_max_us") / 1000.0;
        }
    }
    std::fprintf(stderr, "  flood %6d/s for %.0f s: loss %.3f %%, %.2f us CPU per reply (%.0f %% kernel; X server %.2f), "
                 "timer late p99 %.1f ms max %.1f ms\n",
                 rate, seconds, s.loss * 100, f.cpuUsPerReply, f.kernelShare * 100, f.xCpuUsPerReply, f.lateP99Ms,
                 f.lateMaxMs);
    return f;
}

// Context switches of all the responder's threads per reply at a steady rate
// below every responder's limit: what one datagram costs in sleeps and wake-ups.
double SwitchesPerReply(Load& load, Responder& responder, int size, int rate, double seconds)
{
    load.Drain();
    const long before = ContextSwitches(responder.Pid());
    const Step s = OpenLoop(load, size, rate, seconds);
    const long after = ContextSwitches(responder.Pid());
    const double perReply = s.answered > 0 ? static_cast<double>(after - before) / static_cast<double>(s.answered) : -1;
    std::fprintf(stderr, "  %6d/s for %.1f s: %.2f context switches per reply (loss %.3f %%)\n", rate, seconds,
                 perReply, s.loss * 100);
    return perReply;
}

struct Result {
    bool ok = false;
    RoundTrip rtt;
    int sustained = 0;
    int generatorLimit = 0; // the rung the generator could not hold; 0: it held every rung tried
    Flood flood;
    double switches5k = -1, switches20k = -1;
    double peakMb = 0;
    int queue = 0; // the receive queue the system granted
};

// The sustained rate as the table shows it: "+" when the generator, not the responder, ended the ladder.
std::string RateCell(const Result& r)
{
    return std::to_string(r.sustained) + (r.generatorLimit > 0 ? "+" : "");
}

struct Config {
    std::string dir;
    double stepSeconds = 1.0;
    double floodSeconds = 2.0;
    double switchSeconds = 1.5;
    int pings = 2000;
    long memoryDatagrams = 1000000;
    double memorySeconds = 90;
};

std::vector<std::string> ResponderArgs(const Config& c, bool vorpex, std::uint16_t loadPort, int size, bool trace,
                                       bool lookup = false)
{
    // The echo asks for the receive queue Vorpex asks for, so both meet a flood with the same room.
    if (!vorpex)
        return {c.dir + "/bench_udp_echo", "600", std::to_string(kVorpexQueueBytes)};
    return {c.dir + "/bench_vorpex_responder", std::to_string(loadPort), std::to_string(size),
            trace ? "trace" : lookup ? "lookup" : "-",
            "600"};
}

// A responder under measurement and the generator's socket that drives it.
struct Participant {
    std::string who;
    bool gui = false;
    pid_t xServer = 0; // the X server it paints on, if any
    Load load;
    Responder responder;
    Result r;
    bool climbing = true; // the ladder has not ended for it yet
    int missed = 0;       // the rung it missed, when that ended its ladder
};
using Participants = std::vector<std::unique_ptr<Participant>>;

// Rungs no wider than a tenth apart where the responders end, so that a ratio is
// not decided by where the rungs happen to stand, and past what the echo has
// reached on this machine, so that the echo's limit is found, not the ladder's.
constexpr int kRungs[] = {2000,   5000,   10000,  15000,  20000,  25000,  30000,  35000,  40000,  50000,
                          60000,  70000,  80000,  90000,  100000, 110000, 120000, 130000, 140000, 150000,
                          165000, 180000, 200000, 220000, 240000, 265000, 290000, 320000, 350000};

enum class Outcome { Held, Missed, GeneratorLimited };

// One rate for one responder. A rate that loses datagrams is tried once more at
// once, every responder alike: a guest beside us on the host can stall either
// of them for longer than its queue lasts, and that says nothing about the
// rate it sustains.
Outcome TryRate(Participant& p, int size, int rate, double stepSeconds)
{
    for (int attempt = 1; attempt <= 2; ++attempt) {
        p.load.Drain();
        const Step s = OpenLoop(p.load, size, rate, stepSeconds);
        std::fprintf(stderr,
                     "  %-14s %4d B  rate %6d/s  sent %7ld  answered %7ld  loss %6.3f %%  replies %8.0f/s%s%s\n",
                     p.who.c_str(), size, rate, s.sent, s.answered, s.loss * 100, s.replyRate,
                     attempt > 1 ? "  (second try)" : "", s.held ? "" : "  (the generator could not hold this rate)");
        if (!s.held)
            return Outcome::GeneratorLimited;
        if (s.loss < kLossLimit)
            return Outcome::Held;
    }
    return Outcome::Missed;
}

// One rung of the ladder. The ladder ends at a rung missed twice, or where the
// generator itself cannot send at the rung's rate (that rung is kept in
// `generatorLimit`: the responder's limit is then at least the sustained rate,
// not known to be it).
void ClimbRung(Participant& p, int size, int rate, double stepSeconds)
{
    switch (TryRate(p, size, rate, stepSeconds)) {
    case Outcome::Held:
        p.r.sustained = rate;
        return;
    case Outcome::GeneratorLimited:
        p.r.generatorLimit = rate;
        break;
    case Outcome::Missed:
        p.missed = rate;
        break;
    }
    p.climbing = false;
}

// One halving of the gap between the last rate held and the one missed: three
// of them (the rungs are a tenth apart there) bring it to about 1 %, so that a
// ratio does not depend on where each responder's limit falls between two
// rungs. False once there is nothing left to narrow.
bool Refine(Participant& p, int size, double stepSeconds)
{
    if (p.missed == 0 || p.r.sustained == 0)
        return false;
    const int rate = (p.r.sustained + p.missed) / 2 / 500 * 500;
    if (rate <= p.r.sustained || p.missed - p.r.sustained <= 1000)
        return false;
    switch (TryRate(p, size, rate, stepSeconds)) {
    case Outcome::Held:
        p.r.sustained = rate;
        break;
    case Outcome::Missed:
        p.missed = rate;
        break;
    case Outcome::GeneratorLimited:
        p.r.generatorLimit = rate;
        p.missed = 0;
        return false;
    }
    return true;
}

// The measurements every responder gets, the first of them being the echo the
// others are compared with. The round trips and the ladder take turns between
// the responders, a block of pings or a rung each, so that a change in the
// machine's pace (another guest on the host, a frequency step) falls on all of
// them alike instead of on whichever ran at that moment; so does the narrowing
// of each one's limit between its last two rungs. Then, one responder at
// a time: context switches at 5,000 and 20,000 a second, and a flood at the
// echo's sustained rate.
void MeasureTogether(const Config& c, Participants& ps, int size)
{
    for (auto& p : ps)
        p->load.Target(p->responder.Port());
    std::vector<std::vector<double>> us(ps.size());
    std::vector<int> lost(ps.size(), 0);
    const auto end = Clock::now() + std::chrono::seconds(10 * static_cast<int>(ps.size()));
    const int blocks = 10;
    for (auto& p : ps) {
        std::vector<double> warmUp;
        int ignored = 0;
        Pings(p->load, size, 200, end, warmUp, ignored);
    }
    for (int b = 0; b < blocks; ++b)
        for (std::size_t i = 0; i < ps.size(); ++i)
            Pings(ps[i]->load, size, c.pings / blocks, end, us[i], lost[i]);
    for (std::size_t i = 0; i < ps.size(); ++i) {
        Result& r = ps[i]->r;
        r.rtt = Summary(us[i], lost[i]);
        std::fprintf(stderr, "  %-14s %4d B  round trip p50 %.1f us  p99 %.1f us  max %.1f us  (%d answered, %d lost)\n",
                     ps[i]->who.c_str(), size, r.rtt.p50, r.rtt.p99, r.rtt.max, r.rtt.answered, r.rtt.lost);
    }

    for (const int rate : kRungs) {
        bool any = false;
        for (auto& p : ps) {
            if (p->climbing) {
                ClimbRung(*p, size, rate, c.stepSeconds);
                any = true;
            }
        }
        if (!any)
            break;
    }
    // Narrowed in turns too, as the rungs were climbed.
    for (int round = 0; round < 3; ++round)
        for (auto& p : ps)
            Refine(*p, size, c.stepSeconds);

    const int floodRate = std::max(ps.front()->r.sustained, 2000);
    for (auto& p : ps) {
        Result& r = p->r;
        std::fprintf(stderr, "  %s:\n", p->who.c_str());
        r.switches5k = SwitchesPerReply(p->load, p->responder, size, 5000, c.switchSeconds);
        r.switches20k = SwitchesPerReply(p->load, p->responder, size, 20000, c.switchSeconds);
        r.flood = RunFlood(p->load, p->responder, p->gui, size, floodRate, c.floodSeconds, p->xServer);
        r.peakMb = StatusMb(p->responder.Pid(), "VmHWM:");
        r.ok = true;
    }
}

// An X server of the benchmark's own (Xvfb), so that the window paints as a
// user's does; its CPU is counted apart from the responder's.
class XServer {
public:
    explicit XServer(const std::string& xvfb)
    {
        int fd[2];
        if (::pipe(fd) != 0)
            return;
        // Beside the responder, on the second core: painting competes with answering as it does on a desk.
        const int null = ::open("/dev/null", O_RDWR | O_CLOEXEC);
        m_pid = Spawn({xvfb, "-displayfd", std::to_string(fd[1]), "-screen", "0", "1280x1024x24", "-nolisten", "tcp"},
                      {null, null, null}, {fd[0]});
        ::close(null);
        ::close(fd[1]);
        std::string number;
        pollfd p{fd[0], POLLIN, 0};
        char ch;
        while (::poll(&p, 1, 10000) > 0 && ::read(fd[0], &ch, 1) == 1 && ch != '\n')
            number += ch;
        ::close(fd[0]);
        if (!number.empty())
            m_display = ":" + number;
    }
    ~XServer()
    {
        if (m_pid > 0) {
            ::kill(m_pid, SIGTERM);
            ::waitpid(m_pid, nullptr, 0);
        }
    }
    XServer(const XServer&) = delete;
    XServer& operator=(const XServer&) = delete;

    pid_t Pid() const { return m_display.empty() ? 0 : m_pid; }
    const std::string& Display() const { return m_display; }

private:
    pid_t m_pid = -1;
    std::string m_display;
};

// Starts one of the window's forms (or the echo) for MeasureTogether; null when it did not start.
std::unique_ptr<Participant> StartParticipant(const Config& c, bool vorpex, bool trace, int size,
                                              const XServer* x = nullptr, bool lookup = false)
{
    auto p = std::make_unique<Participant>();
    p->who = !vorpex  ? "echo"
             : x      ? "Vorpex on X"
             : trace  ? "Vorpex+trace"
             : lookup ? "Vorpex lookup"
                      : "Vorpex";
    p->gui = vorpex;
    p->xServer = x ? x->Pid() : 0;
    if (x) {
        ::setenv("DISPLAY", x->Display().c_str(), 1);
        ::setenv("QT_QPA_PLATFORM", "xcb", 1);
    }
    const bool started = p->responder.Start(ResponderArgs(c, vorpex, p->load.Port(), size, trace, lookup));
    ::unsetenv("QT_QPA_PLATFORM");
    if (!started) {
        std::fprintf(stderr, "  %s did not start\n", p->who.c_str());
        return nullptr;
    }
    p->r.queue = p->responder.Queue();
    return p;
}

struct Memory {
    double afterFirst = 0, afterAll = 0;
    long answered = 0;
    double seconds = 0;
};

// At most `window` datagrams in flight, so the responder is kept busy but its
// queue never overflows; a window with no reply for 50 ms counts as lost.
Memory MemoryGrowth(const Config& c, int size)
{
    Memory m;
    Load load;
    Responder responder;
    if (!responder.Start(ResponderArgs(c, true, load.Port(), size, false)))
        return m;
    load.Target(responder.Port());
    const std::vector<char> payload(static_cast<std::size_t>(size), 'q');
    const int window = 32;
    long sent = 0;
    int inFlight = 0;
    const auto start = Clock::now();
    const auto end = start + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(c.memorySeconds));
    bool first = false;
    while (m.answered < c.memoryDatagrams && Clock::now() < end) {
        while (inFlight < window && sent < c.memoryDatagrams) {
            const int n = load.Send(payload, static_cast<int>(std::min<long>(window - inFlight, c.memoryDatagrams - sent)));
            if (n == 0)
                break;
            sent += n;
            inFlight += n;
        }
        if (!load.Wait(std::chrono::milliseconds(50))) {
            inFlight = 0;
            if (sent >= c.memoryDatagrams)
                break;
            continue;
        }
        const int n = load.Receive();
        m.answered += n;
        inFlight = std::max(0, inFlight - n);
        if (!first && m.answered >= 1000) {
            first = true;
            m.answered += load.Drain(std::chrono::milliseconds(20));
            inFlight = 0;
            m.afterFirst = StatusMb(responder.Pid(), "VmRSS:");
        }
    }
    m.answered += load.Drain(std::chrono::milliseconds(50));
    m.afterAll = StatusMb(responder.Pid(), "VmRSS:");
    m.seconds = Seconds(Clock::now() - start);
    std::fprintf(stderr, "  memory: %.1f MB after 1,000 datagrams, %.1f MB after %ld (%ld sent, %.0f s)\n", m.afterFirst,
                 m.afterAll, m.answered, sent, m.seconds);
    return m;
}

// ---------------------------------------------------------------------------
// The table.

std::string Cell(double v, int decimals = 1)
{
    if (v < 0)
        return "-";
    char text[32];
    std::snprintf(text, sizeof text, "%.*f", decimals, v);
    return text;
}

std::string Ratio(double vorpex, double echo)
{
    if (echo <= 0 || vorpex < 0)
        return "-";
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", vorpex / echo);
    return text;
}

std::string Verdict(bool met, const std::string& text)
{
    return text + (met ? ": met" : ": MISSED");
}

// ---------------------------------------------------------------------------
// vorpex-cli respond against the echo.


int CompareCli(const Config& c)
{
    const std::string cliPath = c.dir + "/../src/cli/vorpex-cli";
    const int sizes[] = {8, 512};
    std::map<int, Result> echo, cli;
    for (const int size : sizes) {
        // The reply is the request's size, as the echo's is.
        const std::string replies = c.dir + "/cli-bench-" + std::to_string(size) + ".vpa";
        {
            std::ofstream out(replies, std::ios::binary);
            out << "1\t*\tany\tany\t\"" << std::string(static_cast<std::size_t>(size), 'q') << "\"\r\n";
        }
        std::fprintf(stderr, "%d-byte datagrams\n", size);
        Participants ps;
        for (const bool isCli : {false, true}) {
            auto p = std::make_unique<Participant>();
            p->who = isCli ? "vorpex-cli" : "echo";
            const bool started =
                isCli ? p->responder.StartCli({cliPath, "respond", "--port", "0", "--bind", "127.0.0.1", "--replies",
                                               replies, "--to-sender"})
                      : p->responder.Start({c.dir + "/bench_udp_echo", "600", std::to_string(kVorpexQueueBytes)});
            if (!started) {
                std::fprintf(stderr, "  %s did not start\n", p->who.c_str());
                return 1;
            }
            p->r.queue = p->responder.Queue();
            ps.push_back(std::move(p));
        }
        MeasureTogether(c, ps, size);
        echo[size] = ps[0]->r;
        cli[size] = ps[1]->r;
    }
    std::printf("\nvorpex-cli respond (a \"*\" row answering every datagram to its sender, lines to /dev/null) "
                "against a bare recvfrom/sendto echo, 127.0.0.1, one core each.\nratio = vorpex-cli / echo; "
                "sustained = highest rate answered with < 0.1 %% loss.\n\n");
    std::printf("| %-36s | %9s | %10s | %6s | %-22s |\n", "measure", "echo", "vorpex-cli", "ratio", "goal");
    std::printf("|%s|%s|%s|%s|%s|\n", std::string(38, '-').c_str(), std::string(11, '-').c_str(),
                std::string(12, '-').c_str(), std::string(8, '-').c_str(), std::string(24, '-').c_str());
    bool allMet = true;
    for (const int size : sizes) {
        const Result& e = echo[size];
        const Result& v = cli[size];
        const std::string s = std::to_string(size) + " B ";
        const double rateRatio = e.sustained > 0 ? static_cast<double>(v.sustained) / e.sustained : 0;
        const bool rateMet = rateRatio >= 0.9;
        const bool p50Met = e.rtt.p50 > 0 && v.rtt.p50 > 0 && v.rtt.p50 <= 1.2 * e.rtt.p50;
        allMet = allMet && rateMet && p50Met;
        const auto row = [](const std::string& what, const std::string& a, const std::string& b, const std::string& r,
                            const std::string& goal) {
            std::printf("| %-36s | %9s | %10s | %6s | %-22s |\n", what.c_str(), a.c_str(), b.c_str(), r.c_str(),
                        goal.c_str());
        };
        row(s + "receive queue granted (bytes)", std::to_string(e.queue), std::to_string(v.queue), "",
            "");
        row(s + "sustained replies/s", RateCell(e), RateCell(v),
            Ratio(v.sustained, e.sustained), Verdict(rateMet, ">= 0.9"));
        row(s + "round trip p50 (us)", Cell(e.rtt.p50), Cell(v.rtt.p50), Ratio(v.rtt.p50, e.rtt.p50),
            Verdict(p50Met, "<= 1.2"));
        row(s + "round trip p99 (us)", Cell(e.rtt.p99), Cell(v.rtt.p99), Ratio(v.rtt.p99, e.rtt.p99), "");
        row(s + "CPU per reply (us)", Cell(e.flood.cpuUsPerReply, 2), Cell(v.flood.cpuUsPerReply, 2),
            Ratio(v.flood.cpuUsPerReply, e.flood.cpuUsPerReply), "");
        row(s + "CPU in the kernel (%)", Cell(e.flood.kernelShare * 100, 0), Cell(v.flood.kernelShare * 100, 0), "",
            "");
        row(s + "switches/reply at 5000/s", Cell(e.switches5k, 2), Cell(v.switches5k, 2), "", "");
        row(s + "switches/reply at 20000/s", Cell(e.switches20k, 2), Cell(v.switches20k, 2), "", "");
        row(s + "flood loss (%)", Cell(e.flood.loss * 100, 3), Cell(v.flood.loss * 100, 3), "", "");
        row(s + "peak memory (MB)", Cell(e.peakMb), Cell(v.peakMb), "", "");
    }
    return allMet ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    ::signal(SIGPIPE, SIG_IGN);
    Config c;
    bool cli = false;
    {
        char self[4096] = {};
        const ssize_t n = ::readlink("/proc/self/exe", self, sizeof self - 1);
        std::string path(self, n > 0 ? static_cast<std::size_t>(n) : 0);
        c.dir = path.substr(0, path.rfind('/'));
    }
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--quick") {
            c.stepSeconds = 0.5;
            c.floodSeconds = 1;
            c.switchSeconds = 0.75;
            c.pings = 500;
            c.memoryDatagrams = 100000;
            c.memorySeconds = 20;
        } else if (a == "--memory-datagrams" && i + 1 < argc) {
            c.memoryDatagrams = std::atol(argv[++i]);
        } else if (a == "--step-ms" && i + 1 < argc) {
            c.stepSeconds = std::atof(argv[++i]) / 1000.0;
        } else if (a == "--cli") {
            cli = true;
        }
    }
    PinToCpu(0);
    // Wake-ups on time, not gathered into bursts by the default 50 us slack:
    // the steady rates must reach the responder one datagram at a time.
    ::prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
    if (cli)
        return CompareCli(c);

    const int sizes[] = {8, 512};
    std::map<int, Result> echo, vorpex, traced, onX;
    Result lookup; // 8 B only: the walk through the tree does not depend on the size
    XServer x("/usr/bin/Xvfb");
    if (x.Pid() == 0)
        std::fprintf(stderr, "Xvfb did not start: the X form is left out\n");
    for (const int size : sizes) {
        std::fprintf(stderr, "%d-byte datagrams\n", size);
        Participants ps;
        std::vector<Result*> results;
        const auto add = [&](std::unique_ptr<Participant> p, Result& into) {
            if (p) {
                ps.push_back(std::move(p));
                results.push_back(&into);
            }
        };
        add(StartParticipant(c, false, false, size), echo[size]);
        if (results.empty())
            return 1;
        add(StartParticipant(c, true, false, size), vorpex[size]);
        add(StartParticipant(c, true, true, size), traced[size]);
        if (x.Pid() != 0)
            add(StartParticipant(c, true, false, size, &x), onX[size]);
        if (size == 8)
            add(StartParticipant(c, true, false, size, nullptr, true), lookup);
        MeasureTogether(c, ps, size);
        for (std::size_t i = 0; i < ps.size(); ++i)
            *results[i] = ps[i]->r;
    }
    std::fprintf(stderr, "memory growth\n");
    const Memory memory = MemoryGrowth(c, 512);

    std::printf("\nVorpex (auto-reply on a \"*\" row, traffic log showing; offscreen, with the trace file, and "
                "painting on an X server of its own) against a bare recvfrom/sendto echo given the same receive "
                "queue, 127.0.0.1, one core each.\nratio = Vorpex / echo; sustained = highest rate answered with "
                "< 0.1 %% loss (\"+\": the generator could not go faster); CPU (all threads) and timer lateness "
                "under a flood at the echo's sustained rate; context switches over all threads at a steady rate.\n\n");
    const auto row = [](const std::string& what, const std::string& e, const std::string& v, const std::string& vr,
                        const std::string& t, const std::string& tr, const std::string& xv, const std::string& xr,
                        const std::string& goal) {
        std::printf("| %-36s | %9s | %9s | %6s | %9s | %6s | %9s | %6s | %-24s |\n", what.c_str(), e.c_str(), v.c_str(),
                    vr.c_str(), t.c_str(), tr.c_str(), xv.c_str(), xr.c_str(), goal.c_str());
    };
    row("measure", "echo", "Vorpex", "ratio", "+trace", "ratio", "on X", "ratio", "goal (Vorpex, on X)");
    std::printf("|%s|%s|%s|%s|%s|%s|%s|%s|%s|\n", std::string(38, '-').c_str(), std::string(11, '-').c_str(),
                std::string(11, '-').c_str(), std::string(8, '-').c_str(), std::string(11, '-').c_str(),
                std::string(8, '-').c_str(), std::string(11, '-').c_str(), std::string(8, '-').c_str(),
                std::string(26, '-').c_str());
    const auto ratio = [](double v, double e) { return Ratio(v, e); };
    for (const int size : sizes) {
        const Result& e = echo[size];
        const Result& v = vorpex[size];
        const Result& t = traced[size];
        const Result& xr = onX[size]; // not ok when there was no X server
        const std::string s = std::to_string(size) + " B ";
        const auto both = [&](auto&& met) { return met(v) && (!xr.ok || met(xr)); };
        const auto rateRatio = [&](const Result& r) {
            return e.sustained > 0 ? static_cast<double>(r.sustained) / e.sustained : 0.0;
        };
        row(s + "receive queue granted (bytes)", std::to_string(e.queue), std::to_string(v.queue), "",
            std::to_string(t.queue), "", xr.ok ? std::to_string(xr.queue) : "-", "", "");
        row(s + "sustained replies/s", RateCell(e), RateCell(v), ratio(v.sustained, e.sustained), RateCell(t),
            ratio(t.sustained, e.sustained), xr.ok ? RateCell(xr) : "-", ratio(xr.sustained, e.sustained),
            Verdict(both([&](const Result& r) { return rateRatio(r) >= 0.8; }), ">= 0.8, aim 1.0"));
        row(s + "round trip p50 (us)", Cell(e.rtt.p50), Cell(v.rtt.p50), ratio(v.rtt.p50, e.rtt.p50), Cell(t.rtt.p50),
            ratio(t.rtt.p50, e.rtt.p50), xr.ok ? Cell(xr.rtt.p50) : "-", ratio(xr.rtt.p50, e.rtt.p50),
            Verdict(e.rtt.p50 > 0 && both([&](const Result& r) { return r.rtt.p50 <= 1.3 * e.rtt.p50; }), "<= 1.3"));
        row(s + "round trip p99 (us)", Cell(e.rtt.p99), Cell(v.rtt.p99), ratio(v.rtt.p99, e.rtt.p99), Cell(t.rtt.p99),
            ratio(t.rtt.p99, e.rtt.p99), xr.ok ? Cell(xr.rtt.p99) : "-", ratio(xr.rtt.p99, e.rtt.p99), "");
        row(s + "CPU per reply (us)", Cell(e.flood.cpuUsPerReply, 2), Cell(v.flood.cpuUsPerReply, 2),
            ratio(v.flood.cpuUsPerReply, e.flood.cpuUsPerReply), Cell(t.flood.cpuUsPerReply, 2),
            ratio(t.flood.cpuUsPerReply, e.flood.cpuUsPerReply), xr.ok ? Cell(xr.flood.cpuUsPerReply, 2) : "-",
            ratio(xr.flood.cpuUsPerReply, e.flood.cpuUsPerReply),
            Verdict(e.flood.cpuUsPerReply > 0 &&
                        both([&](const Result& r) { return r.flood.cpuUsPerReply <= 2 * e.flood.cpuUsPerReply; }),
                    "<= 2"));
        row(s + "CPU in the kernel (%)", Cell(e.flood.kernelShare * 100, 0), Cell(v.flood.kernelShare * 100, 0), "",
            Cell(t.flood.kernelShare * 100, 0), "", xr.ok ? Cell(xr.flood.kernelShare * 100, 0) : "-", "", "");
        row(s + "X server CPU per reply (us)", "-", "-", "", "-", "", xr.ok ? Cell(xr.flood.xCpuUsPerReply, 2) : "-",
            "", "");
        for (const auto& [rate, pick] : {std::pair<int, double Result::*>{5000, &Result::switches5k},
                                         std::pair<int, double Result::*>{20000, &Result::switches20k}}) {
            row(s + "switches/reply at " + std::to_string(rate) + "/s", Cell(e.*pick, 2), Cell(v.*pick, 2), "",
                Cell(t.*pick, 2), "", xr.ok ? Cell(xr.*pick, 2) : "-", "",
                Verdict(both([&](const Result& r) { return r.*pick >= 0 && r.*pick <= 1.5; }), "<= 1.5"));
        }
        row(s + "flood loss (%)", Cell(e.flood.loss * 100, 3), Cell(v.flood.loss * 100, 3), "",
            Cell(t.flood.loss * 100, 3), "", xr.ok ? Cell(xr.flood.loss * 100, 3) : "-", "", "");
        row(s + "GUI 10 ms timer late p99 (ms)", "-", Cell(v.flood.lateP99Ms), "", Cell(t.flood.lateP99Ms), "",
            xr.ok ? Cell(xr.flood.lateP99Ms) : "-", "",
            Verdict(both([&](const Result& r) { return r.flood.lateP99Ms >= 0 && r.flood.lateP99Ms <= 20; }),
                    "<= 20 ms"));
        row(s + "GUI 10 ms timer late max (ms)", "-", Cell(v.flood.lateMaxMs), "", Cell(t.flood.lateMaxMs), "",
            xr.ok ? Cell(xr.flood.lateMaxMs) : "-", "", "");
        row(s + "peak memory (MB)", Cell(e.peakMb), Cell(v.peakMb), "", Cell(t.peakMb), "",
            xr.ok ? Cell(xr.peakMb) : "-", "", "");
    }
    row("8 B lookup row, 30,000 commands: replies/s", "", RateCell(lookup), Ratio(lookup.sustained, vorpex[8].sustained),
        "", "", "", "", Verdict(vorpex[8].sustained > 0 && lookup.sustained >= 0.5 * vorpex[8].sustained,
                                ">= 0.5 x Vorpex (direct row)"));
    char first[32], all[32];
    std::snprintf(first, sizeof first, "%.1f", memory.afterFirst);
    std::snprintf(all, sizeof all, "%.1f", memory.afterAll);
    row("512 B memory after 1,000 (MB)", "", first, "", "", "", "", "", "");
    row("512 B memory after " + std::to_string(memory.answered) + " (MB)", "", all, "", "", "", "", "",
        Verdict(memory.answered >= c.memoryDatagrams && memory.afterAll - memory.afterFirst <= 10,
                "within 10 MB of 1,000"));
    return 0;
}
