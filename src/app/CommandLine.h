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
        Control,    // a command to the robot running on the program directory
        Window,     // the robot in its window
        Headless,   // the robot without one
    };
    Run run = Run::Headless;
    QString programDir; // --dir; empty: the executable's directory
    QString demoDir, printerType, databaseUrl;
    QStringList words; // the control command and its arguments
    QString answer;    // printed as it is: on standard output when the status is Done
    core::ExitStatus status = core::ExitStatus::Done;

    static CommandLine parse(int argc, char *argv[]);
    // Prints the answer; the status to end with.
    core::ExitStatus printAnswer() const;
    // The --help text: the synopsis, the options and the control commands.
    static QString help(const QString &optionsHelp);
};

} // namespace app
