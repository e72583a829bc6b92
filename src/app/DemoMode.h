#pragma once

#include "core/ExitStatus.h"

#include <QString>

namespace app {

// `robot-fiscal --create-demo DIR` and `--init DIR`: files and databases
// only, no window system is touched.
class DemoMode
{
public:
    // Makes the demo installation on the simulator library that came with
    // this executable and says where, or why not.
    static core::ExitStatus run(int &argc, char **argv, const QString &dir,
                                const QString &printerType, const QString &databaseUrl);
    // Makes the empty installation and says where, or why not.
    static core::ExitStatus init(int &argc, char **argv, const QString &dir,
                                 const QString &printerType, const QString &databaseUrl);
};

} // namespace app
