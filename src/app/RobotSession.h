#pragma once

#include "core/ExitStatus.h"

#include <QString>
#include <memory>

namespace core {
class StopSignals;
}
namespace robot {
class ControlServer;
class Robot;
} // namespace robot

namespace app {

// What every mode does around a robot: the start-up on the program directory,
// the stop signals, polling and the control socket, for as long as it lives.
class RobotSession
{
public:
    explicit RobotSession(robot::Robot &robot);
    ~RobotSession();

    // Starts the robot up on `programDir` (empty: the executable's directory);
    // Running once it polls and listens, or the start-up's exit status.
    core::ExitStatus start(const QString &programDir);

private:
    robot::Robot &m_robot;
    std::unique_ptr<core::StopSignals> m_stopSignals;
    std::unique_ptr<robot::ControlServer> m_control;
};

} // namespace app
