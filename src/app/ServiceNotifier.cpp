#include "app/ServiceNotifier.h"

#include "core/StopSignals.h"
#include "core/Texts.h"
#include "robot/Robot.h"

#include <QEventLoop>
#include <systemd/sd-daemon.h>

namespace app {

namespace {
// How often the wait before a restart tells systemd it is still waiting.
constexpr std::chrono::seconds kPauseBeat{10};
} // namespace

ServiceNotifier::ServiceNotifier(robot::Robot &robot, QObject *parent)
    : QObject(parent), m_robot(robot)
{
}

bool ServiceNotifier::underSystemd()
{
    return !qEnvironmentVariableIsEmpty("NOTIFY_SOCKET");
}

void ServiceNotifier::ready()
{
    if (!underSystemd())
        return;
    sd_notify(0, "READY=1");
    sendStatus();
    connect(&m_robot, &robot::Robot::ticked, this, &ServiceNotifier::tick);
    connect(&m_robot, &robot::Robot::stopped, this, [] { sd_notify(0, "STOPPING=1"); });
    // Between ticks, a third of the watchdog's time; or a status line each minute.
    uint64_t usec = 0;
    const bool watched = sd_watchdog_enabled(0, &usec) > 0;
    m_keeper.setInterval(watched ? std::chrono::milliseconds(usec / 3000)
                                 : std::chrono::milliseconds(60000));
    connect(&m_keeper, &QTimer::timeout, this, [this, watched] {
        // No ticks to wait for while polling is off, or while a job runs
        // (it turns the event loop between its steps): the loop turning is
        // the sign of life. A driver call that hangs turns nothing.
        if (watched && (!m_robot.polling() || m_robot.busy()))
            feed();
        sendStatus();
    });
    m_keeper.start();
}

void ServiceNotifier::tick()
{
    feed();
    sendStatus();
}

void ServiceNotifier::feed()
{
    sd_notify(0, "WATCHDOG=1");
}

void ServiceNotifier::sendStatus()
{
    const QString status =
        core::texts::serviceStatus(m_robot.polling(), m_robot.lists().Data5.recordCount(),
                                   m_robot.lists().Data6.recordCount());
    if (status == m_status)
        return;
    m_status = status;
    sd_notifyf(0, "STATUS=%s", status.toUtf8().constData());
}

core::ExitStatus ServiceNotifier::pauseBeforeRestart(core::ExitStatus stop, double timingScale)
{
    if (!underSystemd() ||
        (stop != core::ExitStatus::MaintenanceStop && stop != core::ExitStatus::MachineStop))
        return stop;
    const auto pause = std::chrono::milliseconds(qint64(double(kHealPause.count()) * timingScale));
    const QByteArray status = core::texts::restartPause(pause.count() / 1000).toUtf8();
    auto beat = [&status] {
        // Still starting up: the start-up's time-out is put off, the watchdog fed.
        const auto extend = std::chrono::microseconds(kPauseBeat) * 3;
        sd_notifyf(0, "EXTEND_TIMEOUT_USEC=%lld\nWATCHDOG=1\nSTATUS=%s",
                   static_cast<long long>(extend.count()), status.constData());
    };
    core::StopSignals signals;
    beat();
    QEventLoop loop;
    bool stopped = false;
    QTimer::singleShot(pause, &loop, &QEventLoop::quit);
    QTimer beats;
    QObject::connect(&beats, &QTimer::timeout, &loop, beat);
    beats.start(kPauseBeat);
    QObject::connect(&signals, &core::StopSignals::stopRequested, &loop, [&] {
        stopped = true;
        loop.quit();
    });
    loop.exec();
    return stopped ? core::ExitStatus::Done : stop;
}

} // namespace app
