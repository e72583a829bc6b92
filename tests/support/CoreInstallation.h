#pragma once

#include "core/Clock.h"
#include "core/RobotState.h"
#include "core/Settings.h"
#include "db/ListSources.h"
#include "robot/FirstActivation.h"
#include "support/MainDatabase.h"
#include "support/RecordingWindow.h"
#include "support/TestDir.h"

#include <memory>

namespace testsupport {

// The robot's state on a program directory with a main and a local database
// made from the shipped schemas, and its first activation, run in-process
// with no pauses.
struct CoreInstallation
{
    CoreInstallation();

    TestDir dir;
    std::unique_ptr<MainDatabase> main;
    std::unique_ptr<MainDatabase> local;
    core::RobotState state;
    core::Settings settings;
    db::ListSources lists;
    RecordingWindow window;
    core::Clock clock{0.0};
    robot::FirstActivation activation{state, settings, window, lists, clock};
};

} // namespace testsupport
