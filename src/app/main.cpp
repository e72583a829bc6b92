// robot-fiscal: reads the command line and runs what it asks for.
#include "app/CommandLine.h"
#include "app/ControlClient.h"
#include "app/DemoMode.h"
#include "app/HeadlessMode.h"
#include "app/VerifyMode.h"
#include "app/WindowMode.h"

#include <QCoreApplication>
#include <sys/stat.h>

namespace {
constexpr mode_t kUmask = 0027;
}

int main(int argc, char *argv[])
{
    // Before anything is written: what the robot and its driver write in the
    // program directory (answer files, journal, locks, the local database) is
    // writable by the robot's user only, whatever umask it was started with;
    // its group may read. The control socket sets its own mode.
    ::umask(kUmask);
    QCoreApplication::setApplicationName(QStringLiteral("robot-fiscal"));
    QCoreApplication::setApplicationVersion(QStringLiteral(ROBOT_VERSION));
    using Run = app::CommandLine::Run;
    const app::CommandLine line = app::CommandLine::parse(argc, argv);
    core::ExitStatus status = core::ExitStatus::Usage;
    switch (line.run) {
    case Run::Answer:
        status = line.printAnswer();
        break;
    case Run::CreateDemo:
        status = app::DemoMode::run(argc, argv, line.demoDir, line.printerType, line.databaseUrl);
        break;
    case Run::Init:
        status = app::DemoMode::init(argc, argv, line.demoDir, line.printerType, line.databaseUrl);
        break;
    case Run::Verify:
        status = app::VerifyMode::run(argc, argv, line.programDir);
        break;
    case Run::Control:
        status = app::ControlClient::run(argc, argv, line.programDir, line.words);
        break;
    case Run::Window:
        status = app::WindowMode::run(argc, argv, line.programDir);
        break;
    case Run::Headless:
        status = app::HeadlessMode::run(argc, argv, line.programDir);
        break;
    }
    return core::exitCode(status);
}
