#pragma once

#include "db/RecordSet.h"

#include <QString>
#include <functional>
#include <memory>

namespace db {

class SqlDialect;

// One connection to one database, speaking the administrative system's SQL:
// a SQLite file, or a PostgreSQL database named by a postgresql:// URL. Every
// operation throws DataError on failure.
class Database
{
public:
    enum class Engine { Sqlite, Postgres };
    // The one place that decides the engine of a database from its location.
    static Engine engineOf(const QString &location);

    struct Options
    {
        // How datevalue('...') dates are written (the system's short date form).
        QString shortDateFormat = QStringLiteral("dd/MM/yyyy");
        // How long to wait for a lock that another program holds.
        int busyTimeoutMs = 5000;
    };

    // Opens an existing file, shared and read-write; a missing file is an
    // error and no file is created. Or connects to the server of a URL. Waits
    // for locks held by other programs up to the busy timeout (on a server,
    // each statement's lock_timeout). `shortDateFormat` is how
    // datevalue('...') dates are written.
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

    // The file's path or the server's URL.
    const QString &path() const;
    Engine engine() const;
    // A SQLite file that is no longer the one this connection opened: moved
    // away, replaced or restored under the same name, or written since (its
    // device, inode, size or modification time differ). Never on a server.
    bool fileChanged() const;
    // A server connection that broke: of no further use.
    bool lost() const;
    // The text that the engine runs for `sql`.
    QString translate(const QString &sql) const;

    // PostgreSQL: listens to a notification channel; each notification's
    // payload goes to `notified`, in the event loop.
    void listen(const QString &channel, std::function<void(const QString &payload)> notified);

private:
    Database();
    struct Private;
    std::unique_ptr<Private> d;
};

} // namespace db
