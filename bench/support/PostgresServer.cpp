#include "PostgresServer.h"

#include "BenchMachine.h"

#include "db/DataError.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>
#include <cstdio>

namespace bench {

PostgresServer::PostgresServer()
{
    m_started = script(QStringLiteral("start"));
    m_socket =
        QString::fromUtf8(
            BenchMachine::readFile(QDir(m_state.path()).filePath(QStringLiteral("cluster/socket"))))
            .trimmed();
}

int PostgresServer::main(int argc, char **argv, int (*run)(int, char **))
{
    QCoreApplication app(argc, argv);
    try {
        return run(argc, argv);
    } catch (const db::DataError &e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.describe()));
        return 1;
    }
}

PostgresServer::~PostgresServer()
{
    script(QStringLiteral("destroy"));
}

bool PostgresServer::script(const QString &action) const
{
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedChannels);
    p.start(QStringLiteral(ROBOT_SOURCE_DIR "/scripts/pg-cluster.sh"),
            {action, QDir(m_state.path()).filePath(QStringLiteral("cluster"))});
    return p.waitForFinished(300000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

QString PostgresServer::createDatabase(const QString &name)
{
    if (!exec(QStringLiteral("postgres"), QStringLiteral("CREATE DATABASE %1").arg(name)))
        return QString();
    return QStringLiteral("postgresql://postgres@%1/%2")
        .arg(QString::fromLatin1(QUrl::toPercentEncoding(m_socket)), name);
}

bool PostgresServer::exec(const QString &database, const QString &sql) const
{
    const QString name = QStringLiteral("bench-") + database;
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
        db.setConnectOptions(
            QStringLiteral("host='%1';user=postgres;dbname='%2'").arg(m_socket, database));
        QSqlQuery query(db);
        ok = db.open() && query.exec(sql);
        if (!ok)
            std::fprintf(stderr, "%s\n",
                         qPrintable(query.lastError().text() + db.lastError().text()));
    }
    QSqlDatabase::removeDatabase(name);
    return ok;
}

qint64 PostgresServer::pid() const
{
    return BenchMachine::readFile(QDir(m_socket).filePath(QStringLiteral("data/postmaster.pid")))
        .split('\n')
        .value(0)
        .toLongLong();
}

} // namespace bench
