#pragma once

#include <QDateTime>
#include <chrono>
#include <optional>

namespace core {
class Clock;
}

namespace printer {

// Whether the printer answers, as the driver's calls tell it: a port that
// opens and an upload that succeeds are answers; a port that does not open
// and an upload that fails are not (an upload is answered at any time, so
// only a printer out of reach fails it). A refused command is an answer of
// its own and changes nothing here but the last words. Kept for `estado` and
// for the idle probe.
class PrinterHealth
{
public:
    explicit PrinterHealth(const core::Clock &clock) : m_clock(clock) {}

    enum class Call { Open, Close, Send, Upload };
    void record(Call call, bool ok, int status, int error);

    // Unknown until the first open or upload.
    std::optional<bool> answering() const { return m_answering; }
    // Since when it answers or not.
    const QDateTime &since() const { return m_since; }
    const QDateTime &lastAnswer() const { return m_lastAnswer; }
    int status() const { return m_status; }
    int error() const { return m_error; }
    // Whether the robot left the port open (a refused X report does).
    bool portOpen() const { return m_portOpen; }
    // The last call of any kind, on the monotonic clock.
    std::optional<std::chrono::steady_clock::time_point> lastCall() const { return m_lastCall; }

private:
    const core::Clock &m_clock;
    std::optional<bool> m_answering;
    QDateTime m_since;
    QDateTime m_lastAnswer;
    int m_status = 0;
    int m_error = 0;
    bool m_portOpen = false;
    std::optional<std::chrono::steady_clock::time_point> m_lastCall;
};

} // namespace printer
