#pragma once

#include "core/ExitStatus.h"

#include <QObject>
#include <QTimer>
#include <chrono>

namespace robot {
class Robot;
}

namespace app {

// The robot as a Type=notify systemd service sees it: ready once started,
// alive while its ticks run (a driver call that hangs stops them, and the
// watchdog restarts the service), and a status line. Without NOTIFY_SOCKET
// it does nothing.
class ServiceNotifier : public QObject
{
public:
    explicit ServiceNotifier(robot::Robot &robot, QObject *parent = nullptr);

    static bool underSystemd();
    // READY=1 and the first status line, after a successful start-up.
    void ready();

    // A start-up stop that mends without the installer (the server's
    // maintenance ends, the other robot on the fiscal machine goes): waits
    // kHealPause, scaled, telling systemd why, then returns `stop` so that the
    // unit restarts the robot. A stop signal meanwhile ends the wait: Done.
    // Any other stop, or no systemd, is returned at once.
    static core::ExitStatus pauseBeforeRestart(core::ExitStatus stop, double timingScale);
    static constexpr std::chrono::milliseconds kHealPause{5 * 60 * 1000};

private:
    void tick();
    void feed();
    void sendStatus();

    robot::Robot &m_robot;
    QTimer m_keeper;
    QString m_status;
};

} // namespace app
