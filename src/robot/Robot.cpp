#include "robot/Robot.h"

#include "robot/InstanceLock.h"
#include "robot/Startup.h"

namespace robot {

Robot::Robot(WindowServices &window, QObject *parent) : QObject(parent), m_window(window) {}

Robot::~Robot() = default;

int Robot::startUp(const QString &programDir)
{
    Startup startup(m_state, m_settings, m_lists, m_window);
    const Startup::ExitStatus status = startup.run(programDir);
    if (status != Startup::Running)
        return status;
    m_lock = startup.takeLock();
    m_clock.setScale(m_settings.timingScale);
    return 0;
}

} // namespace robot
