#pragma once

// Sends the replies a %DELAY holds back from the event loop: a precise timer,
// armed for the first held reply whenever one is held and after each it sends,
// so reception never waits for an answer.

#include <QTimer>

#include <exception>
#include <functional>

namespace vpx {

class TReceiveHandler;

class TReplyTimer {
public:
    // Takes over the handler's OnReplyHeld. A reply whose send fails goes to
    // `onError` (the window shows it); the others are still sent.
    TReplyTimer(TReceiveHandler& handler, std::function<void(const std::exception&)> onError);
    ~TReplyTimer();
    TReplyTimer(const TReplyTimer&) = delete;
    TReplyTimer& operator=(const TReplyTimer&) = delete;

private:
    void Arm();
    void Fire();

    TReceiveHandler& m_handler;
    std::function<void(const std::exception&)> m_onError;
    QTimer m_timer;
};

} // namespace vpx
