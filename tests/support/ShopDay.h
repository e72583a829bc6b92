#pragma once

#include "support/Installation.h"
#include "support/ShopDayPlan.h"

namespace testsupport {

struct ShopDayOutcome
{
    // Each names its invariant in brackets ([twice], [numbers], [content],
    // [left], [cancels], [stopped], [crash]) and the documents concerned.
    QStringList violations;
    QString log;     // one line per event, with the seconds since the start
    QString output;  // what the day's robots wrote, the paper roll, the printer's calls
    QString summary; // what the printer did, in figures
};

// A day of a shop run against the real robot on the simulated printer: the
// plan's events at their moments, then, the faults over, the robot left to
// settle, then the day judged from the paper roll, the printer's memory and
// the database. PostgreSQL: on a cluster of the caller's own, which the day
// restarts.
ShopDayOutcome runShopDay(const ShopDayPlan &plan, Engine engine,
                          PostgresCluster *cluster = nullptr);

} // namespace testsupport
