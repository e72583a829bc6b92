#pragma once

#include <QString>

namespace robot {

// `robot-fiscal --create-demo DIR`: a complete installation for trying the
// robot without hardware, on the simulated fiscal printer.
class DemoInstallation
{
public:
    // Vextora.inf, robot-fiscal.ini, fiscalsim.ini, the maintenance marker,
    // the main database (company, customers, products, printed history,
    // waiting sales and credit notes) and the local ticket database, all in
    // `dir`, which is the program directory and the data directory at once.
    // `printerType` is HKA, SAMSUNG or DASCOM; `driverLibrary` the absolute
    // path of the simulator library. An existing non-empty `dir` is refused.
    // With a `databaseUrl` the main database is that PostgreSQL database,
    // which must be empty: it is filled with the shipped schema and the same
    // rows, and robot-fiscal.ini names it ([database] Url); the local
    // database, the marker and the journal stay files in `dir`.
    // Returns an empty text on success, otherwise why nothing (or not
    // everything) was made.
    static QString create(const QString &dir, const QString &printerType,
                          const QString &driverLibrary, const QString &databaseUrl = QString());

    // The simulator library's file name on this platform.
    static QString simulatorLibraryName();
};

} // namespace robot
