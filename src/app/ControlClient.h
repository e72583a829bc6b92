#pragma once

#include <QString>
#include <QStringList>

namespace app {

// `robot-fiscal [--dir DIR] COMMAND [ARGS]`: hands the command to the robot
// running on DIR and prints its answer, on standard output when it was done
// and on standard error otherwise.
class ControlClient
{
public:
    // The exit status: 0 done, 1 refused or failed, 2 a wrong command or
    // argument, 3 no robot runs on the directory.
    static int run(const QString &programDir, const QStringList &words);
    // How long an answer may take: a report on a slow line takes minutes.
    static constexpr int kAnswerTimeoutMs = 10 * 60 * 1000;
};

} // namespace app
