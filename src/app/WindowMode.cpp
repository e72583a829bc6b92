#include "app/WindowMode.h"

#include "console/MainWindow.h"
#include "core/StopSignals.h"
#include "robot/ControlServer.h"
#include "robot/Robot.h"

#include <QApplication>
#include <QTimer>

namespace app {

bool WindowMode::built()
{
    return true;
}

int WindowMode::run(int &argc, char **argv, const QString &programDir)
{
    QApplication app(argc, argv);
    console::MainWindow window;
    robot::Robot robot(window);
    if (const int stop = robot.startUp(programDir.isEmpty() ? QCoreApplication::applicationDirPath()
                                                            : programDir);
        stop != 0)
        return stop;

    core::StopSignals stopSignals;
    QObject::connect(&stopSignals, &core::StopSignals::stopRequested, &robot,
                     &robot::Robot::requestStop);
    robot.start();
    robot::ControlServer control(robot);
    control.listen();
    QGuiApplication::setQuitOnLastWindowClosed(false);
    window.attach(robot);
    QObject::connect(&window, &console::MainWindow::closed, &app, &QCoreApplication::quit);
    // A stop request closes the window, which waits for a running job.
    QObject::connect(&robot, &robot::Robot::stopped, &window, &QWidget::close);
    window.show();
    // The first activation runs once the window has been shown, not on an
    // activation event that may never come.
    QTimer::singleShot(0, &robot, &robot::Robot::activate);
    app.exec();
    return 0;
}

} // namespace app
