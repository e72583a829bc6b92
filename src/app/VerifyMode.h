#pragma once

#include "core/ExitStatus.h"

#include <QString>

namespace app {

// `robot-fiscal verificar`: the installation's checks, one line each on
// standard output; Done when every one passed (or was skipped), Failed
// otherwise. Runs whether the robot runs or not.
class VerifyMode
{
public:
    static core::ExitStatus run(int &argc, char **argv, const QString &programDir);
};

} // namespace app
