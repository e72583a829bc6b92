#include "postgres/PostgresCluster.h"

#include <QAtomicInteger>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>
#include <gtest/gtest.h>

namespace testpg {

namespace {

QAtomicInteger<int> counter;

QString unique(const QString &prefix)
{
    return QStringLiteral("%1_%2_%3")
        .arg(prefix)
        .arg(QCoreApplication::applicationPid())
        .arg(++counter);
}

} // namespace

PostgresCluster &PostgresCluster::shared()
{
    static PostgresCluster cluster(QStringLiteral(ROBOT_TEST_PG_ROOT "/shared"), false);
    return cluster;
}

PostgresCluster::PostgresCluster()
    : PostgresCluster(QStringLiteral(ROBOT_TEST_PG_ROOT "/") + unique(QStringLiteral("own")), true)
{
}

PostgresCluster::PostgresCluster(const QString &dir, bool own) : m_dir(dir), m_own(own)
{
    if (own)
        start();
}

PostgresCluster::~PostgresCluster()
{
    if (m_own)
        script(QStringLiteral("destroy"));
}

void PostgresCluster::script(const QString &action) const
{
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p.start(QStringLiteral(ROBOT_SOURCE_DIR "/scripts/pg-cluster.sh"), {action, m_dir});
    const bool done = p.waitForFinished(120000);
    EXPECT_TRUE(done && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0)
        << "pg-cluster.sh " << qPrintable(action) << " " << qPrintable(m_dir);
}

void PostgresCluster::stop()
{
    script(QStringLiteral("stop"));
}

void PostgresCluster::start()
{
    script(QStringLiteral("start"));
}

QString PostgresCluster::socketDirectory() const
{
    QFile file(m_dir + QStringLiteral("/socket"));
    if (!file.open(QIODevice::ReadOnly)) {
        ADD_FAILURE() << "no PostgreSQL cluster at " << qPrintable(m_dir)
                      << ": run the tests through ctest, or scripts/pg-cluster.sh start "
                      << qPrintable(m_dir);
        return QString();
    }
    return QString::fromUtf8(file.readAll()).trimmed();
}

QString PostgresCluster::url(const QString &database, const QString &user) const
{
    return QStringLiteral("postgresql://%1@%2/%3")
        .arg(user, QString::fromLatin1(QUrl::toPercentEncoding(socketDirectory())), database);
}

QString PostgresCluster::createDatabase()
{
    const QString name = unique(QStringLiteral("t"));
    exec(QStringLiteral("postgres"), QStringLiteral("CREATE DATABASE %1").arg(name));
    return name;
}

void PostgresCluster::exec(const QString &database, const QString &sql) const
{
    column(database, sql);
}

QVariantList PostgresCluster::column(const QString &database, const QString &sql) const
{
    const QString name = unique(QStringLiteral("check"));
    QVariantList out;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
        db.setConnectOptions(
            QStringLiteral("host='%1';user=postgres;dbname='%2'").arg(socketDirectory(), database));
        if (!db.open()) {
            ADD_FAILURE() << qPrintable(db.lastError().text());
        } else {
            QSqlQuery q(db);
            if (!q.exec(sql))
                ADD_FAILURE() << qPrintable(q.lastError().text()) << "\n" << qPrintable(sql);
            while (q.isSelect() && q.next())
                out << q.value(0);
        }
    }
    QSqlDatabase::removeDatabase(name);
    return out;
}

QVariant PostgresCluster::scalar(const QString &database, const QString &sql) const
{
    const QVariantList values = column(database, sql);
    return values.isEmpty() ? QVariant() : values.first();
}

} // namespace testpg
