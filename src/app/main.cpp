// robot-fiscal: parses the command line, picks the window or the headless
// mode, and runs the robot.
#include "app/WindowMode.h"
#include "core/StopSignals.h"
#include "headless/HeadlessWindow.h"
#include "robot/DemoInstallation.h"
#include "robot/Robot.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTimer>
#include <cstdio>
#include <memory>

namespace {

bool displayAvailable()
{
    return !qEnvironmentVariableIsEmpty("DISPLAY") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
           !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
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
    const QCommandLineOption dirOption(
        QStringLiteral("dir"), QStringLiteral("Directorio del programa."), QStringLiteral("DIR"));
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
    const QCommandLineOption databaseOption(
        QStringLiteral("database"),
        QStringLiteral("Base de datos principal PostgreSQL de la demostración, vacía: "
                       "postgresql://USUARIO@SERVIDOR:PUERTO/NOMBRE."),
        QStringLiteral("URL"));
    const QCommandLineOption helpOption(QStringList{QStringLiteral("h"), QStringLiteral("help")},
                                        QStringLiteral("Muestra esta ayuda."));
    const QCommandLineOption versionOption(QStringLiteral("version"),
                                           QStringLiteral("Muestra la versión."));
    parser.addOption(dirOption);
    parser.addOption(headlessOption);
    parser.addOption(demoOption);
    parser.addOption(printerOption);
    parser.addOption(databaseOption);
    parser.addOption(helpOption);
    parser.addOption(versionOption);
    if (!parser.parse(args)) {
        std::fprintf(stderr, "%s\n", qPrintable(parser.errorText()));
        return 64;
    }
    if (parser.isSet(helpOption)) {
        std::fputs(
            qPrintable(parser.helpText().replace(
                QStringLiteral("[options]"),
                QStringLiteral("[--dir DIR] [--headless] | --create-demo DIR [--printer TYPE] "
                               "[--database URL]"))),
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
        const QString failure = robot::DemoInstallation::create(
            dir, parser.value(printerOption), library, parser.value(databaseOption));
        if (!failure.isEmpty()) {
            std::fprintf(stderr, "%s\n", qPrintable(failure));
            return 7;
        }
        std::printf("Instalación de demostración creada en %s\n",
                    qPrintable(QFileInfo(dir).absoluteFilePath()));
        return 0;
    }
    if (parser.isSet(printerOption) || parser.isSet(databaseOption)) {
        std::fprintf(stderr, "--printer y --database solo acompañan a --create-demo.\n");
        return 64;
    }

    const QString programDir = parser.isSet(dirOption) ? parser.value(dirOption) : QString();
    if (!parser.isSet(headlessOption) && displayAvailable() && app::WindowMode::built())
        return app::WindowMode::run(argc, argv, programDir);

    QCoreApplication app(argc, argv);
    headless::HeadlessWindow window;
    robot::Robot robot(window);
    if (const int stop = robot.startUp(programDir.isEmpty() ? QCoreApplication::applicationDirPath()
                                                            : programDir);
        stop != 0)
        return stop;

    core::StopSignals stopSignals;
    QObject::connect(&stopSignals, &core::StopSignals::stopRequested, &robot,
                     &robot::Robot::requestStop);
    robot.start();
    // Nobody can press "Iniciar" on a service: polling switched off by a
    // failed port opening comes back by itself.
    robot.setAutoResume(true);
    QObject::connect(&robot, &robot::Robot::stopped, &app, &QCoreApplication::quit);
    // The first activation runs once the loop runs.
    QTimer::singleShot(0, &robot, &robot::Robot::activate);
    app.exec();
    robot.shutdown();
    return 0;
}
