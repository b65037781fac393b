#include "cli/CliCommands.h"

#include "cli/CliArgs.h"
#include "cli/CliText.h"
#include "cli/CommandLoad.h"
#include "cli/ReplyFile.h"
#include "library/CommandFind.h"
#include "notation/Notation.h"
#include "traffic/AutoReplySource.h"
#include "traffic/PayloadSender.h"
#include "transport/LocalAddress.h"
#include "traffic/ReceiveHandler.h"
#include "traffic/TrafficExport.h"
#include "traffic/TrafficSink.h"
#include "transport/UDPCtrl.h"
#include "transport/UDPErrs.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <QTimer>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

namespace vpx::cli {

namespace {

// The endpoint binds to the address the window uses; a chosen one replaces it
// the way the environment does for the window.
void ChooseLocalAddress(const std::string& address)
{
    if (!address.empty())
        ::setenv("VORPEX_LOCAL_ADDRESS", address.c_str(), 1);
}

// The port the system gave the socket (the one asked for, or a free one for 0).
std::uint16_t BoundPort(const TCustomUDPSock& udp)
{
    sockaddr_in addr{};
    socklen_t len = sizeof addr;
    if (::getsockname(static_cast<int>(udp.Socket()), reinterpret_cast<sockaddr*>(&addr), &len) != 0)
        return udp.Port();
    return ntohs(addr.sin_port);
}

// The receive queue the system granted the port.
int ReceiveQueue(const TCustomUDPSock& udp)
{
    int bytes = 0;
    socklen_t len = sizeof bytes;
    ::getsockopt(static_cast<int>(udp.Socket()), SOL_SOCKET, SO_RCVBUF, &bytes, &len);
    return bytes;
}

// One line for a socket failure: the endpoint's two-line message joined.
std::string OneLine(std::string text)
{
    for (std::size_t at; (at = text.find("\r\n")) != std::string::npos;)
        text.replace(at, 2, ": ");
    for (char& c : text)
        if (c == '\r' || c == '\n')
            c = ' ';
    return text;
}

long long CountOption(const CliArgs& a, const std::string& name, long long lo, long long hi, long long fallback);

// --join GROUP[,GROUP...] and --ttl N: the groups the port joins and the hop
// limit of what it sends to a group.
struct MulticastOptions {
    std::vector<std::string> groups;
    int ttl = kDefaultMulticastTtl;
};

MulticastOptions ReadMulticastOptions(const CliArgs& a)
{
    MulticastOptions o;
    if (const auto j = a.Value("--join")) {
        const MulticastGroupList list = ParseMulticastGroups(*j);
        if (!list.bad.empty() || list.groups.empty())
            throw CliError("--join needs multicast group addresses 224.0.0.0-239.255.255.255, not \"" +
                           (list.bad.empty() ? *j : list.bad) + "\"");
        o.groups = list.groups;
    }
    o.ttl = static_cast<int>(CountOption(a, "--ttl", 0, 255, kDefaultMulticastTtl));
    return o;
}

void ApplyMulticastOptions(TUDPControl& udp, const MulticastOptions& o)
{
    udp.SetMulticastGroups(o.groups);
    udp.SetMulticastTtl(o.ttl);
}

void OpenOrThrow(TUDPControl& udp, const std::string& address)
{
    try {
        udp.Open();
    } catch (const EUDPSockError& e) {
        const std::string where = address + ':' + std::to_string(udp.Port());
        if (e.what() == SocketErrorMessage("bind", ws::WSAEADDRINUSE))
            throw CliError("port " + std::to_string(udp.Port()) + " is in use on " + address);
        throw CliError("cannot open " + where + ": " + OneLine(e.what()));
    }
}

// SIGINT and SIGTERM write a byte to a pipe; the loops watch its other end, so
// the handler itself does nothing but that.
int g_signalPipe[2] = {-1, -1};
// Also raised by the handler, for respond's loop, which waits in a read that a
// signal does not end (the read is retried), only its time-out does.
volatile std::sig_atomic_t g_ended = 0;

void OnSignal(int)
{
    g_ended = 1;
    const char byte = 1;
    [[maybe_unused]] const auto n = ::write(g_signalPipe[1], &byte, 1);
}

void CatchEndSignals()
{
    if (g_signalPipe[0] < 0 && ::pipe2(g_signalPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        throw CliError("cannot watch for signals");
    struct sigaction action {};
    action.sa_handler = OnSignal;
    ::sigemptyset(&action.sa_mask);
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGTERM, &action, nullptr);
}

// For the Qt event loop of send: a signal ends it.
class SignalQuit {
public:
    SignalQuit()
    {
        CatchEndSignals();
        m_notifier = std::make_unique<QSocketNotifier>(g_signalPipe[0], QSocketNotifier::Read);
        QObject::connect(m_notifier.get(), &QSocketNotifier::activated, [] { QCoreApplication::quit(); });
    }

private:
    std::unique_ptr<QSocketNotifier> m_notifier;
};

// The traffic as a pcapng file, written as it happens, in the window's format.
class PcapFile {
public:
    explicit PcapFile(const std::string& path) : m_path(path)
    {
        m_file = std::fopen(path.c_str(), "wb");
        if (!m_file)
            throw CliError("cannot write " + path + ": " + std::strerror(errno));
        std::setvbuf(m_file, nullptr, _IOFBF, 1 << 16);
    }
    ~PcapFile()
    {
        if (m_file)
            std::fclose(m_file);
    }
    PcapFile(const PcapFile&) = delete;
    PcapFile& operator=(const PcapFile&) = delete;

    // The packets' own end is known once the port is open.
    void Start(const TrafficEndpoint& local)
    {
        m_writer.emplace(local);
        m_block.clear();
        m_writer->AppendHeader(m_block);
        Write();
    }
    void Add(const TTrafficRecord& record, std::string_view commentUtf8)
    {
        if (!m_writer)
            return;
        m_block.clear();
        m_writer->AppendPacket(m_block, record, commentUtf8);
        Write();
    }
    void Flush()
    {
        if (std::fflush(m_file) != 0)
            Fail();
    }
    // Closes the file; a write that failed on the way is reported once, here.
    void Close()
    {
        const bool closed = std::fclose(m_file) == 0;
        m_file = nullptr;
        if (!closed)
            Fail();
        if (m_failed)
            throw CliError("could not write all packets to " + m_path + ": " + std::strerror(m_errno));
    }

private:
    void Write()
    {
        if (std::fwrite(m_block.data(), 1, m_block.size(), m_file) != m_block.size())
            Fail();
    }
    void Fail()
    {
        if (!m_failed)
            m_errno = errno;
        m_failed = true;
    }

    std::string m_path;
    std::FILE* m_file = nullptr;
    std::optional<TPcapngWriter> m_writer;
    std::string m_block;
    bool m_failed = false;
    int m_errno = 0;
};

// Prints the traffic the engine reports and counts it.
class PrintingSink : public TTrafficSink {
public:
    PrintingSink(bool json, bool printSent) : m_json(json), m_printSent(printSent) {}

    void AddTrafficRecord(TrafficRecordPtr record) override
    {
        const bool in = record->Kind == tkReceived || record->Kind == tkReceivedMatched;
        if (in) {
            if (m_max > 0 && m_received >= m_max)
                return; // read after the last one wanted: neither answered nor counted
            ++m_received;
            if (record->Kind == tkReceivedMatched)
                ++m_matched;
        } else if (record->Dropped) {
            ++m_dropped;
        } else {
            ++m_sent;
        }
        // A dropped answer never was on the wire: the capture holds only what was.
        if (m_pcap && !record->Dropped)
            m_pcap->Add(*record, Comment(record->Comment));
        if ((!in && !m_printSent) || m_writeError != 0)
            return;
        AppendTrafficLine(m_out, *record, m_clock.At(record->Time), m_json, Comment(record->Comment));
        m_out.push_back('\n');
        if (!m_buffered || m_out.size() >= kBufferBytes)
            Flush();
    }

    // With buffering on, lines are built straight into one large block and go to
    // standard output when it fills or at Flush: nobody watches them live, and a
    // line copied once more costs a flood as much as formatting it.
    void SetBuffered(bool on) { m_buffered = on; }
    // After a write fails nothing more is printed; the command ends its run.
    void Flush()
    {
        if (!m_out.empty() && m_writeError == 0 && !WriteStdout(m_out))
            m_writeError = errno;
        m_out.clear();
    }
    ~PrintingSink() override { Flush(); }
    // The errno of the write that failed; 0 while all went out.
    int WriteError() const { return m_writeError; }

    void SetMax(long long max) { m_max = max; }
    void SetPcap(PcapFile* pcap) { m_pcap = pcap; }
    bool Full() const { return m_max > 0 && m_received >= m_max; }
    long long Received() const { return m_received; }
    long long Matched() const { return m_matched; }
    long long Sent() const { return m_sent; }
    long long Dropped() const { return m_dropped; }

private:
    // A row's comments come back with every datagram it matches: converted once.
    const std::string& Comment(const AnsiString& comment)
    {
        const auto found = m_comments.find(comment);
        if (found != m_comments.end())
            return found->second;
        if (m_comments.size() > 1024)
            m_comments.clear();
        return m_comments.emplace(comment, AnsiToUtf8(comment)).first->second;
    }

    static constexpr std::size_t kBufferBytes = 1 << 16;
    bool m_json;
    bool m_printSent;
    bool m_buffered = false;
    std::string m_out;
    TimeStamper m_clock;
    std::unordered_map<AnsiString, std::string> m_comments;
    long long m_max = 0;
    PcapFile* m_pcap = nullptr;
    long long m_received = 0, m_matched = 0, m_sent = 0, m_dropped = 0;
    int m_writeError = 0;
};

// The command line always answers, until the wanted number of datagrams is in.
class ReplySource : public TAutoReplySource {
public:
    ReplySource(TAutoReplyTable& table, const PrintingSink& sink) : m_table(table), m_sink(sink) {}
    bool IsAutoReplyOn() const override { return !m_sink.Full(); }
    const TAutoReplyTable& Table() const override { return m_table; }
    TAutoReplyAnswer NextAnswer(int index, const TReplyFaults& faults) override
    {
        return m_table.NextAnswer(index, faults);
    }

private:
    TAutoReplyTable& m_table;
    const PrintingSink& m_sink;
};

// How long printed lines may wait in the buffer for more while nothing arrives.
constexpr int kFlushAfterMs = 10;
// The longest respond's read waits before it looks at the clock and for a signal.
constexpr int kLookAfterMs = 200;

// The receive time-out of a blocking read; set only when it changes, as it
// rarely does while datagrams keep coming.
class ReadTimeout {
public:
    explicit ReadTimeout(int socket) : m_socket(socket) {}
    void Set(int ms)
    {
        if (ms == m_ms)
            return;
        const timeval tv{ms / 1000, (ms % 1000) * 1000};
        if (::setsockopt(m_socket, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv) != 0)
            throw CliError(std::string("setsockopt: ") + std::strerror(errno));
        m_ms = ms;
    }

private:
    int m_socket;
    int m_ms = -1;
};

double ParseSeconds(const std::string& text)
{
    char* end = nullptr;
    const double v = std::strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0' || !(v > 0) || v > 31536000)
        throw CliError("--for needs a number of seconds above 0, not \"" + text + "\"");
    return v;
}

long long CountOption(const CliArgs& a, const std::string& name, long long lo, long long hi, long long fallback)
{
    const auto text = a.Value(name);
    if (!text)
        return fallback;
    const auto v = ParseCount(*text, lo, hi);
    if (!v)
        throw CliError(name + " needs a whole number from " + std::to_string(lo) + " to " + std::to_string(hi) +
                       ", not \"" + *text + "\"");
    return *v;
}

int Guard(int (*body)(const std::vector<std::string>&), const std::vector<std::string>& args)
{
    try {
        return body(args);
    } catch (const CliError& e) {
        std::fflush(stdout);
        std::fprintf(stderr, "vorpex-cli: %s\n", e.what());
        return e.ExitCode();
    } catch (const std::exception& e) {
        std::fflush(stdout);
        std::fprintf(stderr, "vorpex-cli: %s\n", OneLine(e.what()).c_str());
        return 2;
    }
}

int Compile(const std::vector<std::string>& args)
{
    const CliArgs a(args, {}, {"--big", "--match"}, true);
    if (!a.Positional())
        throw CliError("compile needs a NOTATION");
    std::vector<std::string> warnings;
    const auto items =
        CompileOrThrow(ArgumentBytes("NOTATION", *a.Positional()), a.Has("--big"), a.Has("--match"), &warnings);
    if (!WriteStdout(FormatItems(items) + '\n'))
        throw OutputFailure(errno);
    // The bytes are what they always were; what the notation left out is only said.
    for (const std::string& warning : warnings)
        std::fprintf(stderr, "vorpex-cli: warning: %s\n", warning.c_str());
    return 0;
}

int Send(const std::vector<std::string>& args)
{
    const CliArgs a(args,
                    {"--to", "--from", "--bind", "--join", "--ttl", "--file", "--command", "--wait", "--count",
                     "--interval"},
                    {"--text", "--big"}, true);
    const auto toText = a.Value("--to");
    if (!toText)
        throw CliError("send needs --to ADDR:PORT");
    const auto to = ParseEndpoint(*toText);
    if (!to)
        throw CliError("--to needs a dotted IPv4 address and a port 1-65535, not \"" + *toText + "\"");
    Endpoint from;
    if (const auto f = a.Value("--from")) {
        const auto parsed = ParseLocalEndpoint(*f);
        if (!parsed)
            throw CliError("--from needs [ADDR:]PORT with a dotted IPv4 address, not \"" + *f + "\"");
        from = *parsed;
    }
    if (const auto b = a.Value("--bind")) {
        if (!IsDottedAddress(*b))
            throw CliError("--bind needs a dotted IPv4 address, not \"" + *b + "\"");
        if (!from.address.empty() && from.address != *b)
            throw CliError("--bind and the address of --from differ");
        from.address = *b;
    }
    const MulticastOptions multicast = ReadMulticastOptions(a);
    const long long wait = CountOption(a, "--wait", 0, 86400000, -1);
    const long long count = CountOption(a, "--count", 1, 1000000000, 1);
    const long long interval = CountOption(a, "--interval", 0, 86400000, 0);

    bool textMode = a.Has("--text");
    int byteOrder = a.Has("--big") ? 1 : 0;
    AnsiString text;
    AnsiString comment;
    CommandTree tree;
    if (a.Value("--file") || a.Value("--command")) {
        if (a.Positional())
            throw CliError("give either a NOTATION or --file and --command, not both");
        if (!a.Value("--file") || !a.Value("--command"))
            throw CliError("--file and --command go together");
        if (textMode)
            throw CliError("--text does not apply to a library command: it has its own mode");
        const std::string path = *a.Value("--file");
        LoadCommands(path, tree);
        const std::string name = *a.Value("--command");
        const CommandNode* node = FindCommandByName(tree, ArgumentBytes("--command", name));
        if (!node || node->Info()->Command.empty())
            throw CliError(path + ": no command named \"" + name + "\"");
        const TCommandInfo& info = *node->Info();
        textMode = info.Mode != 0;
        if (info.ByteOrder != -1)
            byteOrder = info.ByteOrder & 0xFF;
        text = info.Command;
        comment = node->Name();
        if (!textMode) {
            std::vector<std::int32_t> items;
            CompileError error;
            if (CompileCommand(static_cast<std::uint8_t>(byteOrder), text, items, false, error) < 0)
                throw CliError(path + ": command \"" + name + "\": " + BadNotation(text, error));
            if (items.empty())
                throw CliError(path + ": command \"" + name + "\" has no bytes to send");
        }
    } else {
        if (!a.Positional())
            throw CliError("send needs a NOTATION or --file and --command");
        text = ArgumentBytes(textMode ? "--text" : "NOTATION", *a.Positional());
        if (!textMode && CompileOrThrow(text, byteOrder == 1, false).empty())
            throw CliError("the notation has no bytes to send");
        if (text.empty())
            throw CliError("the text has no bytes to send");
    }

    int argc = 1;
    char name[] = "vorpex-cli";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);
    ChooseLocalAddress(from.address);
    TUDPControl udp;
    udp.SetPort(from.port);
    ApplyMulticastOptions(udp, multicast);
    PrintingSink sink(false, false);
    TPayloadSender sender(udp, sink, [&] { return AnsiString(to->address); }, [&] { return to->port; });
    sender.SetDefaultByteOrder(byteOrder);
    TAutoReplyTable noRows;
    ReplySource never(noRows, sink);
    TReceiveHandler handler(never, sender, sink, tree);
    udp.OnReceive = [&](TCustomUDPSock& s, std::int32_t size) {
        handler.UDPControlReceive(s, size);
        if (sink.WriteError() != 0)
            QCoreApplication::exit(1);
    };
    udp.OnException = [](const std::exception& e) {
        std::fprintf(stderr, "vorpex-cli: %s\n", OneLine(e.what()).c_str());
    };
    OpenOrThrow(udp, udp.LocalAddress());
    const SignalQuit quitOnSignal;

    long long sentCount = 0;
    QTimer sendTimer;
    sendTimer.setInterval(static_cast<int>(interval));
    const auto sendOne = [&] {
        sender.SendPayload(tkSent, textMode, static_cast<std::uint8_t>(byteOrder), text, comment);
        if (++sentCount >= count) {
            sendTimer.stop();
            QTimer::singleShot(static_cast<int>(wait < 0 ? 0 : wait), &app, [] { QCoreApplication::quit(); });
        }
    };
    QObject::connect(&sendTimer, &QTimer::timeout, &app, [&] {
        try {
            sendOne();
        } catch (const std::exception& e) {
            std::fprintf(stderr, "vorpex-cli: %s\n", OneLine(e.what()).c_str());
            QCoreApplication::exit(2);
        }
    });
    sendTimer.start();
    int code = 0;
    try {
        sendOne();
        code = app.exec();
    } catch (const std::exception& e) {
        throw CliError(OneLine(e.what()));
    }
    udp.Close();
    if (sink.WriteError() != 0)
        throw OutputFailure(sink.WriteError());
    if (code != 0)
        return code;
    if (wait >= 0 && sink.Received() == 0)
        return 1;
    return 0;
}

int Respond(const std::vector<std::string>& args)
{
    const CliArgs a(args,
                    {"--port", "--bind", "--join", "--ttl", "--replies", "--file", "--peer", "--for", "--max",
                     "--trace", "--pcap", "--seed"},
                    {"--to-sender", "--json"}, false);
    const auto portText = a.Value("--port");
    if (!portText)
        throw CliError("respond needs --port PORT");
    const auto port = ParsePort(*portText);
    if (!port)
        throw CliError("--port needs a port 0-65535, not \"" + *portText + "\"");
    std::string bind;
    if (const auto b = a.Value("--bind")) {
        if (!IsDottedAddress(*b))
            throw CliError("--bind needs a dotted IPv4 address, not \"" + *b + "\"");
        bind = *b;
    }
    if (!a.Value("--replies"))
        throw CliError("respond needs --replies REPLIES.vpa");
    const bool toSender = a.Has("--to-sender");
    std::optional<Endpoint> peer;
    if (const auto p = a.Value("--peer")) {
        peer = ParseEndpoint(*p);
        if (!peer)
            throw CliError("--peer needs a dotted IPv4 address and a port 1-65535, not \"" + *p + "\"");
    }
    if (toSender == peer.has_value())
        throw CliError("respond needs exactly one of --peer ADDR:PORT and --to-sender");
    const MulticastOptions multicast = ReadMulticastOptions(a);
    const double seconds = a.Value("--for") ? ParseSeconds(*a.Value("--for")) : 0;
    const long long max = CountOption(a, "--max", 1, 1000000000000LL, 0);
    const long long seed = CountOption(a, "--seed", 0, std::numeric_limits<long long>::max(), 1);

    TAutoReplyTable table;
    const std::string repliesPath = *a.Value("--replies");
    const ReplyFileSummary summary = LoadReplyFile(repliesPath, table);
    table.SetFaultSeed(static_cast<std::uint64_t>(seed));
    CommandTree tree;
    if (const auto f = a.Value("--file"))
        LoadCommands(*f, tree);

    int argc = 1;
    char name[] = "vorpex-cli";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);
    ChooseLocalAddress(bind);
    TUDPControl udp;
    udp.SetPort(*port);
    ApplyMulticastOptions(udp, multicast);
    if (const auto trace = a.Value("--trace")) {
        udp.SetLogName(QString::fromLocal8Bit(trace->c_str()));
        udp.SetWriteLog(true);
        udp.OnLogError = [path = *trace](const QString&, const QString&) {
            std::fprintf(stderr, "vorpex-cli: %s: a trace line could not be written\n", path.c_str());
        };
    }
    PrintingSink sink(a.Has("--json"), true);
    // Lines go out in large writes when nobody watches them live.
    sink.SetBuffered(!::isatty(STDOUT_FILENO));
    sink.SetMax(max);
    // --to-sender is the window's own reply-to-sender; the peer is then never asked for.
    TPayloadSender sender(
        udp, sink, [&] { return peer ? AnsiString(peer->address) : AnsiString(); },
        [&] { return peer ? peer->port : std::uint16_t{0}; });
    sender.SetReplyToSender(toSender);
    ReplySource source(table, sink);
    TReceiveHandler handler(source, sender, sink, tree);
    udp.OnReceive = [&](TCustomUDPSock& s, std::int32_t size) { handler.UDPControlReceive(s, size); };
    OpenOrThrow(udp, udp.LocalAddress());
    // Created only once the port is open: a start that fails (the port in use)
    // leaves an earlier capture of that name as it was. A capture that cannot be
    // created ends the start here, and the port closes as udp goes.
    std::unique_ptr<PcapFile> pcap;
    if (const auto path = a.Value("--pcap")) {
        pcap = std::make_unique<PcapFile>(*path);
        pcap->Start({udp.LocalAddress(), BoundPort(udp)});
        sink.SetPcap(pcap.get());
    }
    CatchEndSignals();
    std::fprintf(stderr, "vorpex-cli: listening on %s:%u, %d rows from %s (%d lines skipped), receive queue %d bytes\n",
                 udp.LocalAddress().c_str(), static_cast<unsigned>(BoundPort(udp)), summary.rows,
                 repliesPath.c_str(), summary.skipped, ReceiveQueue(udp));

    // The endpoint is driven from this thread: a datagram costs no hand-over
    // between threads, and a quiet flow costs, as in the echo, one blocking read
    // and one send per datagram. Under a flood one read takes in everything
    // already waiting (up to a batch), so the reads cost less than the sends.
    // What happens to a datagram is the window's own receive handler. The read's
    // time-out brings the loop back to flush what was printed (once nothing has
    // arrived for a moment: a write per datagram would cost as much as answering
    // it), to watch the clock and to see a signal. (The endpoint's watcher
    // thread, whose notifications nothing here collects, stays parked after its
    // first one.)
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(static_cast<long long>(seconds * 1000));
    ReadTimeout timeout(static_cast<int>(udp.Socket()));
    bool printed = false;
    // With --max reached, replies still held by %DELAY go out before the end.
    while (!g_ended && (!sink.Full() || handler.HasHeldReplies()) && sink.WriteError() == 0) {
        int wait = kLookAfterMs;
        if (seconds > 0) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
            if (left <= 0)
                break;
            wait = static_cast<int>(std::min<long long>(left, wait));
        }
        // The read waits no longer than the first held reply: it is sent on time while reading goes on.
        const int held = handler.MsUntilHeldReply();
        if (held >= 0)
            wait = std::min(wait, held);
        if (printed)
            wait = std::min(wait, kFlushAfterMs);
        // 0 would make the read wait for ever; a reply due now waits for one more millisecond at most.
        timeout.Set(std::max(wait, 1));
        // A failure while answering one datagram is reported and the next one is answered.
        try {
            handler.SendDueReplies();
            if (udp.FetchDatagrams(ws::MaxDatagramSlots, true) <= 0) {
                if (printed) {
                    sink.Flush();
                    if (pcap)
                        pcap->Flush();
                }
                printed = false;
                handler.SendDueReplies();
                continue;
            }
            // --max counts datagrams: those fetched beyond it are left unanswered.
            while (!sink.Full()) {
                const TCustomUDPSock::TDatagram* d = udp.NextDatagram();
                if (!d)
                    break;
                handler.DatagramReceived(d->Data, d->Size, d->Address, d->Port, d->Destination);
                printed = true;
            }
            handler.SendDueReplies();
        } catch (const std::exception& e) {
            std::fprintf(stderr, "vorpex-cli: %s\n", OneLine(e.what()).c_str());
        }
    }
    udp.Close();
    sink.Flush();
    // Dropped answers are named only by a run that drops some: the line stays as it was for every other.
    const std::string dropped = sink.Dropped() > 0 ? ", dropped " + std::to_string(sink.Dropped()) : std::string();
    std::fprintf(stderr, "vorpex-cli: received %lld, matched %lld, answered %lld, unmatched %lld%s\n", sink.Received(),
                 sink.Matched(), sink.Sent(), sink.Received() - sink.Matched(), dropped.c_str());
    // Output that could not be written ends the run as a failure; the capture is still closed.
    const int outputError = sink.WriteError();
    if (outputError != 0)
        std::fprintf(stderr, "vorpex-cli: %s\n", OutputFailure(outputError).what());
    if (pcap)
        pcap->Close();
    return outputError != 0 ? 1 : 0;
}

} // namespace

bool WriteStdout(std::string_view text)
{
    while (!text.empty()) {
        const ssize_t n = ::write(STDOUT_FILENO, text.data(), text.size());
        if (n < 0 && errno == EINTR)
            continue; // SIGINT or SIGTERM: the loops see it; the line still goes out whole
        if (n <= 0) {
            if (n == 0)
                errno = EIO; // no progress and no reason given: not to be retried for ever
            return false;
        }
        text.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

CliError OutputFailure(int error)
{
    return CliError(std::string("cannot write to standard output: ") + std::strerror(error), 1);
}

int RunCompile(const std::vector<std::string>& args)
{
    return Guard(Compile, args);
}

int RunSend(const std::vector<std::string>& args)
{
    return Guard(Send, args);
}

int RunRespond(const std::vector<std::string>& args)
{
    return Guard(Respond, args);
}

} // namespace vpx::cli
