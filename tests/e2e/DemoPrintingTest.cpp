#include "db/Database.h"
#include "db/SqlTexts.h"
#include "support/RobotProcess.h"
#include "support/TestDir.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <gtest/gtest.h>

using testsupport::RobotProcess;
using testsupport::TestDir;

namespace {

// The demo installation printed whole by the real robot on the simulator:
// every pending invoice and credit note, each row holding its number.
void printTheDemo(const QString &type)
{
    TestDir dir;
    const QString demo = dir.file(QStringLiteral("demo"));
    QProcess make;
    make.start(QStringLiteral(ROBOT_BINARY),
               {QStringLiteral("--create-demo"), demo, QStringLiteral("--printer"), type});
    ASSERT_TRUE(make.waitForFinished(60000));
    ASSERT_EQ(make.exitCode(), 0) << make.readAllStandardError().constData();
    {
        QSettings ini(QDir(demo).filePath(QStringLiteral("robot-fiscal.ini")),
                      QSettings::IniFormat);
        ini.setValue(QStringLiteral("timing/Scale"), 0.01);
    }

    RobotProcess robot(demo);
    robot.start();
    // The last credit note waits for its turn behind every invoice.
    ASSERT_TRUE(robot.waitForOutput(QStringLiteral("impresa nota 205"), 120000))
        << qPrintable(robot.standardOutput()) << qPrintable(robot.standardError());
    robot.terminate();
    ASSERT_TRUE(robot.waitForExit());
    EXPECT_EQ(robot.exitCode(), 0);
    EXPECT_EQ(robot.standardOutput().count(QStringLiteral(" impresa ")), 13);
    EXPECT_FALSE(robot.standardOutput().contains(QStringLiteral(" fallo ")))
        << qPrintable(robot.standardError());

    auto db = db::Database::open(QDir(demo).filePath(QStringLiteral("Base de Datos.dba")));
    EXPECT_EQ(db->openRecordset(db::SqlTexts::facturasPendientes(1)).recordCount(), 0);
    EXPECT_EQ(db->openRecordset(db::SqlTexts::notasCreditoPendientes(1)).recordCount(), 0);
    // The history ends at invoice 140 and credit note 7, Z 12.
    auto sale =
        db->openRecordset(QStringLiteral("Select Factura, NúmeroZ from [Consulta VentasAct] "
                                         "Where Código=1050"));
    EXPECT_EQ(sale.field(QStringLiteral("Factura")).toString(), QStringLiteral("00000150"));
    EXPECT_EQ(sale.field(QStringLiteral("NúmeroZ")).toInt(), 13);
    auto note = db->openRecordset(QStringLiteral("Select Número from [Consulta NotaCréditoVenta] "
                                                 "Where Código=205"));
    EXPECT_EQ(note.field(QStringLiteral("Número")).toString(), QStringLiteral("00000010"));

    // The paper roll shows the notes with the invoices they correct.
    QFile paper(QDir(demo).filePath(QStringLiteral("fiscalsim-paper.txt")));
    ASSERT_TRUE(paper.open(QIODevice::ReadOnly));
    const QString roll = QString::fromUtf8(paper.readAll());
    for (const char *invoice : {"00000112", "00000125", "00000133"})
        EXPECT_TRUE(roll.contains(QLatin1String(invoice))) << invoice;
}

TEST(DemoPrinting, HkaPrintsEveryPendingDocument)
{
    printTheDemo(QStringLiteral("HKA"));
}
TEST(DemoPrintingAllTypes, SamsungPrintsEveryPendingDocument)
{
    printTheDemo(QStringLiteral("SAMSUNG"));
}
TEST(DemoPrinting, DascomPrintsEveryPendingDocument)
{
    printTheDemo(QStringLiteral("DASCOM"));
}

} // namespace
