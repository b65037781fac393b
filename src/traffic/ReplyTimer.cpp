#include "traffic/ReplyTimer.h"

#include "traffic/ReceiveHandler.h"

namespace vpx {

TReplyTimer::TReplyTimer(TReceiveHandler& handler, std::function<void(const std::exception&)> onError)
    : m_handler(handler), m_onError(std::move(onError))
{
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&m_timer, &QTimer::timeout, [this] { Fire(); });
    m_handler.OnReplyHeld = [this] { Arm(); };
}

TReplyTimer::~TReplyTimer()
{
    m_handler.OnReplyHeld = nullptr;
}

void TReplyTimer::Arm()
{
    const int ms = m_handler.MsUntilHeldReply();
    if (ms < 0) {
        m_timer.stop();
        return;
    }
    // Started afresh only for an earlier reply: one held later keeps the timer as it runs.
    if (!m_timer.isActive() || m_timer.remainingTime() > ms)
        m_timer.start(ms);
}

void TReplyTimer::Fire()
{
    // One failed send leaves the rest held: each is tried on its own turn.
    while (true) {
        try {
            m_handler.SendDueReplies();
            break;
        } catch (const std::exception& e) {
            if (m_onError)
                m_onError(e);
        }
    }
    Arm();
}

} // namespace vpx
