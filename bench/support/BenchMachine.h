#pragma once

#include <QByteArray>
#include <QString>

namespace bench {

// What the programs read of the machine they run on.
class BenchMachine
{
public:
    // The machine is shared: its load average goes with every figure.
    static QByteArray loadAverage();
    // The whole file, or nothing if it cannot be read (a /proc entry of a
    // process that has just ended, say).
    static QByteArray readFile(const QString &path);
    // The robot built beside the simulator library; empty, after saying so on
    // standard error, when it is not built.
    static QString builtRobot(const QString &simulatorLibrary);
};

} // namespace bench
