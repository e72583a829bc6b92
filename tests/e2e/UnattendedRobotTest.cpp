#include "core/Texts.h"
#include "support/Installation.h"
#include "support/RobotProcess.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QRegularExpression>
#include <QThread>
#include <gtest/gtest.h>

using testsupport::Installation;
using testsupport::MainDatabase;
using testsupport::RobotProcess;

namespace {

// The document events of standard output without their time: "impresa factura 101 ...".
QStringList events(const QString &out)
{
    QStringList lines;
    static const QRegularExpression stamp(
        QStringLiteral("^\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d "));
    for (const QString &line : out.split(QLatin1Char('\n'))) {
        if (stamp.match(line).hasMatch())
            lines << line.mid(20);
    }
    return lines;
}

qint64 addPrintedSale(Installation &inst)
{
    MainDatabase::Sale sale;
    sale.factura = QStringLiteral("00000050");
    return inst.db().addSale(sale);
}

TEST(UnattendedRobot, PrintsTheQueueInOrderEachDocumentOnce)
{
    Installation inst(QStringLiteral("HKA"), "[counters]\nInvoice=100\nCreditNote=20\nZ=3\n");
    const qint64 corrected = addPrintedSale(inst);
    MainDatabase::Note note;
    note.venta = corrected;
    const qint64 nota2 = inst.db().addCreditNote(note, 602);
    const qint64 nota1 = inst.db().addCreditNote(note, 601);
    for (qint64 n : {nota1, nota2})
        inst.db().addCreditNoteLine(n, {"LIMON", 5.0, 1, 1, QVariant(), 0});
    const qint64 s3 = inst.db().addSale({}, 303);
    const qint64 s1 = inst.db().addSale({}, 301);
    const qint64 s2 = inst.db().addSale({}, 302);
    for (qint64 s : {s1, s2, s3})
        inst.db().addItem(s, {"HARINA", 10.0, 2, 2, QVariant(), 0});

    RobotProcess robot(inst.path());
    robot.start();
    ASSERT_TRUE(robot.waitForOutput(QStringLiteral("impresa nota 602"), 60000))
        << qPrintable(robot.standardOutput()) << qPrintable(robot.standardError());
    robot.terminate();
    ASSERT_TRUE(robot.waitForExit());
    EXPECT_EQ(robot.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(robot.exitCode(), 0);

    const QStringList ev = events(robot.standardOutput());
    EXPECT_EQ(ev, (QStringList{"inicio factura 301", "impresa factura 301 00000101 Z=4",
                               "inicio factura 302", "impresa factura 302 00000102 Z=4",
                               "inicio factura 303", "impresa factura 303 00000103 Z=4",
                               "inicio nota 601", "impresa nota 601 00000021", "inicio nota 602",
                               "impresa nota 602 00000022"}));
    EXPECT_EQ(inst.sentCommands().count(QStringLiteral("101")), 3);
    EXPECT_EQ(inst.sentCommands().count(QStringLiteral("f09000000000000")), 2);
    EXPECT_EQ(inst.db().sale(s2, QStringLiteral("Factura")).toString(), QStringLiteral("00000102"));
    EXPECT_EQ(inst.db().sale(s2, QStringLiteral("NúmeroZ")).toInt(), 4);
    EXPECT_EQ(inst.db().creditNote(nota2, QStringLiteral("Número")).toString(),
              QStringLiteral("00000022"));
    // The port is closed once more at the end.
    EXPECT_EQ(inst.journalEntries().last(), QStringLiteral("CloseFpctrl"));
}

TEST(UnattendedRobot, RefusedDocumentWaitsForTheOperatorAndPrintsAfterARestart)
{
    Installation inst(QStringLiteral("HKA"), "[faults]\nRefuse=i03\n");
    const qint64 code = inst.db().addSale({});
    inst.db().addItem(code, {});
    {
        RobotProcess robot(inst.path());
        robot.start();
        ASSERT_TRUE(robot.waitForOutput(QStringLiteral("fallo factura %1 etapa=2.4").arg(code)))
            << qPrintable(robot.standardError());
        // Many ticks later it has not been taken up again.
        const QString marker = QStringLiteral("i03");
        QDeadlineTimer later(1500);
        while (!later.hasExpired())
            QThread::msleep(50);
        int attempts = 0;
        for (const QString &c : inst.sentCommands())
            attempts += c.startsWith(marker) ? 1 : 0;
        EXPECT_EQ(attempts, 1);
        robot.terminate();
        ASSERT_TRUE(robot.waitForExit());
        EXPECT_TRUE(robot.standardError().contains(QStringLiteral("verifique la etapa  2.4.")));
    }
    EXPECT_EQ(inst.db().sale(code, QStringLiteral("Impresa")).toInt(), 0);
    // The operator cancels what was left open and restarts the robot.
    inst.writeSimIni(QByteArray());
    RobotProcess again(inst.path());
    again.start();
    ASSERT_TRUE(again.waitForOutput(QStringLiteral("impresa factura %1").arg(code)))
        << qPrintable(again.standardError());
    again.terminate();
    again.waitForExit();
    EXPECT_EQ(inst.db().sale(code, QStringLiteral("Impresa")).toInt(), -1);
    // A failure that did not crash is the operator's: nothing was cancelled for them.
    EXPECT_FALSE(inst.sentCommands().contains(QStringLiteral("7")));
}

TEST(UnattendedRobot, SurvivesTheDatabaseGoingAwayAndComingBack)
{
    Installation inst;
    const qint64 first = inst.db().addSale({});
    inst.db().addItem(first, {});
    RobotProcess robot(inst.path());
    robot.start();
    ASSERT_TRUE(robot.waitForOutput(QStringLiteral("impresa factura %1").arg(first)));
    const QString path = inst.dir().file(QStringLiteral("Base de Datos.dba"));
    const QString aside = inst.dir().file(QStringLiteral("aparte.dba"));
    ASSERT_TRUE(QFile::rename(path, aside));
    ASSERT_TRUE(robot.waitForError(QStringLiteral("Error de base de datos")))
        << qPrintable(robot.standardError());
    EXPECT_FALSE(QFile::exists(path)) << "the robot never creates a database";
    // The file comes back, and a new sale with it.
    ASSERT_TRUE(QFile::rename(aside, path));
    const qint64 second = inst.db().addSale({});
    inst.db().addItem(second, {});
    ASSERT_TRUE(robot.waitForOutput(QStringLiteral("impresa factura %1").arg(second)))
        << qPrintable(robot.standardError());
    robot.terminate();
    ASSERT_TRUE(robot.waitForExit());
    EXPECT_EQ(robot.exitCode(), 0);
    // Reported once when it went away and once when it came back, not at every tick.
    EXPECT_EQ(robot.standardError().count(QStringLiteral("Error de base de datos")), 1)
        << qPrintable(robot.standardError());
    EXPECT_EQ(robot.standardError().count(core::texts::kBaseDisponible), 1);
}

TEST(UnattendedRobot, StopRequestLetsTheRunningJobFinish)
{
    // A slow line: the invoice takes seconds, so the stop arrives in the middle.
    Installation inst(QStringLiteral("HKA"), "[link]\nBaud=2400\n");
    const qint64 code = inst.db().addSale({});
    for (int i = 0; i < 6; ++i)
        inst.db().addItem(code, {"HARINA", 10.0, 1, 1, QVariant(), 0});
    RobotProcess robot(inst.path());
    robot.start();
    ASSERT_TRUE(robot.waitForOutput(QStringLiteral("inicio factura %1").arg(code)));
    robot.terminate();
    ASSERT_TRUE(robot.waitForExit(60000));
    EXPECT_EQ(robot.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(robot.exitCode(), 0);
    EXPECT_TRUE(robot.standardOutput().contains(QStringLiteral("impresa factura %1").arg(code)));
    EXPECT_EQ(inst.db().sale(code, QStringLiteral("Impresa")).toInt(), -1);
    EXPECT_EQ(inst.journalEntries().last(), QStringLiteral("CloseFpctrl"));
}

TEST(UnattendedRobot, PollingComesBackByItselfAfterAPortFailure)
{
    Installation inst(QStringLiteral("HKA"), "[faults]\nOpen=fail\n");
    const qint64 code = inst.db().addSale({});
    inst.db().addItem(code, {});
    RobotProcess robot(inst.path());
    robot.start();
    ASSERT_TRUE(robot.waitForOutput(QStringLiteral("fallo factura %1").arg(code)));
    inst.writeSimIni(QByteArray());
    ASSERT_TRUE(robot.waitForOutput(QStringLiteral("sondeo reanudado")));
    robot.terminate();
    robot.waitForExit();
}

} // namespace
