#pragma once

#include "core/Texts.h"
#include "robot/Outcome.h"

#include <QStringList>
#include <span>

namespace robot {

class PrinterActions;
class Robot;

// The control commands, `robot-fiscal [--dir DIR] NAME ARGS`: the words each
// takes and what the control server does for it. The client checks the words
// against the same table before it asks, and --help lists it.
class ControlCommands
{
public:
    struct Command
    {
        const core::texts::CommandText &text; // name, arguments, help
        // Whether the words after the name are arguments the command takes.
        bool (*takes)(const QStringList &args);
        // What the server does: one of the operator's actions on the robot.
        Outcome (*run)(Robot &robot, PrinterActions &actions, const QStringList &args);
        // Waits until no job runs: switching polling (a job switches it its
        // own way as it ends), or changing what a job checks.
        bool afterJob = false;

        // "NAME ARGUMENTS", as the usage shows it.
        QString usage() const;
    };

    // In the order --help lists them.
    static std::span<const Command> all();
    // Nullptr when no command has that name.
    static const Command *find(const QString &name);
    // Why the words are not a command with arguments it takes; empty when they are.
    static QString usageError(const QStringList &words);
};

} // namespace robot
