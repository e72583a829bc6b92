#include "db/Database.h"
#include "db/SqlTexts.h"
#include "support/RobotProcess.h"
#include "support/SqliteFile.h"
#include "support/TestDir.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <gtest/gtest.h>

using testsupport::RobotProcess;
using testsupport::TestDir;

namespace {

int createDemo(const QString &dir, const QString &type)
{
    RobotProcess make({}, {"--create-demo", dir, "--printer", type});
    make.waitForExit();
    return make.exitCode();
}

int pending(const QString &database, const QString &sql)
{
    return db::Database::open(database)->openRecordset(sql).recordCount();
}

// The demo printed whole by the real robot: every pending invoice and credit
// note once, each row holding its number. A comma in the path must not split
// the library's path in robot-fiscal.ini.
void printTheDemo(const QString &type)
{
    TestDir dir;
    const QDir demo(dir.file(QStringLiteral("demo, con coma")));
    ASSERT_EQ(createDemo(demo.path(), type), 0);
    QSettings ini(demo.filePath("robot-fiscal.ini"), QSettings::IniFormat);
    EXPECT_EQ(ini.value("driver/Library").toString(),
              QFileInfo(ROBOT_BINARY).absolutePath() + "/libfiscalsim.so");
    ini.setValue("timing/Scale", 0.01);
    ini.sync();
    EXPECT_EQ(QSettings(demo.filePath("fiscalsim.ini"), QSettings::IniFormat).value("printer/Type"),
              type);
    EXPECT_EQ(pending(demo.filePath("Vextora.dba"), db::SqlTexts::ticketsPendientes(1)), 2);

    RobotProcess robot(demo.path());
    // The last credit note waits for its turn behind every invoice.
    ASSERT_TRUE(robot.waitForOutput({"impresa nota 205"}, 120000))
        << (robot.out() + robot.err()).toStdString();
    robot.terminate();
    ASSERT_TRUE(robot.waitForExit());
    EXPECT_EQ(robot.exitCode(), 0);
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
    const QString main = demo.filePath("Base de Datos.dba");
    EXPECT_EQ(pending(main, db::SqlTexts::facturasPendientes(1)), 0);
    EXPECT_EQ(pending(main, db::SqlTexts::notasCreditoPendientes(1)), 0);
    testsupport::SqliteFile db(main);
    EXPECT_EQ(db.scalar("SELECT Factura || ' ' || \"NúmeroZ\" FROM Ventas WHERE \"Código\" = 1050"),
              "00000150 13");
    EXPECT_EQ(db.scalar("SELECT \"Número\" FROM \"NotaCréditoVenta\" WHERE \"Código\" = 205"),
              "00000010");
    // The paper roll shows the notes with the invoices they correct.
    QFile paper(demo.filePath("fiscalsim-paper.txt"));
    ASSERT_TRUE(paper.open(QIODevice::ReadOnly));
    const QByteArray roll = paper.readAll();
    for (const char *invoice : {"00000112", "00000125", "00000133"})
        EXPECT_TRUE(roll.contains(invoice)) << invoice;

    // A demo is never made over anything.
    EXPECT_EQ(createDemo(demo.path(), "HKA"), 7);
    for (const char *unknown : {"hka", "EPSON"})
        EXPECT_EQ(createDemo(dir.file("otra"), unknown), 7);
    EXPECT_FALSE(QFileInfo::exists(dir.file("otra")));
    EXPECT_EQ(pending(main, db::SqlTexts::facturasPendientes(1)), 0);
}

TEST(Demo, HkaAndDascomPrintEveryPendingDocumentOnce)
{
    for (const char *type : {"HKA", "DASCOM"}) {
        SCOPED_TRACE(type);
        printTheDemo(QLatin1String(type));
    }
}

TEST(DemoAllTypes, SamsungPrintsEveryPendingDocumentOnce)
{
    printTheDemo(QStringLiteral("SAMSUNG"));
}

} // namespace
