#include "app/VerifyMode.h"

#include "robot/InstallationCheck.h"

#include <QCoreApplication>
#include <cstdio>

namespace app {

core::ExitStatus VerifyMode::run(int &argc, char **argv, const QString &programDir)
{
    QCoreApplication app(argc, argv);
    using Check = robot::InstallationCheck;
    bool passed = true;
    for (const Check::Line &line :
         Check::run(programDir.isEmpty() ? QCoreApplication::applicationDirPath() : programDir)) {
        std::printf("%s\n", line.text().toUtf8().constData());
        passed = passed && line.result != Check::Result::Failed;
    }
    return passed ? core::ExitStatus::Done : core::ExitStatus::Failed;
}

} // namespace app
