#include "core/Clock.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <cmath>

namespace core {

std::chrono::milliseconds Clock::scaled(std::chrono::milliseconds interval) const
{
    return std::chrono::milliseconds(
        static_cast<long long>(std::llround(static_cast<double>(interval.count()) * m_scale)));
}

QDateTime Clock::now() const
{
    return QDateTime::currentDateTime();
}

std::chrono::steady_clock::time_point Clock::monotonic() const
{
    return std::chrono::steady_clock::now();
}

void Clock::DelayMili(int Seconds) const
{
    if (Seconds <= 0)
        return;
    const auto pause = scaled(std::chrono::milliseconds(static_cast<long long>(Seconds) * 10));
    if (pause.count() <= 0) {
        QCoreApplication::processEvents();
        return;
    }
    // A nested loop woken by a timer: events keep running and the core idles.
    QEventLoop loop;
    QTimer::singleShot(pause, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace core
