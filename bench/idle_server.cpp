// Idle robots of several registers polling one PostgreSQL server: ROBOTS real
// robot-fiscal processes, headless, each its own program directory and fiscal
// machine (Caja:1 to Caja:N), at the real polling interval ([timing]
// Scale=1.0), on one main database of SALES printed sales with nothing
// waiting, over the server's Unix socket. After the first activations have
// passed, the CPU time of the server's processes (the postmaster, its live
// children, and the children it reaped meanwhile) is read from /proc on both
// sides of a stretch of SECONDS, with the robots' own. Ends the robots with
// SIGTERM and checks that each exits 0.
//
//   idle_server [ROBOTS [SALES [SECONDS]]]     default: 20 1000000 60
//
// Linux only. Figures and the machine they came from: bench/README.md.
#include "db/DataError.h"
#include "db/Schema.h"
#include "robot/DemoInstallation.h"
#include "support/BenchMachine.h"
#include "support/PostgresServer.h"
#include "support/SalesHistory.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QThread>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kSettleSeconds = 10;

// Fields of /proc/PID/stat after the command name (which may hold blanks):
// index 1 is the parent, 11 and 12 utime and stime, 13 and 14 the reaped
// children's.
QList<QByteArray> statFields(qint64 pid)
{
    const QByteArray stat = bench::BenchMachine::readFile(QStringLiteral("/proc/%1/stat").arg(pid));
    return stat.mid(stat.lastIndexOf(')') + 2).split(' ');
}

// CPU seconds of the server: the postmaster with the children it reaped, and
// every live child.
double serverSeconds(qint64 postmaster, int *children)
{
    const QList<QByteArray> own = statFields(postmaster);
    qint64 ticks = own.value(11).toLongLong() + own.value(12).toLongLong() +
                   own.value(13).toLongLong() + own.value(14).toLongLong();
    *children = 0;
    for (const QString &entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        bool ok = false;
        const qint64 pid = entry.toLongLong(&ok);
        if (!ok)
            continue;
        const QList<QByteArray> f = statFields(pid);
        if (f.value(1).toLongLong() != postmaster)
            continue;
        ++*children;
        ticks += f.value(11).toLongLong() + f.value(12).toLongLong();
    }
    return ticks / double(sysconf(_SC_CLK_TCK));
}

double processSeconds(qint64 pid)
{
    const QList<QByteArray> f = statFields(pid);
    return (f.value(11).toLongLong() + f.value(12).toLongLong()) / double(sysconf(_SC_CLK_TCK));
}

int run(int argc, char **argv)
{
    const int robots = argc > 1 ? std::atoi(argv[1]) : 20;
    const int sales = argc > 2 ? std::atoi(argv[2]) : 1000000;
    const int seconds = argc > 3 ? std::atoi(argv[3]) : 60;
    if (robots < 1 || sales < 1 || seconds < 1) {
        std::fprintf(stderr, "usage: idle_server [ROBOTS [SALES [SECONDS]]]\n");
        return 64;
    }
    const QString simulator = QStringLiteral(FISCALSIM_LIBRARY);
    const QString robotPath = bench::BenchMachine::builtRobot(simulator);
    if (robotPath.isEmpty())
        return 1;

    bench::PostgresServer server;
    if (!server.started())
        return 1;
    QElapsedTimer timer;
    timer.start();
    const QString url = server.createDatabase(QStringLiteral("ventas"));
    db::Schema::createPostgresDatabase(url, {db::Schema::mainSchema()});
    bench::SalesHistory history(sales);
    if (!server.exec(QStringLiteral("ventas"), history.postgresSql()) ||
        !server.exec(QStringLiteral("ventas"),
                     QStringLiteral("INSERT INTO \"Configuración\" VALUES (1, 'Banco de pruebas, "
                                    "C.A.', 'J000000001', NULL, NULL, -1, -1, 0);"
                                    "INSERT INTO \"Configuración2\" VALUES (1, 16, 8, 31);")) ||
        // The vacuum the server would have run long ago on an old history.
        !server.exec(QStringLiteral("ventas"), QStringLiteral("VACUUM ANALYZE")))
        return 1;
    std::printf("main database: %d sales, nothing waiting, built in %.1f s\n", sales,
                timer.nsecsElapsed() / 1e9);

    QTemporaryDir tmp;
    std::vector<std::unique_ptr<QProcess>> processes;
    for (int machine = 1; machine <= robots; ++machine) {
        const QString dir = QDir(tmp.path()).filePath(QStringLiteral("caja%1").arg(machine));
        const QString failure =
            robot::DemoInstallation::create(dir, QStringLiteral("HKA"), simulator);
        if (!failure.isEmpty()) {
            std::fprintf(stderr, "%s\n", qPrintable(failure));
            return 1;
        }
        QSettings(QDir(dir).filePath(QStringLiteral("robot-fiscal.ini")), QSettings::IniFormat)
            .setValue(QStringLiteral("database/Url"), url);
        QFile inf(QDir(dir).filePath(QStringLiteral("Vextora.inf")));
        inf.open(QIODevice::ReadOnly);
        const QByteArray text =
            inf.readAll().replace("Caja:1", "Caja:" + QByteArray::number(machine));
        inf.close();
        inf.open(QIODevice::WriteOnly | QIODevice::Truncate);
        inf.write(text);
        inf.close();
        auto p = std::make_unique<QProcess>();
        p->setStandardOutputFile(QDir(dir).filePath(QStringLiteral("robot.out")));
        p->setStandardErrorFile(QDir(dir).filePath(QStringLiteral("robot.err")));
        p->start(robotPath, {QStringLiteral("--dir"), dir, QStringLiteral("--headless")});
        if (!p->waitForStarted()) {
            std::fprintf(stderr, "robot %d did not start\n", machine);
            return 1;
        }
        processes.push_back(std::move(p));
    }

    QThread::sleep(kSettleSeconds);
    for (const auto &p : processes) {
        if (p->state() != QProcess::Running) {
            std::fprintf(stderr, "a robot ended during start-up (exit %d)\n", p->exitCode());
            return 1;
        }
    }
    const qint64 postmaster = server.pid();
    int children = 0;
    auto robotsSeconds = [&] {
        double total = 0;
        for (const auto &p : processes)
            total += processSeconds(p->processId());
        return total;
    };
    const double serverBefore = serverSeconds(postmaster, &children);
    const double robotsBefore = robotsSeconds();
    QElapsedTimer window;
    window.start();
    QThread::sleep(seconds);
    const double serverAfter = serverSeconds(postmaster, &children);
    const double robotsAfter = robotsSeconds();
    const double wall = window.nsecsElapsed() / 1e9;
    const QByteArray load = bench::BenchMachine::loadAverage();

    bool clean = true;
    for (const auto &p : processes)
        p->terminate();
    for (const auto &p : processes) {
        clean = p->waitForFinished(30000) && p->exitStatus() == QProcess::NormalExit &&
                p->exitCode() == 0 && clean;
    }
    QByteArray errors;
    for (int machine = 1; machine <= robots; ++machine)
        errors += bench::BenchMachine::readFile(
            QDir(tmp.path()).filePath(QStringLiteral("caja%1/robot.err").arg(machine)));

    const double serverShare = (serverAfter - serverBefore) / wall * 100.0;
    std::printf("\n%d idle robots, Scale=1.0 (a tick every 2.5 s), %.0f s measured from %d s "
                "after start:\n",
                robots, wall, kSettleSeconds);
    std::printf("  server      %.2f s CPU = %.2f %% of one core (%d processes at the end), "
                "%.2f ms per robot's tick\n",
                serverAfter - serverBefore, serverShare, children + 1,
                (serverAfter - serverBefore) * 1000 / (robots * wall / 2.5));
    std::printf("  robots      %.2f s CPU = %.2f %% of one core in all\n",
                robotsAfter - robotsBefore, (robotsAfter - robotsBefore) / wall * 100.0);
    std::printf("  machine     load average %s at the end\n", load.constData());
    if (!errors.isEmpty())
        std::printf("\nrobots' standard error:\n%s", errors.constData());
    std::printf("\ngoal: server under 5 %% of one core: %s\n", serverShare < 5 ? "met" : "MISSED");
    std::printf("every robot exit 0 on SIGTERM: %s\n", clean ? "yes" : "NO");
    return clean ? 0 : 1;
}

} // namespace

int main(int argc, char **argv)
{
    return bench::PostgresServer::main(argc, argv, run);
}
