#include "app/RobotSession.h"

#include "core/StopSignals.h"
#include "robot/ControlServer.h"
#include "robot/Robot.h"

#include <QCoreApplication>

namespace app {

RobotSession::RobotSession(robot::Robot &robot) : m_robot(robot) {}

RobotSession::~RobotSession() = default;

core::ExitStatus RobotSession::start(const QString &programDir)
{
    if (const core::ExitStatus stop = m_robot.startUp(
            programDir.isEmpty() ? QCoreApplication::applicationDirPath() : programDir);
        stop != core::ExitStatus::Running)
        return stop;
    m_stopSignals = std::make_unique<core::StopSignals>();
    QObject::connect(m_stopSignals.get(), &core::StopSignals::stopRequested, &m_robot,
                     &robot::Robot::requestStop);
    m_robot.start();
    if (m_robot.settings().wakeOnChange)
        m_robot.watchForChanges();
    m_control = std::make_unique<robot::ControlServer>(m_robot);
    m_control->listen();
    return core::ExitStatus::Running;
}

} // namespace app
