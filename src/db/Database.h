#pragma once

#include "db/RecordSet.h"

#include <QString>
#include <memory>

namespace db {

class SqlDialect;

// One connection to one database file, speaking the administrative system's
// SQL. Every operation throws DataError on failure.
class Database
{
public:
    struct Options
    {
        // How datevalue('...') dates are written (the system's short date form).
        QString shortDateFormat = QStringLiteral("dd/MM/yyyy");
        // How long to wait for a lock that another program holds.
        int busyTimeoutMs = 5000;
    };

    // Opens an existing file, shared and read-write; a missing file is an
    // error and no file is created. Waits for locks held by other programs up
    // to the busy timeout. `shortDateFormat` is how datevalue('...') dates are written.
    static std::unique_ptr<Database>
    open(const QString &path, const QString &shortDateFormat = QStringLiteral("dd/MM/yyyy"));
    static std::unique_ptr<Database> open(const QString &path, const Options &options);
    ~Database();
    Database(const Database &) = delete;
    Database &operator=(const Database &) = delete;

    // Runs a query and reads its rows whole, so that no lock or snapshot
    // stays open afterwards.
    RecordSet openRecordset(const QString &sql);
    // An action query (update, deletion).
    void execute(const QString &sql);
    void close();

    const QString &path() const;
    // The text that the engine runs for `sql`.
    QString translate(const QString &sql) const;

private:
    Database();
    struct Private;
    std::unique_ptr<Private> d;
};

} // namespace db
