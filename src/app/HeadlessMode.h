#pragma once

#include "core/ExitStatus.h"

#include <QString>

namespace app {

// The robot without a window, on a plain event loop: a service, or a machine
// with no display.
class HeadlessMode
{
public:
    // Creates the application, starts the robot on `programDir` (empty: the
    // executable's directory) and runs until a stop signal or request ends
    // it; the exit status.
    static core::ExitStatus run(int &argc, char **argv, const QString &programDir);
};

} // namespace app
