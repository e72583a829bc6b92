#pragma once

#include <QDir>
#include <QString>

namespace robot {

// What every installation the program makes shares: a directory that is new
// or empty, files written whole, the configuration file's items.
class InstallationDirectory
{
public:
    // Checks the printer type and the main database's URL (empty: SQLite),
    // then makes `path` (or takes it when it is an empty directory) and sets
    // `dir` to it; an empty text on success, otherwise why not. A directory
    // that holds anything is refused: nothing is ever overwritten.
    static QString prepare(const QString &path, const QString &printerType,
                           const QString &databaseUrl, QDir *dir);
    static bool writeFile(const QString &path, const QString &text);
    // An item of Vextora.inf: quoted when it holds a comma, which ends an item.
    static QString item(const QString &text);
    // robot-fiscal.ini's [database] Url value, quoted: a URL may hold commas
    // (several hosts) and semicolons.
    static QString urlValue(const QString &url);
};

} // namespace robot
