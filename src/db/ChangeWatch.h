#pragma once

#include "db/FileIdentity.h"

#include <QFileSystemWatcher>
#include <QObject>
#include <QString>
#include <QTimer>
#include <chrono>
#include <memory>

namespace db {

class Database;

// Tells the robot between its ticks that the main database may have changed:
// on SQLite by the file and its write-ahead log (told by the kernel on a local
// file system, and looked at once a second besides; looked at every few tens
// of milliseconds on a shared directory, whose client does not hear of other
// machines' writes and may cache their attributes a while), on PostgreSQL by the
// notifications that the triggers of sql/notify-postgresql.sql send for a
// fiscal machine's sales and credit notes. Whatever fails (the database away
// or locked, a server without the triggers) leaves the robot on its ticks;
// the watch tries again at its next check, and after a reconnection it says
// "changed" once, for what it may have missed.
class ChangeWatch : public QObject
{
    Q_OBJECT
public:
    enum class Way { Ticks, Changes, Notifications };

    ChangeWatch(const QString &location, qint32 machine, QObject *parent = nullptr);
    ~ChangeWatch() override;

    // How the robot hears of changes now.
    Way way() const;

    static constexpr std::chrono::milliseconds kFileCheck{50};
    static constexpr std::chrono::milliseconds kToldFileCheck{1000};
    // The writes of one commit come as several events: one look after them.
    static constexpr std::chrono::milliseconds kEventsSettle{2};
    static constexpr std::chrono::milliseconds kServerCheck{5000};
    // The channel and the trigger function of the shipped triggers.
    static inline const QString kChannel = QStringLiteral("robot_fiscal");

Q_SIGNALS:
    void changed();

private:
    void check();
    void checkFile();
    void checkServer();
    void reconnected();
    // Local file systems only: the kernel's events, whatever they are for.
    void watchFiles();

    QString m_location;
    qint32 m_machine;
    bool m_server;
    QString m_localFile, m_walFile;
    // SQLite: the file and its write-ahead log as last seen.
    FileIdentity m_file[2];
    bool m_fileSeen = false;
    // PostgreSQL: the connection that listens.
    std::unique_ptr<Database> m_db;
    bool m_listening = false;
    bool m_connectedBefore = false;
    QTimer m_timer;
    QTimer m_settle;
    QFileSystemWatcher *m_watcher = nullptr;
};

} // namespace db
