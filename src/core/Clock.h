#pragma once

#include <QDateTime>
#include <chrono>

namespace core {

// The core's one notion of time: monotonic, every interval and pause scaled
// by [timing] Scale, so that tests and demos can run faster.
class Clock
{
public:
    explicit Clock(double scale = 1.0) : m_scale(scale) {}

    double scale() const { return m_scale; }
    void setScale(double scale) { m_scale = scale; }
    std::chrono::milliseconds scaled(std::chrono::milliseconds interval) const;

    // The local date and time, as written into records and journals; never scaled.
    QDateTime now() const;
    // A point on the monotonic clock, for measuring pauses.
    std::chrono::steady_clock::time_point monotonic() const;

    // Pauses for `Seconds` hundredths of a second (50 is half a second) while
    // events go on being processed; 0 or below returns at once.
    void DelayMili(int Seconds) const;

private:
    double m_scale;
};

} // namespace core
