#pragma once

#include "robot/Robot.h"
#include "support/Installation.h"
#include "support/RecordingWindow.h"

namespace testsupport {

// An Installation with the real robot in this process on it: its own
// start-up, driver loader, printer link, print journal and jobs, talking to a
// RecordingWindow (or to the window given).
class RobotHarness : public Installation
{
public:
    explicit RobotHarness(const Installation::Setup &setup = {},
                          core::WindowServices *window = nullptr);
    ~RobotHarness();

    robot::Robot &robot() { return *m_robot; }
    RecordingWindow &window() { return m_window; }

    // As Timer1's tick would, each run exclusively; the first activation
    // (done by the window once it shows) runs before the first of them.
    void print(core::DocumentKind kind);
    void tick();

private:
    void run(const std::function<void()> &work);

    QString m_previousDir;
    RecordingWindow m_window;
    std::unique_ptr<robot::Robot> m_robot;
    bool m_activated = false;
};

} // namespace testsupport
