#pragma once

#include "core/Clock.h"

#include <QObject>
#include <QTimer>

namespace core {

// Timer1: the polling timer, 2500 ms scaled by the clock. Its enabled state is
// what the jobs, the port opening and the operator switch.
class PollingTimer : public QObject
{
    Q_OBJECT
public:
    explicit PollingTimer(const Clock &clock, QObject *parent = nullptr);

    static constexpr std::chrono::milliseconds kInterval{2500};

    // Switching it on does nothing while the operator stopped it.
    void setEnabled(bool enabled);
    bool isEnabled() const { return m_enabled; }
    // "Detener": polling stays off, whatever a job that ends or a resumption
    // switches, until the operator starts it again.
    void setStoppedByOperator(bool stopped);
    bool stoppedByOperator() const { return m_stoppedByOperator; }
    // The next timeout a whole interval from now (a tick run out of turn).
    void restart();
    // Only the window's hidden "Aplicar" changes it (scaled like kInterval).
    void setInterval(std::chrono::milliseconds interval);
    std::chrono::milliseconds interval() const { return m_interval; }

Q_SIGNALS:
    void timeout();
    void enabledChanged(bool enabled);

private:
    const Clock &m_clock;
    QTimer m_timer;
    bool m_enabled = false;
    bool m_stoppedByOperator = false;
    std::chrono::milliseconds m_interval = kInterval;
};

} // namespace core
