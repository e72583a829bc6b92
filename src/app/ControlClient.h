#pragma once

#include "core/ExitStatus.h"

#include <QString>
#include <QStringList>

namespace app {

// `robot-fiscal [--dir DIR] COMMAND [ARGS]`: hands the command to the robot
// running on DIR and prints its answer, on standard output when it was done
// and on standard error otherwise.
class ControlClient
{
public:
    // Creates the application and asks the robot on `programDir` (empty: the
    // executable's directory). Done, Failed (refused or failed), WrongCommand,
    // or NoRobot when no robot runs on the directory.
    static core::ExitStatus run(int &argc, char **argv, const QString &programDir,
                                const QStringList &words);
    // How long an answer may take: a report on a slow line takes minutes.
    static constexpr int kAnswerTimeoutMs = 10 * 60 * 1000;
};

} // namespace app
