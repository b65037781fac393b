#pragma once

// SIGTERM, SIGINT and SIGHUP (a log-out, `kill`, Ctrl+C in the terminal) end the
// program the way its own Exit does, so that settings, the port and unsaved work
// are taken care of. A signal handler may do next to nothing, so it only writes
// the signal's number into a pipe; the GUI thread reads it from the event loop.
// A second signal while the first is being handled ends the program at once.

#include <QObject>

#include <functional>

class QSocketNotifier;

namespace vpx {

class TfrmSimMain;

class TTerminationSignals : public QObject {
public:
    // Installs the handlers; only one instance at a time. The destructor puts the
    // default actions back.
    explicit TTerminationSignals(QObject* parent = nullptr);
    ~TTerminationSignals() override;

    // Called in the GUI thread, once per signal received.
    std::function<void(int signal)> OnSignal;

private:
    void ReadPipe();

    QSocketNotifier* m_notifier = nullptr;
};

// What the program does on such a signal: the unsaved library goes to the
// recovery folder, then the window closes without a question. Lives as long as
// the window.
void CloseOnTerminationSignals(TfrmSimMain& window);

} // namespace vpx
