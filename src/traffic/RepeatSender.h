#pragma once

// Runs a TRepeatSchedule on a millisecond timer: at each due time it asks the
// caller to send one step (the same command again for a repeat, the next
// command for a sequence). A single-shot timer set to the next due time does
// the waiting, so the event loop runs between sends; nothing spins.

#include "traffic/RepeatSchedule.h"

#include <QObject>
#include <QString>

#include <cstdint>
#include <exception>
#include <functional>

class QTimer;

namespace vpx {

class TRepeatSender : public QObject {
    Q_OBJECT

public:
    // Sends step `index` (0-based). Returns false to stop, with the reason in `why`.
    using SendStep = std::function<bool(std::int64_t index, QString& why)>;
    // Monotonic nanoseconds; a steady clock when not given.
    using Clock = std::function<std::int64_t()>;

    explicit TRepeatSender(QObject* parent = nullptr, Clock clock = {});

    // `count` steps (0: until stopped), `periodMs` apart, the first at once.
    void Start(std::int64_t periodMs, std::int64_t count, SendStep send);
    // Ends a run; `reason` goes to OnFinished. Nothing happens when none runs.
    void Stop(const QString& reason = QString());

    bool Running() const noexcept { return m_schedule.Running(); }
    // Steps that went out in the current (or last) run.
    std::int64_t Sent() const noexcept { return m_delivered; }
    const TRepeatSchedule& Schedule() const noexcept { return m_schedule; }
    // How late the latest send was against its due time, and the most any was.
    std::int64_t LastLateNs() const noexcept { return m_lastLateNs; }
    std::int64_t MaxLateNs() const noexcept { return m_maxLateNs; }

    std::function<void(std::int64_t sent)> OnProgress;
    // Once per run: after the last step, a Stop, a refused step or a failure.
    std::function<void(std::int64_t sent, const QString& reason)> OnFinished;
    // A step that raised; the run has stopped already.
    std::function<void(const std::exception& e)> OnException;

private:
    void Fire();
    void Arm();
    void Finish(const QString& reason);

    Clock m_clock;
    QTimer* m_timer;
    TRepeatSchedule m_schedule;
    SendStep m_send;
    bool m_active = false; // a run has not reported its end yet
    std::int64_t m_delivered = 0;
    std::int64_t m_lastLateNs = 0;
    std::int64_t m_maxLateNs = 0;
};

} // namespace vpx
