#include "support/PostgresCluster.h"

#include "support/MainRows.h"

#include <QAtomicInteger>
#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QUrl>
#include <gtest/gtest.h>

namespace testsupport {

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

QString PostgresCluster::url(const QString &database, const QString &user) const
{
    QFile file(m_dir + QStringLiteral("/socket"));
    if (!file.open(QIODevice::ReadOnly))
        ADD_FAILURE() << "no PostgreSQL cluster at " << qPrintable(m_dir)
                      << ": run the tests through ctest, or scripts/pg-cluster.sh start "
                      << qPrintable(m_dir);
    const QByteArray socket = QUrl::toPercentEncoding(QString::fromUtf8(file.readAll().trimmed()));
    return QStringLiteral("postgresql://%1@%2/%3").arg(user, QString::fromLatin1(socket), database);
}

QString PostgresCluster::createDatabase()
{
    const QString name = unique(QStringLiteral("t"));
    exec(QStringLiteral("CREATE DATABASE %1").arg(name));
    return name;
}

void PostgresCluster::dropDatabase(const QString &name)
{
    exec(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(name));
}

void PostgresCluster::exec(const QString &sql)
{
    MainRows(url(QStringLiteral("postgres"))).exec(sql);
}

} // namespace testsupport
