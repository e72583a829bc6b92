#pragma once

#include "core/ExitStatus.h"

#include <QString>
#include <QStringList>

namespace app {

// The command line, read before any application object exists so that the
// headless mode never initialises a window system: what to run, and with what.
struct CommandLine
{
    enum class Run {
        Answer,     // --help, --version or a usage error: `answer` is all there is to do
        CreateDemo, // --create-demo DIR
        Init,       // --init DIR
        Verify,     // verificar: the installation checked, whether the robot runs or not
        Control,    // a command to the robot running on the program directory
        Window,     // the robot in its window
        Headless,   // the robot without one
    };
    Run run = Run::Headless;
    // --dir, or /var/lib/robot-fiscal/NAME for --instancia NAME or, without
    // either, ROBOT_FISCAL_INSTANCIA=NAME; empty: the executable's directory.
    QString programDir;
    QString demoDir, printerType, databaseUrl; // --create-demo or --init DIR and its options
    QStringList words;                         // the control command and its arguments
    QString answer; // printed as it is: on standard output when the status is Done
    core::ExitStatus status = core::ExitStatus::Done;

    static CommandLine parse(int argc, char *argv[]);
    // Prints the answer; the status to end with.
    core::ExitStatus printAnswer() const;
    // The --help text: the synopsis, the options and the control commands.
    static QString help(const QString &optionsHelp);
    // Where the package's service instances live, each in a directory of its name.
    static QString instancesDir() { return QStringLiteral("/var/lib/robot-fiscal"); }
};

} // namespace app
