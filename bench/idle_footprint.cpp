// The real robot-fiscal, headless and idle, on a demo installation whose main
// database holds a long printed sales history and nothing waiting, at the
// real polling interval ([timing] Scale=1.0, a tick every 2.5 s): CPU time
// and resident memory over a stretch of idle ticks, measured from outside
// through /proc, after the first activation's pause has passed. Ends the
// robot with SIGTERM and checks that it exits 0.
//
//   idle_footprint [SALES [SECONDS]]     default: 1000000 60
//
// Linux only. Figures and the machine they came from: bench/README.md.
#include "robot/DemoInstallation.h"
#include "support/BenchMachine.h"
#include "support/SalesHistory.h"
#include "support/SqliteConnection.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

// The first activation pauses 5 s; start measuring well after it.
constexpr int kSettleSeconds = 10;
constexpr int kStopTimeoutSeconds = 30;

// The demo's waiting documents marked printed, then printed sales over the
// demo's customers and products until the history holds `sales` sales; one
// transaction.
void grow(const QString &path, int sales)
{
    const bench::SqliteConnection db(path);
    db.beginBulk();
    db.exec("UPDATE \"Ventas\" SET \"Factura\" = printf('%08d', \"Código\"), \"Control\" = "
            "printf('%08d', \"Código\"), \"Impresa\" = -1, \"Imprimir\" = 0 "
            "WHERE \"Imprimir\" = -1 AND \"Control\" IS NULL;"
            "UPDATE \"NotaCréditoVenta\" SET \"Número\" = printf('%08d', \"Código\"), "
            "\"Control\" = printf('%08d', \"Código\"), \"Impresa\" = -1, \"Imprimir\" = 0 "
            "WHERE \"Imprimir\" = -1 AND \"Control\" IS NULL;");
    bench::SalesHistory history(sales);
    history.setSaleDate("2025-06-01 10:00:00");
    history.append(db);
    db.exec("COMMIT;");
    const qint64 waiting =
        db.scalar("SELECT (SELECT COUNT(*) FROM \"Ventas\" WHERE \"Imprimir\" = -1) + "
                  "(SELECT COUNT(*) FROM \"NotaCréditoVenta\" WHERE \"Imprimir\" = -1)");
    if (waiting != 0) {
        std::fprintf(stderr, "%lld documents still waiting\n", static_cast<long long>(waiting));
        std::exit(1);
    }
}

QByteArray readProc(pid_t pid, const char *name)
{
    return bench::BenchMachine::readFile(
        QStringLiteral("/proc/%1/%2").arg(pid).arg(QLatin1String(name)));
}

// utime + stime of every thread, in seconds.
double cpuSeconds(pid_t pid)
{
    const QByteArray stat = readProc(pid, "stat");
    // Fields after the command name, which is in parentheses and may hold blanks.
    const QList<QByteArray> f = stat.mid(stat.lastIndexOf(')') + 2).split(' ');
    // utime and stime are fields 14 and 15 of the line, 12 and 13 here.
    return (f.value(11).toLongLong() + f.value(12).toLongLong()) / double(sysconf(_SC_CLK_TCK));
}

// Time on a CPU of every thread, from the scheduler, in nanoseconds: finer
// than the clock ticks of utime and stime.
qint64 runNanos(pid_t pid)
{
    qint64 total = 0;
    const QDir tasks(QStringLiteral("/proc/%1/task").arg(pid));
    for (const QString &tid : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        total += bench::BenchMachine::readFile(tasks.filePath(tid) + QStringLiteral("/schedstat"))
                     .split(' ')
                     .value(0)
                     .toLongLong();
    return total;
}

// A "Name:   value kB" line of /proc/PID/status, in kB.
qint64 statusKb(pid_t pid, const char *name)
{
    for (const QByteArray &line : readProc(pid, "status").split('\n'))
        if (line.startsWith(name))
            return line.mid(qstrlen(name) + 1).trimmed().split(' ').value(0).toLongLong();
    return -1;
}

qint64 ioField(pid_t pid, const char *name)
{
    for (const QByteArray &line : readProc(pid, "io").split('\n'))
        if (line.startsWith(name))
            return line.mid(qstrlen(name) + 1).trimmed().toLongLong();
    return -1;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int sales = argc > 1 ? std::atoi(argv[1]) : 1000000;
    const int seconds = argc > 2 ? std::atoi(argv[2]) : 60;
    if (sales < 1 || seconds < 1) {
        std::fprintf(stderr, "usage: idle_footprint [SALES [SECONDS]]\n");
        return 64;
    }
    const QString simulator = QStringLiteral(FISCALSIM_LIBRARY);
    const QString robotPath = bench::BenchMachine::builtRobot(simulator);
    if (robotPath.isEmpty())
        return 1;

    QTemporaryDir tmp;
    const QString dir = QDir(tmp.path()).filePath(QStringLiteral("demo"));
    const QString failure = robot::DemoInstallation::create(dir, QStringLiteral("HKA"), simulator);
    if (!failure.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(failure));
        return 1;
    }
    QElapsedTimer timer;
    timer.start();
    grow(QDir(dir).filePath(QStringLiteral("Base de Datos.dba")), sales);
    std::printf("main database: %d sales, nothing waiting, built in %.1f s (%.0f MB)\n", sales,
                timer.nsecsElapsed() / 1e9,
                QFileInfo(QDir(dir).filePath(QStringLiteral("Base de Datos.dba"))).size() / 1e6);
    std::fflush(stdout);

    const QByteArray outPath = QDir(tmp.path()).filePath(QStringLiteral("robot.out")).toLocal8Bit();
    const QByteArray errPath = QDir(tmp.path()).filePath(QStringLiteral("robot.err")).toLocal8Bit();
    const QByteArray program = robotPath.toLocal8Bit();
    const QByteArray dirArg = dir.toLocal8Bit();
    const pid_t pid = fork();
    if (pid < 0) {
        std::perror("fork");
        return 1;
    }
    if (pid == 0) {
        const int out = ::open(outPath.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int err = ::open(errPath.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (out < 0 || err < 0)
            _exit(127);
        dup2(out, STDOUT_FILENO);
        dup2(err, STDERR_FILENO);
        char *const args[] = {const_cast<char *>(program.constData()), const_cast<char *>("--dir"),
                              const_cast<char *>(dirArg.constData()),
                              const_cast<char *>("--headless"), nullptr};
        execv(program.constData(), args);
        _exit(127);
    }
    QElapsedTimer life;
    life.start();

    auto alive = [&] { return waitpid(pid, nullptr, WNOHANG) == 0; };
    QThread::sleep(kSettleSeconds);
    if (!alive()) {
        std::fprintf(stderr, "the robot ended during start-up:\n%s",
                     bench::BenchMachine::readFile(QString::fromLocal8Bit(errPath)).constData());
        return 1;
    }
    const double cpuBefore = cpuSeconds(pid);
    const qint64 runBefore = runNanos(pid);
    const qint64 readBefore = ioField(pid, "rchar");
    const qint64 readCallsBefore = ioField(pid, "syscr");
    QElapsedTimer window;
    window.start();
    qint64 rssMax = 0;
    for (int s = 0; s < seconds; ++s) {
        QThread::sleep(1);
        rssMax = std::max(rssMax, statusKb(pid, "VmRSS:"));
    }
    const double cpuAfter = cpuSeconds(pid);
    const qint64 runAfter = runNanos(pid);
    const double wall = window.nsecsElapsed() / 1e9;
    const qint64 rss = statusKb(pid, "VmRSS:");
    const qint64 hwm = statusKb(pid, "VmHWM:");
    const qint64 anon = statusKb(pid, "RssAnon:");
    const qint64 fileRss = statusKb(pid, "RssFile:");
    const qint64 threads = statusKb(pid, "Threads:");
    const qint64 readBytes = ioField(pid, "rchar") - readBefore;
    const qint64 readCalls = ioField(pid, "syscr") - readCallsBefore;

    const QByteArray load = bench::BenchMachine::loadAverage();
    kill(pid, SIGTERM);
    QElapsedTimer stopping;
    stopping.start();
    int status = 0;
    rusage usage{};
    pid_t done = 0;
    while ((done = wait4(pid, &status, WNOHANG, &usage)) == 0 &&
           stopping.elapsed() < kStopTimeoutSeconds * 1000)
        QThread::msleep(10);
    if (done == 0) {
        std::fprintf(stderr, "the robot did not end within %d s of SIGTERM\n", kStopTimeoutSeconds);
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
        return 1;
    }
    const double stopMs = stopping.nsecsElapsed() / 1e6;
    const double lifeSeconds = life.nsecsElapsed() / 1e9;

    const double ticks = wall / 2.5;
    const double cpuShare = (runAfter - runBefore) / 1e9 / wall * 100.0;
    const double tickShare = (cpuAfter - cpuBefore) / wall * 100.0;
    std::printf(
        "\nidle, headless, Scale=1.0, measured from %d s to %.0f s after start (%.0f ticks):\n",
        kSettleSeconds, kSettleSeconds + wall, ticks);
    std::printf(
        "  CPU         %.1f ms on a CPU = %.3f %% of one core (utime+stime: %.2f s = %.3f %%)\n",
        (runAfter - runBefore) / 1e6, cpuShare, cpuAfter - cpuBefore, tickShare);
    std::printf("  per tick    %.2f ms of CPU, %lld bytes read in %lld read calls\n",
                (runAfter - runBefore) / 1e6 / ticks, static_cast<long long>(readBytes / ticks),
                static_cast<long long>(readCalls / ticks));
    std::printf("  memory      VmRSS %.1f MB (anonymous %.1f MB, file %.1f MB), highest sampled "
                "%.1f MB, VmHWM %.1f MB, %lld threads\n",
                rss / 1024.0, anon / 1024.0, fileRss / 1024.0, rssMax / 1024.0, hwm / 1024.0,
                static_cast<long long>(threads));
    // Start-up and first activation included (the child's rusage; its peak
    // memory would count the bench forked before exec, so it is left out).
    const double user = usage.ru_utime.tv_sec + usage.ru_utime.tv_usec / 1e6;
    const double system = usage.ru_stime.tv_sec + usage.ru_stime.tv_usec / 1e6;
    std::printf("  whole life  %.1f s, CPU %.2f s (user %.2f, system %.2f)\n", lifeSeconds,
                user + system, user, system);
    std::printf("  machine     load average %s at the end\n", load.constData());
    std::printf("  SIGTERM     ended in %.0f ms, ", stopMs);
    const bool cleanExit = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    if (WIFEXITED(status))
        std::printf("exit status %d\n", WEXITSTATUS(status));
    else
        std::printf("killed by signal %d\n", WTERMSIG(status));

    // An idle robot writes no document events; anything else is worth seeing.
    const QByteArray out = bench::BenchMachine::readFile(QString::fromLocal8Bit(outPath));
    const QByteArray err = bench::BenchMachine::readFile(QString::fromLocal8Bit(errPath));
    if (!out.isEmpty())
        std::printf("\nrobot's standard output:\n%s", out.constData());
    if (!err.isEmpty())
        std::printf("\nrobot's standard error:\n%s", err.constData());

    std::printf("\ngoal: under 0.2 %% of one core: %s\n", cpuShare < 0.2 ? "met" : "MISSED");
    std::printf("goal: under 30 MB resident: %s\n",
                std::max(rss, rssMax) < 30 * 1024 ? "met" : "MISSED");
    std::printf("exit 0 on SIGTERM: %s\n", cleanExit ? "yes" : "NO");
    return cleanExit ? 0 : 1;
}
