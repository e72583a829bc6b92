#pragma once

#include "robot/Outcome.h"

#include <QJsonObject>
#include <QString>

namespace robot {

class Robot;

// What `robot-fiscal estado` tells: whether polling runs, the document being
// printed and its stage, the pending lists as the robot last read them (the
// window's lists), the documents held back, the last one printed, and the
// robot's health: the main database, the fiscal machine's lock, the printer.
class StatusReport
{
public:
    // Between two ticks the pending lists are read afresh first (a database
    // out of reach keeps what was read last: the tick tells the outage).
    static QJsonObject json(Robot &robot);
    // The same as a few readable lines.
    static QString text(Robot &robot);
    // `estado --check`: one line for monitoring, Done when all is well,
    // Warning when something wants looking at (documents held, the printer
    // silent at its last reading, the machine's lock awaited, polling
    // stopped by the operator), Critical when nothing new can be printed or
    // recorded (the database away, the lock lost, polling stopped by a
    // fault, printer numbers unaccounted for, a document recovery cannot
    // settle).
    static Outcome check(Robot &robot);
};

} // namespace robot
