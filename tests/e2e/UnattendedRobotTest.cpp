#include "core/Texts.h"
#include "db/PostgresConnection.h"
#include "support/Installation.h"
#include "support/PostgresCluster.h"
#include "support/RobotProcess.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QJsonDocument>
#include <gtest/gtest.h>

using testsupport::Engine;
using testsupport::Installation;
using testsupport::PostgresCluster;
using testsupport::RobotProcess;

namespace {

qint64 addInvoice(Installation &inst, int items = 1)
{
    const qint64 sale = inst.db().addSale({});
    for (int i = 0; i < items; ++i)
        inst.db().addItem(sale, {"HARINA", 10.0, 2, 2, {}, 0});
    return sale;
}

QString printed(qint64 sale)
{
    return QStringLiteral("impresa factura %1").arg(sale);
}

using UnattendedRobot = testsupport::OnEngine;
RUN_ON_BOTH_ENGINES(UnattendedRobot);

// The main database out of reach while the robot runs (the file moved away,
// the server stopped) and back; on SQLite also a file that is not a database
// in its place, while running or from the start: told once each way, and
// printing resumes.
TEST_P(UnattendedRobot, DatabaseOutageIsToldOnceAndPrintingResumesWhenTheDatabaseIsBack)
{
    const bool file = GetParam() == Engine::Sqlite;
    const auto server = file ? nullptr : std::make_unique<PostgresCluster>();
    const QString outage =
        file ? QStringLiteral("Error de base de datos") : db::PostgresConnection::outageMessage();
    enum Way { Away, Spoilt, SpoiltFromTheStart };
    for (const Way way : file ? QList{Away, Spoilt, SpoiltFromTheStart} : QList{Away}) {
        SCOPED_TRACE(way);
        Installation inst({.engine = GetParam(), .cluster = server.get()});
        const std::string path = inst.mainDatabase().toStdString();
        const std::string aside = inst.file("aparte.dba").toStdString();
        // The same file under a second name, so that this test's own connection
        // still finds it once it is back; each change is one rename, so that
        // no tick sees a third state.
        const auto spoil = [&] {
            std::filesystem::create_hard_link(path, aside);
            inst.write("basura", QByteArray(4096, 'x'));
            std::filesystem::rename(inst.file("basura").toStdString(), path);
        };
        if (way == SpoiltFromTheStart)
            spoil();
        RobotProcess robot(inst.path());
        if (way != SpoiltFromTheStart) {
            ASSERT_TRUE(robot.waitForOutput({printed(addInvoice(inst))}));
            way == Away ? inst.setDatabaseAway(true) : spoil();
        }
        ASSERT_TRUE(robot.waitForError(outage)) << robot.err().toStdString();
        EXPECT_FALSE(file && way == Away && QFile::exists(inst.mainDatabase()))
            << "the robot never creates a database";
        way == Away ? inst.setDatabaseAway(false) : std::filesystem::rename(aside, path);
        ASSERT_TRUE(robot.waitForOutput({printed(addInvoice(inst))})) << robot.err().toStdString();
        EXPECT_EQ(robot.stop(), 0);
        EXPECT_EQ(robot.err().count(outage), 1) << robot.err().toStdString();
        EXPECT_EQ(robot.err().count(core::texts::kDatabaseBack), 1);
    }
}

// How changes reach the real robot, as estado says: the file's changes, or
// the server's notifications; on PostgreSQL after a server restart too (a
// sale flagged then prints), and ticks alone without the triggers.
TEST_P(UnattendedRobot, EstadoSaysHowChangesWakeTheRobot)
{
    const bool file = GetParam() == Engine::Sqlite;
    const auto server = file ? nullptr : std::make_unique<PostgresCluster>();
    Installation inst({.engine = GetParam(), .cluster = server.get()});
    auto robot = std::make_unique<RobotProcess>(inst.path());
    const auto wake = [&] {
        for (const QDeadlineTimer up(60000); !up.hasExpired();) {
            const auto a = RobotProcess::ask(inst.path(), {"estado", "--json"});
            if (a.status == 0)
                return QJsonDocument::fromJson(a.out.toUtf8())["despertar"].toString();
        }
        return QString();
    };
    ASSERT_EQ(wake(), file ? "cambios" : "notificaciones");
    if (file)
        return;
    inst.setDatabaseAway(true);
    inst.setDatabaseAway(false);
    ASSERT_TRUE(robot->waitForOutput({printed(addInvoice(inst))})) << robot->err().toStdString();
    EXPECT_EQ(wake(), "notificaciones");
    inst.db().exec(QStringLiteral("DROP FUNCTION robot_fiscal_avisar() CASCADE"));
    EXPECT_EQ(robot->stop(), 0);
    robot = std::make_unique<RobotProcess>(inst.path());
    EXPECT_EQ(wake(), "ticks");
}

// `estado --check` as a monitoring system runs it, and the health `estado
// --json` shows beside it: each fault with its status and words, until it
// ends; no robot at all is "unknown".
TEST_P(UnattendedRobot, CheckGivesEachFaultItsStatusUntilItEnds)
{
    const bool file = GetParam() == Engine::Sqlite;
    const auto server = file ? nullptr : std::make_unique<PostgresCluster>();
    Installation inst({.robotIni = "[timing]\nPrinterProbe=0.2\n",
                       .engine = GetParam(),
                       .cluster = server.get()});
    auto robot = std::make_unique<RobotProcess>(inst.path());
    // Until the check answers `status` with `words` in its line; its JSON then.
    const auto until = [&](int status, const QString &words) {
        RobotProcess::Answer a;
        for (const QDeadlineTimer up(60000); !up.hasExpired();) {
            a = RobotProcess::ask(inst.path(), {"estado", "--check"});
            if (a.status == status && a.out.contains(words))
                return QJsonDocument::fromJson(
                           RobotProcess::ask(inst.path(), {"estado", "--json"}).out.toUtf8())
                    .object();
        }
        ADD_FAILURE() << "never " << status << " " << words.toStdString() << ", last " << a.status
                      << " " << a.out.toStdString();
        return QJsonObject();
    };
    const QString lockKey = QStringLiteral("1380338003, %1").arg(1);
    const struct
    {
        const char *fault;
        int status;
        QString words;
        std::function<void()> begin, end;
        const char *field, *key;
        QJsonValue value;
    } faults[] = {
        {"printer unplugged", 1, "AVISO - robot-fiscal: la impresora no responde desde",
         [&] { inst.writeSimIni("[faults]\nOpen=fail\nUpload=fail\n"); },
         [&] { inst.writeSimIni({}); }, "impresora", "responde", false},
        {"polling stopped", 1, "AVISO - robot-fiscal: sondeo detenido por el operador",
         [&] { RobotProcess::ask(inst.path(), {"detener"}); },
         [&] { RobotProcess::ask(inst.path(), {"iniciar"}); }, "sondeo", nullptr, false},
        {"database away", 2, "CRÍTICO - robot-fiscal: base de datos no disponible desde",
         [&] { inst.setDatabaseAway(true); }, [&] { inst.setDatabaseAway(false); }, "base_de_datos",
         "disponible", false},
        // Another robot's session takes the machine over while the server ends this one's.
        {"lock lost", 2, "CRÍTICO - robot-fiscal: bloqueo de la máquina fiscal 1 perdido",
         [&] {
             do {
                 inst.db().exec("SELECT pg_terminate_backend(pid) FROM pg_locks WHERE locktype = "
                                "'advisory' AND classid = 1380338003 AND pid <> pg_backend_pid()");
             } while (!inst.db().value("SELECT pg_try_advisory_lock(" + lockKey + ")").toBool());
         },
         [&] { inst.db().exec("SELECT pg_advisory_unlock(" + lockKey + ")"); }, "maquina",
         "bloqueo", "perdido"},
    };
    until(0, "OK - robot-fiscal: en marcha, pendientes: 0 facturas, 0 notas de crédito");
    for (const auto &f : faults) {
        if (file && QByteArray(f.fault) == "lock lost")
            continue;
        SCOPED_TRACE(f.fault);
        f.begin();
        const QJsonObject json = until(f.status, f.words);
        EXPECT_EQ(f.key ? json[f.field].toObject()[f.key] : json[f.field], f.value);
        f.end();
        until(0, "OK - robot-fiscal");
    }
    EXPECT_EQ(robot->stop(), 0);
    const auto none = RobotProcess::ask(inst.path(), {"estado", "--check"});
    EXPECT_EQ(none.status, 3);
    EXPECT_TRUE(none.out.startsWith("DESCONOCIDO - robot-fiscal: ")) << none.out.toStdString();
}

TEST(UnattendedRobot, StopRequestLetsTheRunningJobFinish)
{
    // A slow line: the invoice takes seconds, so the stop arrives in the middle.
    Installation inst({.simIni = "[link]\nBaud=2400\n"});
    const qint64 code = addInvoice(inst, 6);
    RobotProcess robot(inst.path());
    ASSERT_TRUE(robot.waitForOutput({QStringLiteral("inicio factura %1").arg(code)}));
    EXPECT_EQ(robot.stop(), 0);
    EXPECT_TRUE(robot.out().contains(printed(code)));
    EXPECT_EQ(inst.db().sale(code, QStringLiteral("Impresa")).toInt(), -1);
    EXPECT_EQ(inst.simLog().last(), QStringList{"CloseFpctrl"});
}

} // namespace
