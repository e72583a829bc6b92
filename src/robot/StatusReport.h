#pragma once

#include <QJsonObject>
#include <QString>

namespace robot {

class Robot;

// What `robot-fiscal estado` tells: whether polling runs, the document being
// printed and its stage, the pending lists as the robot last read them (the
// window's lists), the documents held back, and the last one printed.
class StatusReport
{
public:
    // Between two ticks the pending lists are read afresh first (a database
    // out of reach keeps what was read last: the tick tells the outage).
    static QJsonObject json(Robot &robot);
    // The same as a few readable lines.
    static QString text(Robot &robot);
};

} // namespace robot
