#pragma once

#include "core/ExitStatus.h"

#include <QString>

namespace app {

// The robot in its Qt window, where the build has one.
class WindowMode
{
public:
    // False in a build without the console: the robot then always runs headless.
    static bool built();
    // Creates the application and the window, starts the robot on `programDir`
    // (empty: the executable's directory)
    // and runs until the window closes; the exit status.
    static core::ExitStatus run(int &argc, char **argv, const QString &programDir);
};

} // namespace app
