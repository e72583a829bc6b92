#include "app/HeadlessMode.h"

#include "app/RobotSession.h"
#include "app/ServiceNotifier.h"
#include "headless/HeadlessWindow.h"
#include "robot/Robot.h"

#include <QCoreApplication>
#include <QTimer>

namespace app {

core::ExitStatus HeadlessMode::run(int &argc, char **argv, const QString &programDir)
{
    QCoreApplication app(argc, argv);
    headless::HeadlessWindow window;
    robot::Robot robot(window);
    RobotSession session(robot);
    if (const core::ExitStatus stop = session.start(programDir); stop != core::ExitStatus::Running)
        return ServiceNotifier::pauseBeforeRestart(stop, robot.settings().timingScale);
    // Nobody can press "Iniciar" on a service: polling switched off by a
    // failed port opening comes back by itself.
    robot.setAutoResume(true);
    QObject::connect(&robot, &robot::Robot::stopped, &app, &QCoreApplication::quit);
    // The first activation runs once the loop runs.
    QTimer::singleShot(0, &robot, &robot::Robot::activate);
    ServiceNotifier service(robot);
    service.ready();
    app.exec();
    robot.shutdown();
    return core::ExitStatus::Done;
}

} // namespace app
