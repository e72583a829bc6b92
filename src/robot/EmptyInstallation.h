#pragma once

#include <QString>

namespace robot {

// `robot-fiscal --init DIR`: an installation to complete by hand, for a shop's
// real printer and database.
class EmptyInstallation
{
public:
    // Vextora.inf and robot-fiscal.ini with every key present and explained,
    // and an empty local ticket database, in `dir`, the program directory and,
    // until the installer says otherwise, the data directory. No main
    // database (the administrative system's), no maintenance marker (the
    // installer's go-ahead), no demo rows. With a `databaseUrl`,
    // robot-fiscal.ini names it; the server is not touched. `printerType` is
    // HKA, SAMSUNG or DASCOM. An existing non-empty `dir` is refused. Returns
    // an empty text on success, otherwise why nothing (or not everything)
    // was made.
    static QString create(const QString &dir, const QString &printerType,
                          const QString &databaseUrl = QString());
};

} // namespace robot
