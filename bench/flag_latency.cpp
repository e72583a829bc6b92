// The real robot-fiscal, headless on the simulator at Baud=0 and the real
// polling interval ([timing] Scale=1.0): SALES sales flagged one at a time, at
// random moments, by this program (another process than the robot), and for
// each the time from the return of the commit that flags it to the first
// printer command of its invoice (the first SendCmd the simulator logs after
// it). Run with the robot woken by the database's changes, then with its
// ticks alone ([timing] WakeOnChange=no), on a SQLite file and on a throwaway
// PostgreSQL server. The sales are copies of a demo sale, made unflagged
// before the robot starts.
//
//   flag_latency [SALES]     default: 200
//
// Linux only. Figures and the machine they came from: bench/README.md.
#include "db/Database.h"
#include "robot/DemoInstallation.h"
#include "support/BenchMachine.h"
#include "support/PostgresServer.h"
#include "support/SqliteConnection.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QSettings>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

namespace {

// The demo's waiting documents marked printed: only the flags below print.
const QString kInvoicesPrinted =
    QStringLiteral("Update [Consulta Ventas Edición] Set Factura='00000001', Control='00000001', "
                   "Impresa=True, Imprimir=False Where Imprimir=True and Control=null");
const QString kNotesPrinted = QStringLiteral(
    "Update NotaCréditoVenta Set Número='00000001', Control='00000001', Impresa=True, "
    "Imprimir=False Where Imprimir=True and Control=null");

struct Figures
{
    std::vector<double> ms;
    QString failure;
};

double percentile(std::vector<double> v, double p)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[std::min(v.size() - 1, size_t(p * double(v.size())))];
}

// One robot, one mode: the latencies of `sales` flags.
Figures measure(const QString &robotPath, const QString &dir, bool wake, int sales,
                const std::function<bool(const QString &)> &makeSales)
{
    Figures f;
    QSettings ini(QDir(dir).filePath(QStringLiteral("robot-fiscal.ini")), QSettings::IniFormat);
    ini.setValue(QStringLiteral("timing/WakeOnChange"), wake ? "yes" : "no");
    ini.sync();
    QSettings sim(QDir(dir).filePath(QStringLiteral("fiscalsim.ini")), QSettings::IniFormat);
    sim.setValue(QStringLiteral("link/Baud"), 0);
    sim.sync();
    const QString location = ini.value(QStringLiteral("database/Url")).toString().isEmpty()
                                 ? QDir(dir).filePath(QStringLiteral("Base de Datos.dba"))
                                 : ini.value(QStringLiteral("database/Url")).toString();
    auto db = db::Database::open(location);
    db->execute(kInvoicesPrinted);
    db->execute(kNotesPrinted);
    // The sales to flag, unflagged copies of the demo's first sale of the
    // machine, made in the engine's own SQL.
    const qint64 first =
        db->openRecordset(QStringLiteral("Select Min(Código) as c from [Consulta VentasAct] "
                                         "Where MáquinaFiscal=1 and Anulada<>true"))
            .field(QStringLiteral("c"))
            .toLongLong();
    const qint64 base = 900000 + (wake ? 0 : 100000);
    QString copies;
    for (int n = 0; n < sales; ++n)
        copies += QStringLiteral(
                      "INSERT INTO \"Ventas\" (\"Código\", \"Cliente\", \"Fecha\", \"Anulada\", "
                      "\"Impresa\", \"Imprimir\", \"Local\", \"MáquinaFiscal\", "
                      "\"PorcentImpuesto\") SELECT %1, \"Cliente\", \"Fecha\", 0, 0, 0, 0, 1, "
                      "\"PorcentImpuesto\" FROM \"Ventas\" WHERE \"Código\" = %2;"
                      "INSERT INTO \"VentasDetalles\" (\"Venta\", \"COD_PROD\", \"Cantidad\", "
                      "\"CantidadDecimal\", \"Precio\", \"Especificación\", \"ExcentoImpuesto\", "
                      "\"NoMostrarEnFactura\", \"Ordenar\") SELECT %1, \"COD_PROD\", \"Cantidad\", "
                      "\"CantidadDecimal\", \"Precio\", \"Especificación\", \"ExcentoImpuesto\", "
                      "0, \"Ordenar\" FROM \"VentasDetalles\" WHERE \"Venta\" = %2;\n")
                      .arg(base + n)
                      .arg(first);
    if (!makeSales(copies))
        return {{}, QStringLiteral("the sales to flag could not be made")};

    QProcess robot;
    robot.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    robot.start(robotPath, {QStringLiteral("--dir"), dir, QStringLiteral("--headless")});
    if (!robot.waitForStarted())
        return {{}, QStringLiteral("the robot did not start")};
    const auto answers = [&] {
        QProcess client;
        client.start(robotPath, {QStringLiteral("--dir"), dir, QStringLiteral("estado")});
        return client.waitForFinished() && client.exitCode() == 0;
    };
    for (QDeadlineTimer up(30000); !answers();) {
        if (up.hasExpired() || robot.state() != QProcess::Running)
            return {{}, QStringLiteral("the robot did not start")};
    }
    // Past the first activation's pause.
    QThread::sleep(6);
    QFile log(QDir(dir).filePath(QStringLiteral("fiscalsim.log")));
    QRandomGenerator random(20261207);
    for (int n = 0; n < sales; ++n) {
        QThread::msleep(200 + random.bounded(2500)); // anywhere in the tick
        const qint64 code = base + n;
        const qint64 from = QFileInfo(log.fileName()).size();
        db->execute(QStringLiteral("Update [Consulta Ventas Edición] Set Imprimir=True Where "
                                   "Código=%1")
                        .arg(code));
        QElapsedTimer since;
        since.start();
        double latency = -1;
        for (QDeadlineTimer deadline(30000); latency < 0 && !deadline.hasExpired();
             QThread::usleep(500)) {
            if (QFileInfo(log.fileName()).size() <= from || !log.open(QIODevice::ReadOnly))
                continue;
            log.seek(from);
            const bool sent = ('\n' + log.readAll()).contains("\nSendCmd\t");
            log.close();
            if (sent)
                latency = since.nsecsElapsed() / 1e6;
        }
        if (latency < 0)
            return {{}, QStringLiteral("sale %1 was not printed within 30 s").arg(code)};
        f.ms.push_back(latency);
        // Its printing over before the next flag.
        while (db->openRecordset(QStringLiteral("Select Impresa from [Consulta VentasAct] Where "
                                                "Código=%1 and Impresa=true")
                                     .arg(code))
                   .recordCount() == 0)
            QThread::msleep(5);
    }
    robot.terminate();
    robot.waitForFinished();
    return f;
}

void show(const char *engine, const char *mode, const Figures &f)
{
    if (!f.failure.isEmpty()) {
        std::printf("  %-10s %-8s FAILED: %s\n", engine, mode, qPrintable(f.failure));
        return;
    }
    std::printf("  %-10s %-8s median %7.1f ms   p90 %7.1f ms   p99 %7.1f ms   max %7.1f ms\n",
                engine, mode, percentile(f.ms, 0.5), percentile(f.ms, 0.9), percentile(f.ms, 0.99),
                percentile(f.ms, 1.0));
}

int run(int argc, char **argv)
{
    const int sales = argc > 1 ? std::atoi(argv[1]) : 200;
    if (sales < 1) {
        std::fprintf(stderr, "usage: flag_latency [SALES]\n");
        return 64;
    }
    const QString simulator = QStringLiteral(FISCALSIM_LIBRARY);
    const QString robotPath = bench::BenchMachine::builtRobot(simulator);
    if (robotPath.isEmpty())
        return 1;
    bench::PostgresServer server;
    if (!server.started())
        return 1;
    QTemporaryDir tmp;
    const QString files = QDir(tmp.path()).filePath(QStringLiteral("sqlite"));
    const QString served = QDir(tmp.path()).filePath(QStringLiteral("postgres"));
    for (const QString &failure :
         {robot::DemoInstallation::create(files, QStringLiteral("HKA"), simulator),
          robot::DemoInstallation::create(served, QStringLiteral("HKA"), simulator,
                                          server.createDatabase(QStringLiteral("ventas")))}) {
        if (!failure.isEmpty()) {
            std::fprintf(stderr, "%s\n", qPrintable(failure));
            return 1;
        }
    }
    std::printf("%d sales flagged one at a time, flag's commit to the first printer command:\n",
                sales);
    bool met = true;
    for (const auto &[engine, dir] :
         {std::pair{"SQLite", files}, std::pair{"PostgreSQL", served}}) {
        const auto makeSales = [&, dir = dir](const QString &sql) {
            if (dir == served)
                return server.exec(QStringLiteral("ventas"), sql);
            bench::SqliteConnection(QDir(dir).filePath(QStringLiteral("Base de Datos.dba")))
                .exec(sql.toUtf8().constData());
            return true;
        };
        const Figures woken = measure(robotPath, dir, true, sales, makeSales);
        const Figures ticks = measure(robotPath, dir, false, sales, makeSales);
        show(engine, "woken", woken);
        show(engine, "ticks", ticks);
        met = met && woken.failure.isEmpty() && percentile(woken.ms, 0.5) < 50 &&
              percentile(woken.ms, 0.99) < 250;
        std::fflush(stdout);
    }
    std::printf("machine: load average %s at the end\n",
                bench::BenchMachine::loadAverage().constData());
    std::printf("goal: median under 50 ms and 99th percentile under 250 ms on each engine: %s\n",
                met ? "met" : "MISSED");
    return met ? 0 : 1;
}

} // namespace

int main(int argc, char **argv)
{
    return bench::PostgresServer::main(argc, argv, run);
}
