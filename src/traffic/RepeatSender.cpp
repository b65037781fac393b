#include "traffic/RepeatSender.h"

#include <QCoreApplication>
#include <QTimer>

#include <algorithm>
#include <chrono>

namespace vpx {

TRepeatSender::TRepeatSender(QObject* parent, Clock clock)
    : QObject(parent), m_clock(std::move(clock)), m_timer(new QTimer(this))
{
    if (!m_clock)
        m_clock = [] {
            return std::chrono::duration_cast<std::chrono::nanoseconds>(
                       std::chrono::steady_clock::now().time_since_epoch())
                .count();
        };
    m_timer->setSingleShot(true);
    // A coarse timer may fire up to 5 % of its interval late; at 1 ms that is the whole point.
    m_timer->setTimerType(Qt::PreciseTimer);
    connect(m_timer, &QTimer::timeout, this, [this] { Fire(); });
}

void TRepeatSender::Start(std::int64_t periodMs, std::int64_t count, SendStep send)
{
    Stop();
    m_send = std::move(send);
    m_lastLateNs = m_maxLateNs = 0;
    m_delivered = 0;
    m_active = true;
    m_schedule.Start(m_clock(), periodMs, count);
    Fire();
}

void TRepeatSender::Stop(const QString& reason)
{
    m_timer->stop();
    m_schedule.Stop();
    Finish(reason);
}

void TRepeatSender::Finish(const QString& reason)
{
    if (!m_active)
        return;
    m_active = false;
    if (OnFinished)
        OnFinished(m_delivered, reason);
}

void TRepeatSender::Fire()
{
    const std::int64_t now = m_clock();
    const std::int64_t due = m_schedule.NextDueNs();
    if (m_schedule.TakeDue(now)) {
        m_lastLateNs = now - due;
        m_maxLateNs = std::max(m_maxLateNs, m_lastLateNs);
        QString why;
        bool sent = false;
        try {
            sent = m_send(m_schedule.Sent() - 1, why);
        } catch (const std::exception& e) {
            m_schedule.Stop();
            Finish(QCoreApplication::translate("TRepeatSender", "送信に失敗したため停止しました"));
            if (OnException)
                OnException(e);
            return;
        }
        if (!sent) {
            m_schedule.Stop();
            Finish(why);
            return;
        }
        ++m_delivered;
        if (OnProgress)
            OnProgress(m_delivered);
    }
    if (m_schedule.Running())
        Arm();
    else
        Finish(QString());
}

void TRepeatSender::Arm()
{
    m_timer->start(m_schedule.WaitMs(m_clock()));
}

} // namespace vpx
