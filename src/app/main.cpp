// robot-fiscal: parses the command line, picks the window or the headless
// mode, and runs the robot.
#include "app/ControlClient.h"
#include "app/WindowMode.h"
#include "core/StopSignals.h"
#include "headless/HeadlessWindow.h"
#include "robot/ControlServer.h"
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

// The synopsis and the commands; QCommandLineParser adds the options.
const char *const kUsage =
    "Uso: robot-fiscal [--dir DIR] [--headless]\n"
    "     robot-fiscal --create-demo DIR [--printer HKA|SAMSUNG|DASCOM] [--database URL]\n"
    "     robot-fiscal [--dir DIR] ORDEN [ARGUMENTOS]\n"
    "     robot-fiscal --help | --version\n"
    "\n"
    "Robot de impresión fiscal: imprime las facturas y notas de crédito pendientes.\n"
    "Sin ORDEN, ejecuta el robot sobre el directorio del programa DIR.\n";
const char *const kCommands =
    "\n"
    "Órdenes al robot en marcha sobre DIR:\n"
    "  estado [--json]              sondeo, documento en curso, pendientes, retenidos y último "
    "impreso\n"
    "  cierre-x                     imprime el reporte X\n"
    "  cierre-z                     imprime el cierre diario (reporte Z)\n"
    "  abrir-gaveta                 abre la gaveta de dinero\n"
    "  anular                       anula el documento abierto en la impresora\n"
    "  reporte-memoria DESDE HASTA  reporte de memoria fiscal entre dos fechas (ShortDateFormat)\n"
    "  detener                      detiene el sondeo\n"
    "  iniciar                      reanuda el sondeo\n"
    "  reintentar factura|nota CODIGO\n"
    "                               vuelve a tomar un documento retenido en el próximo ciclo\n"
    "\n"
    "Estado de salida de una orden: 0 hecha, 1 rechazada o fallida, 2 orden o argumento "
    "erróneo,\n"
    "3 no hay un robot en marcha sobre DIR.\n";

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
    // "estado --json": what follows the command is the command's.
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
    if (!parser.parse(args)) {
        std::fprintf(stderr, "%s\n", qPrintable(parser.errorText()));
        return 64;
    }
    if (parser.isSet(helpOption)) {
        // Only the options of the parser's text: its usage line cannot name the program.
        QString options = parser.helpText();
        options = options.mid(options.indexOf(QStringLiteral("Options:")));
        options.replace(QStringLiteral("Options:"), QStringLiteral("Opciones:"));
        std::fputs(kUsage, stdout);
        std::fputs(("\n" + options).toUtf8().constData(), stdout);
        std::fputs(kCommands, stdout);
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
        // Beside the executable in a build, in the package's library directory once installed.
        const QDir bin(QCoreApplication::applicationDirPath());
        QString library = bin.filePath(robot::DemoInstallation::simulatorLibraryName());
        if (!QFileInfo::exists(library))
            library =
                QDir::cleanPath(bin.filePath(QStringLiteral("../lib/robot-fiscal/") +
                                             robot::DemoInstallation::simulatorLibraryName()));
        const QString failure = robot::DemoInstallation::create(
            dir, parser.value(printerOption), library, parser.value(databaseOption));
        if (!failure.isEmpty()) {
            std::fprintf(stderr, "%s\n", qPrintable(failure));
            return 7;
        }
        std::printf("Instalación de demostración creada en %s\n",
                    qPrintable(QDir::toNativeSeparators(QFileInfo(dir).absoluteFilePath())));
        return 0;
    }
    if (parser.isSet(printerOption) || parser.isSet(databaseOption)) {
        std::fprintf(stderr, "--printer y --database solo acompañan a --create-demo.\n");
        return 64;
    }

    const QString programDir = parser.isSet(dirOption) ? parser.value(dirOption) : QString();
    if (const QStringList words = parser.positionalArguments(); !words.isEmpty()) {
        if (parser.isSet(headlessOption)) {
            std::fprintf(stderr, "--headless no acompaña a una orden.\n");
            return 64;
        }
        QCoreApplication app(argc, argv);
        return app::ControlClient::run(
            programDir.isEmpty() ? QCoreApplication::applicationDirPath() : programDir, words);
    }
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
    robot::ControlServer control(robot);
    control.listen();
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
