// robot-fiscal: parses the command line, picks the window or the headless
// mode, and runs the robot.
#include "console/MainWindow.h"
#include "console/headless/HeadlessWindow.h"
#include "robot/DemoInstallation.h"
#include "robot/Robot.h"
#include "robot/StopSignals.h"

#include <QCommandLineParser>
#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTimer>
#include <cstdio>
#include <memory>

namespace {

bool displayAvailable()
{
    return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")
           || !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication::setApplicationName(QStringLiteral("robot-fiscal"));
    QCoreApplication::setApplicationVersion(QStringLiteral(ROBOT_VERSION));

    // The command line is read before any application object exists, so that
    // headless mode never initialises a window system.
    QStringList args;
    for (int i = 0; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Robot de impresión fiscal: imprime las facturas y notas de crédito pendientes."));
    const QCommandLineOption dirOption(QStringLiteral("dir"),
                                       QStringLiteral("Directorio del programa."),
                                       QStringLiteral("DIR"));
    const QCommandLineOption headlessOption(QStringLiteral("headless"),
                                            QStringLiteral("Sin ventana (servicio)."));
    const QCommandLineOption demoOption(
        QStringLiteral("create-demo"),
        QStringLiteral("Crea en DIR una instalación de demostración con la impresora simulada."),
        QStringLiteral("DIR"));
    const QCommandLineOption printerOption(
        QStringLiteral("printer"),
        QStringLiteral("Tipo de impresora de la demostración: HKA, SAMSUNG o DASCOM."),
        QStringLiteral("TYPE"), QStringLiteral("HKA"));
    const QCommandLineOption helpOption(QStringList{QStringLiteral("h"), QStringLiteral("help")},
                                        QStringLiteral("Muestra esta ayuda."));
    const QCommandLineOption versionOption(QStringLiteral("version"),
                                           QStringLiteral("Muestra la versión."));
    parser.addOption(dirOption);
    parser.addOption(headlessOption);
    parser.addOption(demoOption);
    parser.addOption(printerOption);
    parser.addOption(helpOption);
    parser.addOption(versionOption);
    if (!parser.parse(args)) {
        std::fprintf(stderr, "%s\n", qPrintable(parser.errorText()));
        return 64;
    }
    if (parser.isSet(helpOption)) {
        std::fputs(qPrintable(parser.helpText().replace(QStringLiteral("[options]"),
                                                        QStringLiteral("[--dir DIR] [--headless] | --create-demo DIR [--printer TYPE]"))),
                   stdout);
        return 0;
    }
    if (parser.isSet(versionOption)) {
        std::printf("robot-fiscal %s\n", ROBOT_VERSION);
        return 0;
    }

    if (parser.isSet(demoOption)) {
        // Files and databases only: no window system is touched.
        QCoreApplication app(argc, argv);
        const QString dir = parser.value(demoOption);
        const QString library = QDir(QCoreApplication::applicationDirPath())
                                    .filePath(robot::DemoInstallation::simulatorLibraryName());
        const QString failure =
            robot::DemoInstallation::create(dir, parser.value(printerOption), library);
        if (!failure.isEmpty()) {
            std::fprintf(stderr, "%s\n", qPrintable(failure));
            return 7;
        }
        std::printf("Instalación de demostración creada en %s\n",
                    qPrintable(QFileInfo(dir).absoluteFilePath()));
        return 0;
    }
    if (parser.isSet(printerOption)) {
        std::fprintf(stderr, "--printer solo acompaña a --create-demo.\n");
        return 64;
    }

    const bool headless = parser.isSet(headlessOption) || !displayAvailable();
    std::unique_ptr<QCoreApplication> app;
    if (headless)
        app = std::make_unique<QCoreApplication>(argc, argv);
    else
        app = std::make_unique<QApplication>(argc, argv);
    const QString programDir = parser.isSet(dirOption)
                                   ? parser.value(dirOption)
                                   : QCoreApplication::applicationDirPath();

    std::unique_ptr<robot::WindowServices> window;
    console::MainWindow *mainWindow = nullptr;
    if (headless) {
        window = std::make_unique<console::HeadlessWindow>();
    } else {
        auto w = std::make_unique<console::MainWindow>();
        mainWindow = w.get();
        window = std::move(w);
    }
    robot::Robot robot(*window);
    if (const int stop = robot.startUp(programDir); stop != 0)
        return stop;

    robot::StopSignals stopSignals;
    QObject::connect(&stopSignals, &robot::StopSignals::stopRequested, &robot,
                     &robot::Robot::requestStop);
    robot.start();
    if (mainWindow) {
        QGuiApplication::setQuitOnLastWindowClosed(false);
        mainWindow->attach(robot);
        QObject::connect(mainWindow, &console::MainWindow::closed, app.get(),
                         &QCoreApplication::quit);
        // A stop request closes the window, which waits for a running job.
        QObject::connect(&robot, &robot::Robot::stopped, mainWindow, &QWidget::close);
        mainWindow->show();
    } else {
        // Nobody can press "Iniciar" on a service: polling switched off by a
        // failed port opening comes back by itself.
        robot.setAutoResume(true);
        QObject::connect(&robot, &robot::Robot::stopped, app.get(), &QCoreApplication::quit);
    }
    // The first activation runs once the window has been shown (or, headless,
    // once the loop runs), not on an activation event that may never come.
    QTimer::singleShot(0, &robot, &robot::Robot::activate);
    app->exec();
    if (!mainWindow)
        robot.shutdown();
    return 0;
}
