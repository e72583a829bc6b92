#include "core/Texts.h"
#include "support/Installation.h"
#include "support/RobotProcess.h"

#include <QFile>
#include <QRegularExpression>
#include <gtest/gtest.h>

using testsupport::Installation;
using testsupport::RobotProcess;

namespace {

// The document events of standard output without their time: "impresa factura 101 ...".
QStringList events(const QString &out)
{
    static const QRegularExpression stamp(
        QStringLiteral("^\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d "));
    QStringList lines;
    for (const QString &line : out.split(u'\n'))
        if (stamp.match(line).hasMatch())
            lines << line.mid(20);
    return lines;
}

qint64 addInvoice(Installation &inst, std::optional<qint64> code = std::nullopt, int items = 1)
{
    const qint64 venta = inst.db().addSale({}, code);
    for (int i = 0; i < items; ++i)
        inst.db().addItem(venta, {"HARINA", 10.0, 2, 2, {}, 0});
    return venta;
}

TEST(UnattendedRobot, PrintsTheQueueInOrderEachDocumentOnce)
{
    Installation inst({.simIni = "[counters]\nInvoice=100\nCreditNote=20\nZ=3\n"});
    const qint64 corrected = inst.db().addSale({.factura = "00000050"});
    for (qint64 nota : {602, 601})
        inst.db().addCreditNoteLine(inst.db().addCreditNote({.venta = corrected}, nota),
                                    {"LIMON", 5.0, 1, 1, {}, 0});
    for (qint64 code : {303, 301, 302})
        addInvoice(inst, code);

    RobotProcess robot(inst.path());
    ASSERT_TRUE(robot.waitForOutput({"impresa nota 602"})) << robot.err().toStdString();
    robot.terminate();
    ASSERT_TRUE(robot.waitForExit());
    EXPECT_EQ(robot.exitCode(), 0);
    EXPECT_EQ(
        events(robot.out()),
        (QStringList{"inicio factura 301", "impresa factura 301 00000101 Z=4", "inicio factura 302",
                     "impresa factura 302 00000102 Z=4", "inicio factura 303",
                     "impresa factura 303 00000103 Z=4", "inicio nota 601",
                     "impresa nota 601 00000021", "inicio nota 602", "impresa nota 602 00000022"}));
    EXPECT_EQ(inst.sentCommands().count("101"), 3);
    EXPECT_EQ(inst.sentCommands().count("f09000000000000"), 2);
    EXPECT_EQ(inst.db().sale(302, QStringLiteral("Factura")).toString(), "00000102");
    EXPECT_EQ(inst.db().sale(302, QStringLiteral("NúmeroZ")).toInt(), 4);
    EXPECT_EQ(inst.db().creditNote(602, QStringLiteral("Número")).toString(), "00000022");
    EXPECT_EQ(inst.simLog().last(), QStringList{"CloseFpctrl"}) << "the port closed at the end";
}

TEST(UnattendedRobot, RefusedDocumentWaitsForTheOperatorAndPrintsAfterARestart)
{
    Installation inst({.simIni = "[faults]\nRefuse=i03\n"});
    const qint64 code = addInvoice(inst);
    {
        RobotProcess robot(inst.path());
        ASSERT_TRUE(robot.waitForOutput({QStringLiteral("fallo factura %1 etapa=2.4").arg(code)}))
            << robot.err().toStdString();
        robot.terminate();
        ASSERT_TRUE(robot.waitForExit());
        EXPECT_TRUE(robot.err().contains("verifique la etapa  2.4.")) << robot.err().toStdString();
    }
    EXPECT_EQ(inst.db().sale(code, QStringLiteral("Impresa")).toInt(), 0);
    // The operator sees to the printer and restarts the robot.
    inst.writeSimIni({});
    RobotProcess again(inst.path());
    ASSERT_TRUE(again.waitForOutput({QStringLiteral("impresa factura %1").arg(code)}))
        << again.err().toStdString();
    EXPECT_EQ(inst.db().sale(code, QStringLiteral("Impresa")).toInt(), -1);
    EXPECT_FALSE(inst.sentCommands().contains("7")) << "a failure that did not crash is the "
                                                       "operator's: nothing was cancelled";
}

TEST(UnattendedRobot, DatabaseAwayIsToldOnceAndPrintingResumesWhenItIsBack)
{
    Installation inst;
    const qint64 first = addInvoice(inst);
    RobotProcess robot(inst.path());
    ASSERT_TRUE(robot.waitForOutput({QStringLiteral("impresa factura %1").arg(first)}));
    const QString path = inst.file(QStringLiteral("Base de Datos.dba"));
    const QString aside = inst.file(QStringLiteral("aparte.dba"));
    ASSERT_TRUE(QFile::rename(path, aside));
    ASSERT_TRUE(robot.waitForError(QStringLiteral("Error de base de datos")))
        << robot.err().toStdString();
    EXPECT_FALSE(QFile::exists(path)) << "the robot never creates a database";
    ASSERT_TRUE(QFile::rename(aside, path));
    const qint64 second = addInvoice(inst);
    ASSERT_TRUE(robot.waitForOutput({QStringLiteral("impresa factura %1").arg(second)}))
        << robot.err().toStdString();
    robot.terminate();
    ASSERT_TRUE(robot.waitForExit());
    EXPECT_EQ(robot.exitCode(), 0);
    EXPECT_EQ(robot.err().count("Error de base de datos"), 1) << robot.err().toStdString();
    EXPECT_EQ(robot.err().count(core::texts::kBaseDisponible), 1);
}

TEST(UnattendedRobot, StopRequestLetsTheRunningJobFinish)
{
    // A slow line: the invoice takes seconds, so the stop arrives in the middle.
    Installation inst({.simIni = "[link]\nBaud=2400\n"});
    const qint64 code = addInvoice(inst, std::nullopt, 6);
    RobotProcess robot(inst.path());
    ASSERT_TRUE(robot.waitForOutput({QStringLiteral("inicio factura %1").arg(code)}));
    robot.terminate();
    ASSERT_TRUE(robot.waitForExit());
    EXPECT_EQ(robot.exitCode(), 0);
    EXPECT_TRUE(robot.out().contains(QStringLiteral("impresa factura %1").arg(code)));
    EXPECT_EQ(inst.db().sale(code, QStringLiteral("Impresa")).toInt(), -1);
    EXPECT_EQ(inst.simLog().last(), QStringList{"CloseFpctrl"});
}

TEST(UnattendedRobot, PollingComesBackByItselfAfterAPortFailure)
{
    Installation inst({.simIni = "[faults]\nOpen=fail\n"});
    const qint64 code = addInvoice(inst);
    RobotProcess robot(inst.path());
    ASSERT_TRUE(robot.waitForOutput({QStringLiteral("fallo factura %1").arg(code)}));
    inst.writeSimIni({});
    ASSERT_TRUE(robot.waitForOutput({core::texts::kSondeoReanudado}));
}

} // namespace
