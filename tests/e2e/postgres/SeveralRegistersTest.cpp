#include "core/Texts.h"
#include "db/PostgresConnection.h"
#include "postgres/PostgresCluster.h"
#include "support/RobotProcess.h"
#include "support/TestDir.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QSettings>
#include <gtest/gtest.h>

using testpg::PostgresCluster;
using testsupport::RobotProcess;

namespace {
// The robot's exit status once it ends by itself, and its standard error.
int runToExit(const QString &dir, QString *err)
{
    RobotProcess robot(dir);
    robot.waitForExit();
    *err = robot.err();
    return robot.exitCode();
}
} // namespace
using testsupport::TestDir;

namespace {

// The real binary's --create-demo, a hundred times faster; returns its exit status.
int createDemo(const QString &dir, const QString &url = QString(), QString *err = nullptr)
{
    QStringList args{QStringLiteral("--create-demo"), dir};
    if (!url.isEmpty())
        args << QStringLiteral("--database") << url;
    QProcess make;
    make.start(QStringLiteral(ROBOT_BINARY), args);
    make.waitForFinished(60000);
    if (err)
        *err = QString::fromUtf8(make.readAllStandardError());
    if (make.exitCode() == 0)
        QSettings(QDir(dir).filePath(QStringLiteral("robot-fiscal.ini")), QSettings::IniFormat)
            .setValue(QStringLiteral("timing/Scale"), 0.01);
    return make.exitCode();
}

// Points an installation at a main database and a fiscal machine.
void configure(const QString &dir, const QString &url, int caja, const QString &dataDir = {})
{
    if (!url.isEmpty())
        QSettings(QDir(dir).filePath(QStringLiteral("robot-fiscal.ini")), QSettings::IniFormat)
            .setValue(QStringLiteral("database/Url"), url);
    QFile inf(QDir(dir).filePath(QStringLiteral("Vextora.inf")));
    ASSERT_TRUE(inf.open(QIODevice::ReadOnly));
    QString text = QString::fromUtf8(inf.readAll());
    inf.close();
    text.replace(QStringLiteral("Caja:1"), QStringLiteral("Caja:%1").arg(caja));
    if (!dataDir.isEmpty())
        text.replace(QRegularExpression(QStringLiteral("Datos:[^\r\n]*")),
                     QStringLiteral("Datos:") + dataDir + QLatin1Char('/'));
    ASSERT_TRUE(inf.open(QIODevice::WriteOnly | QIODevice::Truncate));
    inf.write(text.toUtf8());
}

// The codes of the documents a robot printed, with how often.
QMap<QString, int> printed(RobotProcess &robot)
{
    QMap<QString, int> out;
    static const QRegularExpression line(QStringLiteral(" impresa (factura|nota) (\\d+) "));
    auto it = line.globalMatch(robot.out());
    while (it.hasNext())
        ++out[it.next().captured(2)];
    return out;
}

void stop(RobotProcess &robot)
{
    robot.terminate();
    ASSERT_TRUE(robot.waitForExit());
    EXPECT_EQ(robot.exitCode(), 0) << qPrintable(robot.err());
}

// The demo made on an empty PostgreSQL database and printed whole by a robot
// whose role has only the grants the README gives.
TEST(DemoOnPostgres, PrintsEveryDocumentOnceAsARoleThatReadsAndUpdates)
{
    PostgresCluster &cluster = PostgresCluster::shared();
    const QString name = cluster.createDatabase();
    TestDir dir;
    const QString demo = dir.file(QStringLiteral("demo"));
    ASSERT_EQ(createDemo(demo, cluster.url(name)), 0);
    QString err;
    EXPECT_EQ(createDemo(dir.file(QStringLiteral("otra")), cluster.url(name), &err), 7);
    EXPECT_TRUE(err.contains(QStringLiteral("no está vacía"))) << qPrintable(err);

    const QString role = QStringLiteral("caja_") + name;
    cluster.exec(name, QStringLiteral(R"(
        CREATE ROLE %1 LOGIN;
        GRANT CONNECT ON DATABASE %2 TO %1;
        GRANT USAGE ON SCHEMA public TO %1;
        GRANT SELECT ON "Configuración", "Configuración2", "Consulta VentasAct",
              "Consulta VentasDetallesAct", "AbonosVenta", "Consulta NotaCréditoVenta",
              "Consulta NotaCréditoVenta Detalles", "Consulta Ventas Edición",
              "NotaCréditoVenta" TO %1;
        GRANT UPDATE ("Factura", "Control", "Impresa", "Imprimir", "NúmeroZ")
              ON "Consulta Ventas Edición" TO %1;
        GRANT UPDATE ("Número", "Control", "Impresa", "Imprimir") ON "NotaCréditoVenta" TO %1;)")
                           .arg(role, name));
    configure(demo, cluster.url(name, role), 1);

    RobotProcess robot(demo);
    ASSERT_TRUE(robot.waitForOutput({QStringLiteral("impresa nota 205")}, 120000))
        << qPrintable(robot.out()) << qPrintable(robot.err());
    stop(robot);
    const QMap<QString, int> codes = printed(robot);
    EXPECT_EQ(codes.size(), 13);
    EXPECT_EQ(QSet<int>(codes.cbegin(), codes.cend()), QSet<int>{1});
    EXPECT_FALSE(robot.out().contains(QStringLiteral(" fallo ")));
    EXPECT_FALSE(robot.err().contains(core::texts::errorBaseDatos(QString())))
        << qPrintable(robot.err());

    auto value = [&](const char *sql) { return cluster.scalar(name, QString::fromUtf8(sql)); };
    EXPECT_EQ(value(R"(SELECT count(*) FROM "Ventas" WHERE "Imprimir" = -1 AND "Control" IS NULL
                       AND "MáquinaFiscal" = 1 AND "Anulada" = 0 AND "Local" = 0)"),
              QVariant(0));
    EXPECT_EQ(value(R"(SELECT "Factura" || ' ' || "NúmeroZ" FROM "Ventas" WHERE "Código" = 1050)"),
              QVariant(QStringLiteral("00000150 13")));
    EXPECT_EQ(value(R"(SELECT "Número" FROM "NotaCréditoVenta" WHERE "Código" = 205)"),
              QVariant(QStringLiteral("00000010")));
}

// Each register's robot prints the documents of its own fiscal machine from
// the one database, each exactly once, while the other runs.
TEST(SeveralRegisters, TwoRobotsShareOneDatabaseEachPrintingItsOwn)
{
    PostgresCluster &cluster = PostgresCluster::shared();
    const QString name = cluster.createDatabase();
    TestDir dir;
    const QString caja1 = dir.file(QStringLiteral("caja1"));
    const QString caja2 = dir.file(QStringLiteral("caja2"));
    ASSERT_EQ(createDemo(caja1, cluster.url(name)), 0);
    ASSERT_EQ(createDemo(caja2), 0);
    configure(caja2, cluster.url(name), 2);
    cluster.exec(name, QStringLiteral(R"(
        UPDATE "Ventas" SET "MáquinaFiscal" = 2 WHERE "Código" IN (1042, 1044, 1046, 1048, 1050);
        UPDATE "NotaCréditoVenta" SET "MáquinaFiscal" = 2 WHERE "Código" = 204;)"));

    RobotProcess one(caja1), two(caja2);
    ASSERT_TRUE(one.waitForOutput({QStringLiteral("impresa nota 205")}, 120000))
        << qPrintable(one.out()) << qPrintable(one.err());
    ASSERT_TRUE(two.waitForOutput({QStringLiteral("impresa nota 204")}, 120000))
        << qPrintable(two.out()) << qPrintable(two.err());
    stop(one);
    stop(two);
    using Codes = QMap<QString, int>;
    EXPECT_EQ(printed(one), (Codes{{"1041", 1},
                                   {"1043", 1},
                                   {"1045", 1},
                                   {"1047", 1},
                                   {"1049", 1},
                                   {"203", 1},
                                   {"205", 1}}));
    EXPECT_EQ(printed(two), (Codes{{"1042", 1},
                                   {"1044", 1},
                                   {"1046", 1},
                                   {"1048", 1},
                                   {"1050", 1},
                                   {"1051", 1},
                                   {"204", 1}}));
    // Each printer numbers its own invoices from 141.
    EXPECT_EQ(cluster.column(name, QStringLiteral(R"(SELECT "Factura" FROM "Ventas"
                  WHERE "Código" IN (1049, 1051) ORDER BY 1)")),
              (QVariantList{QStringLiteral("00000145"), QStringLiteral("00000146")}));
}

// A second robot for a fiscal machine that a running robot holds stops its
// start-up with status 9, on either engine; a second copy on the same
// program directory still ends silently with 4.
TEST(SeveralRegisters, SecondRobotForTheSameFiscalMachineStopsWith9)
{
    PostgresCluster &cluster = PostgresCluster::shared();
    for (const bool server : {false, true}) {
        SCOPED_TRACE(server ? "PostgreSQL" : "SQLite");
        TestDir dir;
        const QString first = dir.file(QStringLiteral("primero"));
        const QString second = dir.file(QStringLiteral("segundo"));
        const QString url = server ? cluster.url(cluster.createDatabase()) : QString();
        ASSERT_EQ(createDemo(first, url), 0);
        ASSERT_EQ(createDemo(second), 0);
        // The second one's data directory is the first one's: the same main database.
        configure(second, url, 1, server ? QString() : first);

        RobotProcess running(first);
        ASSERT_TRUE(running.waitForOutput({QStringLiteral("impresa factura 1041")}))
            << qPrintable(running.err());
        QString err;
        EXPECT_EQ(runToExit(second, &err), 9);
        EXPECT_EQ(err, core::texts::kAppTitle + QLatin1Char('\n') +
                           core::texts::maquinaFiscalOcupada(1) + QStringLiteral("\n\n"));
        EXPECT_EQ(runToExit(first, &err), 4);
        EXPECT_EQ(err, QString());
        stop(running);
    }
}

// The server stopped and started again while the robot waits: the outage is
// told once, the robot takes its fiscal machine back and prints what came in.
TEST(SeveralRegisters, ServerAwayAndBackIsToldOnceAndPrintingResumes)
{
    PostgresCluster cluster;
    cluster.exec(QStringLiteral("postgres"), QStringLiteral("CREATE DATABASE ventas"));
    TestDir dir;
    const QString demo = dir.file(QStringLiteral("demo"));
    ASSERT_EQ(createDemo(demo, cluster.url(QStringLiteral("ventas"))), 0);
    RobotProcess robot(demo);
    ASSERT_TRUE(robot.waitForOutput({QStringLiteral("impresa nota 205")}, 120000))
        << qPrintable(robot.err());

    cluster.stop();
    const QString outage = db::PostgresConnection::outageMessage();
    ASSERT_TRUE(robot.waitForError(outage)) << qPrintable(robot.err());
    cluster.start();
    // The robot keeps trying on every tick while the server starts again.
    cluster.exec(QStringLiteral("ventas"), QStringLiteral(R"(
        INSERT INTO "Ventas" ("Código", "Cliente", "Fecha", "Imprimir", "MáquinaFiscal",
                              "PorcentImpuesto", "FormaPago", "Total")
            SELECT 1060, "Cliente", "Fecha", -1, 1, "PorcentImpuesto", "FormaPago", "Total"
            FROM "Ventas" WHERE "Código" = 1041;
        INSERT INTO "VentasDetalles" ("Venta", "COD_PROD", "Cantidad", "CantidadDecimal",
                                      "Precio", "ExcentoImpuesto", "Ordenar")
            SELECT 1060, "COD_PROD", "Cantidad", "CantidadDecimal", "Precio", "ExcentoImpuesto",
                   "Ordenar" FROM "VentasDetalles" WHERE "Venta" = 1041;)"));
    ASSERT_TRUE(robot.waitForOutput({QStringLiteral("impresa factura 1060")}, 60000))
        << qPrintable(robot.err());
    stop(robot);
    EXPECT_EQ(robot.err().count(outage), 1) << qPrintable(robot.err());
    EXPECT_EQ(robot.err().count(core::texts::kBaseDisponible), 1);
    EXPECT_EQ(
        cluster.scalar(QStringLiteral("ventas"),
                       QStringLiteral(R"(SELECT "Factura" FROM "Ventas" WHERE "Código" = 1060)")),
        QVariant(QStringLiteral("00000151")));
}

TEST(SeveralRegisters, UnusableUrlStopsTheStartUpNamingKeyAndValue)
{
    const struct
    {
        const char *url;
        const char *shown;
    } cases[] = {
        {"postgresql://caja:secreto@db/ventas", "postgresql://caja:***@db/ventas"},
        {"postgresql://caja@db:puerto/ventas", "postgresql://caja@db:puerto/ventas"},
        {"ventas.example", "ventas.example"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.url);
        TestDir dir;
        dir.writeInstallation();
        dir.write(QStringLiteral("robot-fiscal.ini"),
                  QByteArray("[database]\nUrl=\"") + c.url + "\"\n");
        QString err;
        EXPECT_EQ(runToExit(dir.path(), &err), 2);
        EXPECT_TRUE(err.contains(QStringLiteral("[database] Url")) &&
                    err.contains(QString::fromUtf8(c.shown)))
            << qPrintable(err);
        EXPECT_FALSE(err.contains(QStringLiteral("secreto")));
    }
}

} // namespace
