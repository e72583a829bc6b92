#include "core/PollingTimer.h"

namespace core {

PollingTimer::PollingTimer(const Clock &clock, QObject *parent) : QObject(parent), m_clock(clock)
{
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &PollingTimer::timeout);
}

void PollingTimer::setEnabled(bool enabled)
{
    if (enabled == m_enabled || (enabled && m_stoppedByOperator))
        return;
    m_enabled = enabled;
    if (enabled)
        restart();
    else
        m_timer.stop();
    Q_EMIT enabledChanged(enabled);
}

void PollingTimer::setStoppedByOperator(bool stopped)
{
    m_stoppedByOperator = stopped;
    if (stopped)
        setEnabled(false);
}

void PollingTimer::setInterval(std::chrono::milliseconds interval)
{
    m_interval = interval;
    restart();
}

void PollingTimer::restart()
{
    if (m_enabled) {
        const auto scaled = m_clock.scaled(m_interval);
        m_timer.start(scaled.count() > 0 ? scaled : std::chrono::milliseconds(1));
    }
}

} // namespace core
