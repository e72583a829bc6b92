#include "app/WindowMode.h"

#include "app/RobotSession.h"

#include "console/MainWindow.h"
#include "robot/Robot.h"

#include <QApplication>
#include <QTimer>

namespace app {

bool WindowMode::built()
{
    return true;
}

core::ExitStatus WindowMode::run(int &argc, char **argv, const QString &programDir)
{
    QApplication app(argc, argv);
    console::MainWindow window;
    robot::Robot robot(window);
    RobotSession session(robot);
    if (const core::ExitStatus stop = session.start(programDir); stop != core::ExitStatus::Running)
        return stop;
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
    return core::ExitStatus::Done;
}

} // namespace app
