#include "shell/TerminationSignals.h"

#include "library/CommandRecovery.h"
#include "shell/Main.h"

#include <QApplication>
#include <QDialog>
#include <QSocketNotifier>
#include <QTimer>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <stdexcept>

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace vpx {

namespace {

constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};

int g_pipe[2] = {-1, -1}; // [0] read by the GUI thread, [1] written by the handler
volatile std::sig_atomic_t g_asked = 0; // a signal has come and is being handled

void WriteSignalToPipe(int signal)
{
    // Asked again while the first request is still being handled (the window may be
    // stuck in a slow write or a dialog): the user means it, so end at once, as the
    // signal's own default action does.
    if (g_asked) {
        struct sigaction fallback = {};
        fallback.sa_handler = SIG_DFL;
        sigemptyset(&fallback.sa_mask);
        ::sigaction(signal, &fallback, nullptr);
        ::raise(signal);
        return;
    }
    g_asked = 1;
    const int saved = errno;
    const unsigned char number = static_cast<unsigned char>(signal);
    // A full pipe already holds a pending request to end; losing this one is harmless.
    [[maybe_unused]] const ssize_t n = ::write(g_pipe[1], &number, 1);
    errno = saved;
}

} // namespace

TTerminationSignals::TTerminationSignals(QObject* parent) : QObject(parent)
{
    if (g_pipe[0] >= 0)
        throw std::logic_error("termination signals are already handled");
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, g_pipe) != 0)
        throw std::runtime_error("cannot create the termination signal pipe");
    g_asked = 0;
    m_notifier = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, [this] { ReadPipe(); });
    struct sigaction action = {};
    action.sa_handler = WriteSignalToPipe;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int s : kSignals)
        ::sigaction(s, &action, nullptr);
}

TTerminationSignals::~TTerminationSignals()
{
    struct sigaction action = {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    for (const int s : kSignals)
        ::sigaction(s, &action, nullptr);
    delete m_notifier;
    ::close(g_pipe[0]);
    ::close(g_pipe[1]);
    g_pipe[0] = g_pipe[1] = -1;
}

void TTerminationSignals::ReadPipe()
{
    unsigned char number = 0;
    while (::read(g_pipe[0], &number, 1) == 1) {
        if (OnSignal)
            OnSignal(number);
    }
}

void CloseOnTerminationSignals(TfrmSimMain& window)
{
    auto* handler = new TTerminationSignals(&window);
    handler->OnSignal = [&window](int) {
        if (window.Document.Modified()) {
            QString error;
            if (!WriteRecovery(window.Document, RecoveryFolder(), &error))
                std::fprintf(stderr, "vorpex: the unsaved command data could not be kept: %s\n",
                             error.toLocal8Bit().constData());
        }
        // An open box would wait for an answer nobody gives; each one dismissed
        // uncovers the one beneath.
        for (int i = 0; i < 32; ++i) {
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal)
                break;
            if (auto* dialog = qobject_cast<QDialog*>(modal))
                dialog->reject();
            else
                modal->close();
        }
        // Once the dismissed boxes' loops have returned.
        QTimer::singleShot(0, &window, [&window] {
            window.CloseWithoutQuestions();
            if (!window.isVisible())
                QCoreApplication::quit();
        });
    };
}

} // namespace vpx
