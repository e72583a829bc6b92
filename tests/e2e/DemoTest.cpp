#include "db/Database.h"
#include "db/SqlTexts.h"
#include "support/Installation.h"
#include "support/PostgresCluster.h"
#include "support/RobotProcess.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <gtest/gtest.h>

using testsupport::Engine;
using testsupport::MainRows;
using testsupport::PostgresCluster;
using testsupport::RobotProcess;
using testsupport::TestDir;

namespace {

// The real binary's --create-demo; its exit status.
int createDemo(const QString &dir, const QString &type, const QString &url = {},
               QString *err = nullptr)
{
    QStringList args{"--create-demo", dir, "--printer", type};
    if (!url.isEmpty())
        args << "--database" << url;
    RobotProcess make({}, args);
    make.waitForExit();
    if (err)
        *err = make.err();
    return make.exitCode();
}

int pending(const QString &database, const QString &sql)
{
    return db::Database::open(database)->openRecordset(sql).recordCount();
}

// The demo printed whole by the real robot: every pending invoice and credit
// note once, each row holding its number. A comma in the path must not split
// the library's path in robot-fiscal.ini. On PostgreSQL the demo fills an
// empty database, and the robot prints it as a role with only the grants
// that docs/installing.md gives (Several registers).
void printTheDemo(const QString &type, Engine engine)
{
    TestDir dir;
    const QDir demo(dir.file(QStringLiteral("demo, con coma")));
    PostgresCluster &cluster = PostgresCluster::shared();
    const QString name = engine == Engine::Postgres ? cluster.createDatabase() : QString();
    const QString role = QStringLiteral("caja_") + name;
    const QString url = name.isEmpty() ? QString() : cluster.url(name);
    ASSERT_EQ(createDemo(demo.path(), type, url), 0);
    QSettings ini(demo.filePath("robot-fiscal.ini"), QSettings::IniFormat);
    EXPECT_EQ(ini.value("driver/Library").toString(),
              QFileInfo(ROBOT_BINARY).absolutePath() + "/libfiscalsim.so");
    EXPECT_EQ(ini.value("database/Url").toString(), url);
    ini.setValue("timing/Scale", 0.01);
    if (!url.isEmpty()) {
        cluster.exec(QStringLiteral(R"(
            CREATE ROLE %1 LOGIN;
            GRANT CONNECT ON DATABASE %2 TO %1;)")
                         .arg(role, name));
        MainRows(url).exec(QStringLiteral(R"(
            GRANT USAGE ON SCHEMA public TO %1;
            GRANT SELECT ON "Configuración", "Configuración2", "Consulta VentasAct",
                  "Consulta VentasDetallesAct", "AbonosVenta", "Consulta NotaCréditoVenta",
                  "Consulta NotaCréditoVenta Detalles", "Consulta Ventas Edición",
                  "NotaCréditoVenta" TO %1;
            GRANT UPDATE ("Factura", "Control", "Impresa", "Imprimir", "NúmeroZ")
                  ON "Consulta Ventas Edición" TO %1;
            GRANT UPDATE ("Número", "Control", "Impresa", "Imprimir") ON "NotaCréditoVenta" TO %1;
            GRANT SELECT, INSERT, DELETE ON robot_fiscal_tomas TO %1;)")
                               .arg(role));
        ini.setValue("database/Url", cluster.url(name, role));
    }
    ini.sync();
    EXPECT_EQ(QSettings(demo.filePath("fiscalsim.ini"), QSettings::IniFormat).value("printer/Type"),
              type);
    EXPECT_EQ(pending(demo.filePath("Vextora.dba"), db::SqlTexts::pendingTickets(1)), 2);
    // The installation checked: on PostgreSQL, the role's rights are those it needs.
    const RobotProcess::Answer idle = RobotProcess::ask(demo.path(), {"verificar"});
    EXPECT_EQ(idle.status, 0) << idle.out.toStdString();

    RobotProcess robot(demo.path());
    // The last credit note waits for its turn behind every invoice.
    ASSERT_TRUE(robot.waitForOutput({"impresa nota 205"}, 120000))
        << (robot.out() + robot.err()).toStdString();
    // The port is the running robot's: not opened behind its back.
    const RobotProcess::Answer running = RobotProcess::ask(demo.path(), {"verificar"});
    EXPECT_EQ(running.status, 0) << running.out.toStdString();
    EXPECT_TRUE(running.out.contains("\nOMITIDA puerto: ")) << running.out.toStdString();
    EXPECT_EQ(robot.stop(), 0);
    // One line per event, its time first; the invoices in order, then the notes.
    QStringList events, expected;
    for (const QString &line : robot.out().split(u'\n', Qt::SkipEmptyParts)) {
        EXPECT_TRUE(QDateTime::fromString(line.left(19), Qt::ISODate).isValid())
            << line.toStdString();
        events << line.mid(20);
    }
    for (int i = 0; i < 10; ++i)
        expected << QStringLiteral("inicio factura %1").arg(1041 + i)
                 << QStringLiteral("impresa factura %1 %2 Z=13")
                        .arg(1041 + i)
                        .arg(141 + i, 8, 10, QLatin1Char('0'));
    for (int i = 0; i < 3; ++i)
        expected << QStringLiteral("inicio nota %1").arg(203 + i)
                 << QStringLiteral("impresa nota %1 %2")
                        .arg(203 + i)
                        .arg(8 + i, 8, 10, QLatin1Char('0'));
    EXPECT_EQ(events, expected) << robot.err().toStdString();
    const QString main = url.isEmpty() ? demo.filePath("Base de Datos.dba") : url;
    EXPECT_EQ(pending(main, db::SqlTexts::pendingInvoices(1)), 0);
    EXPECT_EQ(pending(main, db::SqlTexts::pendingCreditNotes(1)), 0);
    {
        MainRows db(main);
        EXPECT_EQ(db.value("SELECT \"Factura\" || ' ' || \"NúmeroZ\" FROM \"Ventas\" WHERE "
                           "\"Código\" = 1050"),
                  "00000150 13");
        EXPECT_EQ(db.value("SELECT \"Número\" FROM \"NotaCréditoVenta\" WHERE \"Código\" = 205"),
                  "00000010");
    }
    // The paper roll shows the notes with the invoices they correct.
    QFile paper(demo.filePath("fiscalsim-paper.txt"));
    ASSERT_TRUE(paper.open(QIODevice::ReadOnly));
    const QByteArray roll = paper.readAll();
    for (const char *invoice : {"00000112", "00000125", "00000133"})
        EXPECT_TRUE(roll.contains(invoice)) << invoice;

    // A demo is never made over a database (over a directory: Init's test).
    if (!url.isEmpty()) {
        QString err;
        EXPECT_EQ(createDemo(dir.file("otra"), type, url, &err), 7);
        EXPECT_TRUE(err.contains(QStringLiteral("no está vacía"))) << qPrintable(err);
        EXPECT_TRUE(QDir(dir.file("otra")).isEmpty()) << "nothing written, to try again";
    }
    EXPECT_EQ(pending(main, db::SqlTexts::pendingInvoices(1)), 0);
    if (!url.isEmpty()) {
        cluster.dropDatabase(name);
        cluster.exec(QStringLiteral("DROP ROLE ") + role);
    }
}

// One printer type per engine, for time; SAMSUNG in the all-types suite.
using Demo = testsupport::OnEngine;
RUN_ON_BOTH_ENGINES(Demo);

TEST_P(Demo, PrintsEveryPendingDocumentOnceHkaOnSqliteDascomOnPostgresql)
{
    printTheDemo(GetParam() == Engine::Sqlite ? "HKA" : "DASCOM", GetParam());
}

TEST(DemoAllTypes, SamsungPrintsEveryPendingDocumentOnce)
{
    printTheDemo(QStringLiteral("SAMSUNG"), Engine::Sqlite);
}

} // namespace
