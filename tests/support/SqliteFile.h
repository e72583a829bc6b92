#pragma once

#include "support/QtPrinters.h"

#include <QString>
#include <QVariant>
#include <QVariantList>

struct sqlite3;

namespace testsupport {

// A database file handled with SQLite's own API, beside the layer under test:
// fixtures are written and results checked in plain SQLite SQL.
class SqliteFile
{
public:
    // Makes a new file from the shipped main or local schema.
    static void createMain(const QString &path);
    static void createLocal(const QString &path);

    explicit SqliteFile(const QString &path);
    ~SqliteFile();
    SqliteFile(const SqliteFile &) = delete;
    SqliteFile &operator=(const SqliteFile &) = delete;

    // Runs statements; an error fails the test and throws std::runtime_error.
    void exec(const QString &sql);
    // The first column of the first row (an invalid QVariant for a null or no row).
    QVariant scalar(const QString &sql);
    // The first column of every row.
    QVariantList column(const QString &sql);

private:
    sqlite3 *m_db = nullptr;
    QString m_path;
};

} // namespace testsupport
