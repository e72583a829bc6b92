#pragma once

#include "robot/Clock.h"
#include "robot/ListSources.h"
#include "robot/RobotState.h"
#include "robot/Settings.h"
#include "robot/WindowServices.h"

#include <QObject>
#include <memory>

namespace robot {

class InstanceLock;

// The robot: its state, settings and list sources, and the window it talks
// to. One per process.
class Robot : public QObject
{
    Q_OBJECT
public:
    explicit Robot(WindowServices &window, QObject *parent = nullptr);
    ~Robot() override;

    // The start-up sequence; 0 when the robot runs, the exit status of the
    // start-up stop otherwise.
    int startUp(const QString &programDir);

    RobotState &state() { return m_state; }
    const Settings &settings() const { return m_settings; }
    ListSources &lists() { return m_lists; }
    const Clock &clock() const { return m_clock; }
    WindowServices &window() { return m_window; }

private:
    WindowServices &m_window;
    RobotState m_state;
    Settings m_settings;
    ListSources m_lists;
    Clock m_clock;
    std::unique_ptr<InstanceLock> m_lock;
};

} // namespace robot
