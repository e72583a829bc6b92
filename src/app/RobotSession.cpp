#include "app/RobotSession.h"

#include "core/StopSignals.h"
#include "robot/ControlServer.h"
#include "robot/Robot.h"

#include <QCoreApplication>

namespace app {

RobotSession::RobotSession(robot::Robot &robot) : m_robot(robot) {}

RobotSession::~RobotSession() = default;

int RobotSession::start(const QString &programDir)
{
    if (const int stop = m_robot.startUp(
            programDir.isEmpty() ? QCoreApplication::applicationDirPath() : programDir);
        stop != 0)
        return stop;
    m_stopSignals = std::make_unique<core::StopSignals>();
    QObject::connect(m_stopSignals.get(), &core::StopSignals::stopRequested, &m_robot,
                     &robot::Robot::requestStop);
    m_robot.start();
    m_control = std::make_unique<robot::ControlServer>(m_robot);
    m_control->listen();
    return 0;
}

} // namespace app
