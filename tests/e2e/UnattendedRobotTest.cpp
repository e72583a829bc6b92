#include "core/Texts.h"
#include "support/Installation.h"
#include "support/RobotProcess.h"

#include <QFile>
#include <filesystem>
#include <gtest/gtest.h>

using testsupport::Installation;
using testsupport::RobotProcess;

namespace {

qint64 addInvoice(Installation &inst, int items = 1)
{
    const qint64 venta = inst.db().addSale({});
    for (int i = 0; i < items; ++i)
        inst.db().addItem(venta, {"HARINA", 10.0, 2, 2, {}, 0});
    return venta;
}

TEST(UnattendedRobot, DatabaseOutageIsToldOnceAndPrintingResumesWhenItIsBack)
{
    const struct
    {
        const char *name;
        bool garbage; // a file that is not a database in its place, rather than none
        bool atStart;
    } cases[] = {{"moved away", false, false},
                 {"garbage in its place", true, false},
                 {"garbage from the start", true, true}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        Installation inst;
        const QString path = inst.file(QStringLiteral("Base de Datos.dba"));
        const QString aside = inst.file(QStringLiteral("aparte.dba"));
        // Each change is one rename, so that no tick sees a third state.
        const auto spoil = [&] {
            if (!c.garbage) {
                ASSERT_TRUE(QFile::rename(path, aside));
                return;
            }
            // The same file under a second name, so that this test's own
            // connection still finds it once it is back.
            std::filesystem::create_hard_link(path.toStdString(), aside.toStdString());
            inst.dir().write(QStringLiteral("basura"), QByteArray(4096, 'x'));
            std::filesystem::rename(inst.file(QStringLiteral("basura")).toStdString(),
                                    path.toStdString());
        };
        if (c.atStart)
            spoil();
        RobotProcess robot(inst.path());
        if (!c.atStart) {
            const qint64 first = addInvoice(inst);
            ASSERT_TRUE(robot.waitForOutput({QStringLiteral("impresa factura %1").arg(first)}));
            spoil();
        }
        ASSERT_TRUE(robot.waitForError(QStringLiteral("Error de base de datos")))
            << robot.err().toStdString();
        EXPECT_TRUE(c.garbage || !QFile::exists(path)) << "the robot never creates a database";
        std::filesystem::rename(aside.toStdString(), path.toStdString());
        const qint64 second = addInvoice(inst);
        ASSERT_TRUE(robot.waitForOutput({QStringLiteral("impresa factura %1").arg(second)}))
            << robot.err().toStdString();
        robot.terminate();
        ASSERT_TRUE(robot.waitForExit());
        EXPECT_EQ(robot.exitCode(), 0);
        EXPECT_EQ(robot.err().count("Error de base de datos"), 1) << robot.err().toStdString();
        EXPECT_EQ(robot.err().count(core::texts::kBaseDisponible), 1);
    }
}

TEST(UnattendedRobot, StopRequestLetsTheRunningJobFinish)
{
    // A slow line: the invoice takes seconds, so the stop arrives in the middle.
    Installation inst({.simIni = "[link]\nBaud=2400\n"});
    const qint64 code = addInvoice(inst, 6);
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
    ASSERT_TRUE(robot.waitForOutput({QStringLiteral("fallo factura %1 etapa=2.1\n").arg(code)}));
    inst.writeSimIni({});
    ASSERT_TRUE(robot.waitForOutput({core::texts::kSondeoReanudado}));
}

} // namespace
