#include "core/Texts.h"
#include "db/PostgresConnection.h"
#include "support/Installation.h"
#include "support/PostgresCluster.h"
#include "support/RobotProcess.h"

#include <QFile>
#include <gtest/gtest.h>

using testsupport::Engine;
using testsupport::Installation;
using testsupport::MainRows;
using testsupport::PostgresCluster;
using testsupport::RobotProcess;

namespace {

qint64 addInvoice(MainRows &rows, int items = 1)
{
    const qint64 sale = rows.addSale({});
    for (int i = 0; i < items; ++i)
        rows.addItem(sale, {"HARINA", 10.0, 2, 2, {}, 0});
    return sale;
}

// The main database out of reach while the robot runs (the file moved away,
// the server stopped) and back: told once each way, and printing resumes.
using UnattendedRobot = testsupport::OnEngine;
RUN_ON_BOTH_ENGINES(UnattendedRobot);

TEST_P(UnattendedRobot, DatabaseOutageIsToldOnceAndPrintingResumesWhenTheDatabaseIsBack)
{
    const bool file = GetParam() == Engine::Sqlite;
    const auto server = file ? nullptr : std::make_unique<PostgresCluster>();
    Installation inst({.engine = GetParam(), .cluster = server.get()});
    const qint64 first = addInvoice(inst.db());
    RobotProcess robot(inst.path());
    ASSERT_TRUE(robot.waitForOutput({QStringLiteral("impresa factura %1").arg(first)}));
    const QString aside = inst.file(QStringLiteral("aparte.dba"));
    const QString outage =
        file ? QStringLiteral("Error de base de datos") : db::PostgresConnection::outageMessage();
    if (file)
        ASSERT_TRUE(QFile::rename(inst.mainDatabase(), aside));
    else
        server->stop();
    ASSERT_TRUE(robot.waitForError(outage)) << robot.err().toStdString();
    EXPECT_FALSE(file && QFile::exists(inst.mainDatabase()))
        << "the robot never creates a database";
    if (file)
        ASSERT_TRUE(QFile::rename(aside, inst.mainDatabase()));
    else
        server->start();
    MainRows rows(inst.mainDatabase());
    const qint64 second = addInvoice(rows);
    ASSERT_TRUE(robot.waitForOutput({QStringLiteral("impresa factura %1").arg(second)}))
        << robot.err().toStdString();
    robot.terminate();
    ASSERT_TRUE(robot.waitForExit());
    EXPECT_EQ(robot.exitCode(), 0);
    EXPECT_EQ(robot.err().count(outage), 1) << robot.err().toStdString();
    EXPECT_EQ(robot.err().count(core::texts::kDatabaseBack), 1);
}

TEST(UnattendedRobot, StopRequestLetsTheRunningJobFinish)
{
    // A slow line: the invoice takes seconds, so the stop arrives in the middle.
    Installation inst({.simIni = "[link]\nBaud=2400\n"});
    const qint64 code = addInvoice(inst.db(), 6);
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
    const qint64 code = addInvoice(inst.db());
    RobotProcess robot(inst.path());
    ASSERT_TRUE(robot.waitForOutput({QStringLiteral("fallo factura %1 etapa=2.1\n").arg(code)}));
    inst.writeSimIni({});
    ASSERT_TRUE(robot.waitForOutput({core::texts::kPollingResumed}));
}

} // namespace
