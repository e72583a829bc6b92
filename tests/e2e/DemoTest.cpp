#include "db/Database.h"
#include "db/SqlTexts.h"
#include "support/RobotProcess.h"
#include "support/SqliteFile.h"
#include "support/TestDir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <gtest/gtest.h>

using testsupport::RobotProcess;
using testsupport::SqliteFile;
using testsupport::TestDir;

namespace {

int createDemo(const QString &dir, const QString &type, QString *err = nullptr)
{
    RobotProcess make({}, {"--create-demo", dir, "--printer", type});
    make.waitForExit();
    if (err)
        *err = make.err();
    return make.exitCode();
}

TEST(Demo, CreatesACompleteInstallationAndNeverOverwritesOne)
{
    TestDir dir;
    const QString demo = dir.file(QStringLiteral("demo"));
    ASSERT_EQ(createDemo(demo, "SAMSUNG"), 0);
    for (const char *name : {"Vextora.inf", "robot-fiscal.ini", "fiscalsim.ini",
                             "KardolenTerminalUpd.inf", "Base de Datos.dba", "Vextora.dba"})
        EXPECT_TRUE(QFileInfo(QDir(demo).filePath(name)).isFile()) << name;
    EXPECT_EQ(QSettings(QDir(demo).filePath("robot-fiscal.ini"), QSettings::IniFormat)
                  .value("driver/Library")
                  .toString(),
              QFileInfo(ROBOT_BINARY).absolutePath() + "/libfiscalsim.so");
    EXPECT_EQ(QSettings(QDir(demo).filePath("fiscalsim.ini"), QSettings::IniFormat)
                  .value("printer/Type")
                  .toString(),
              "SAMSUNG");
    auto local = db::Database::open(QDir(demo).filePath("Vextora.dba"));
    EXPECT_EQ(local->openRecordset(db::SqlTexts::ticketsPendientes(1)).recordCount(), 2);

    QFile inf(QDir(demo).filePath("Vextora.inf"));
    ASSERT_TRUE(inf.open(QIODevice::ReadOnly));
    const QByteArray before = inf.readAll();
    QString err;
    EXPECT_EQ(createDemo(demo, "HKA", &err), 7);
    EXPECT_TRUE(err.contains(demo)) << err.toStdString();
    inf.seek(0);
    EXPECT_EQ(inf.readAll(), before);

    for (const QString type : {"hka", "EPSON"}) {
        EXPECT_EQ(createDemo(dir.file("otra"), type), 7) << type.toStdString();
        EXPECT_FALSE(QFileInfo::exists(dir.file("otra")));
    }
}

// The demo printed whole by the real robot: every pending invoice and credit
// note once, each row holding its number. A comma in the path must not split
// the library's path in robot-fiscal.ini.
void printTheDemo(const QString &type)
{
    TestDir dir;
    const QString demo = dir.file(QStringLiteral("demo, con coma"));
    ASSERT_EQ(createDemo(demo, type), 0);
    QSettings(QDir(demo).filePath("robot-fiscal.ini"), QSettings::IniFormat)
        .setValue("timing/Scale", 0.01);

    RobotProcess robot(demo);
    // The last credit note waits for its turn behind every invoice.
    ASSERT_TRUE(robot.waitForOutput({"impresa nota 205"}, 120000))
        << (robot.out() + robot.err()).toStdString();
    robot.terminate();
    ASSERT_TRUE(robot.waitForExit());
    EXPECT_EQ(robot.exitCode(), 0);
    EXPECT_EQ(robot.out().count(" impresa "), 13);
    EXPECT_FALSE(robot.out().contains(" fallo ")) << robot.err().toStdString();

    auto pending = db::Database::open(QDir(demo).filePath("Base de Datos.dba"));
    EXPECT_EQ(pending->openRecordset(db::SqlTexts::facturasPendientes(1)).recordCount(), 0);
    EXPECT_EQ(pending->openRecordset(db::SqlTexts::notasCreditoPendientes(1)).recordCount(), 0);
    SqliteFile db(QDir(demo).filePath("Base de Datos.dba"));
    // The history ends at invoice 140 and credit note 7, Z 12.
    EXPECT_EQ(db.scalar("SELECT Factura || ' ' || \"NúmeroZ\" FROM Ventas WHERE \"Código\" = 1050"),
              "00000150 13");
    EXPECT_EQ(db.scalar("SELECT \"Número\" FROM \"NotaCréditoVenta\" WHERE \"Código\" = 205"),
              "00000010");
    // The paper roll shows the notes with the invoices they correct.
    QFile paper(QDir(demo).filePath("fiscalsim-paper.txt"));
    ASSERT_TRUE(paper.open(QIODevice::ReadOnly));
    const QByteArray roll = paper.readAll();
    for (const char *invoice : {"00000112", "00000125", "00000133"})
        EXPECT_TRUE(roll.contains(invoice)) << invoice;
}

TEST(Demo, HkaPrintsEveryPendingDocument)
{
    printTheDemo(QStringLiteral("HKA"));
}
TEST(DemoAllTypes, SamsungPrintsEveryPendingDocument)
{
    printTheDemo(QStringLiteral("SAMSUNG"));
}
TEST(Demo, DascomPrintsEveryPendingDocument)
{
    printTheDemo(QStringLiteral("DASCOM"));
}

} // namespace
