// console-screenshot DIR PNG: the operator's window on the installation in DIR,
// its pending lists filled, saved as a picture (the README's screenshot).
#include "console/MainWindow.h"
#include "core/ExitStatus.h"
#include "core/Texts.h"
#include "robot/Robot.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QPixmap>
#include <QWindow>
#include <cstdio>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 3) {
        std::fprintf(stderr, "%s\n", qPrintable(core::texts::kScreenshotUsage));
        return core::exitCode(core::ExitStatus::Usage);
    }
    const QString png = QFileInfo(args.at(2)).absoluteFilePath();

    console::MainWindow window;
    robot::Robot robot(window);
    if (const core::ExitStatus stop = robot.startUp(args.at(1)); stop != core::ExitStatus::Running)
        return core::exitCode(stop);
    robot.start();
    // The picture shows what waits: no tick may print it first. The first
    // activation is not run either, as it minimises the window.
    robot.Timer1().setEnabled(false);
    window.attach(robot);
    window.show();

    const QDeadlineTimer deadline(5000);
    while (!(window.windowHandle() && window.windowHandle()->isExposed()) && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    QCoreApplication::processEvents();

    if (!window.grab().save(png, "PNG")) {
        std::fprintf(stderr, "%s\n", qPrintable(core::texts::pictureNotWritten(png)));
        return core::exitCode(core::ExitStatus::Failed);
    }
    robot.shutdown();
    std::printf("%s\n", qPrintable(png));
    return core::exitCode(core::ExitStatus::Done);
}
