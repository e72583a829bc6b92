// Refresh of the pending-invoice list source (Data5) on main databases of
// growing sales history: the query, the record count and the VistaEspecial
// texts, as every polling tick does them. 20 sales wait; the rest are printed.
// With --postgres the main database is a PostgreSQL database on a throwaway
// server, reached over its Unix socket.
//
//   list_refresh [--postgres] [SALES...]     default: 10000 100000 1000000
//
// Figures and the machine they came from: bench/README.md.
#include "db/DataError.h"
#include "db/Database.h"
#include "db/ListSource.h"
#include "db/Schema.h"
#include "db/SqlTexts.h"
#include "support/BenchMachine.h"
#include "support/PostgresServer.h"
#include "support/SalesHistory.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {

constexpr int kPending = 20;
constexpr int kRuns = 1000;

struct Figures
{
    double median = 0, p90 = 0, min = 0;
};

Figures summarise(std::vector<double> us)
{
    std::sort(us.begin(), us.end());
    return {us[us.size() / 2], us[us.size() * 9 / 10], us.front()};
}

int run(int argc, char **argv)
{
    std::vector<int> sizes;
    bool postgres = false;
    for (int i = 1; i < argc; ++i) {
        if (qstrcmp(argv[i], "--postgres") == 0)
            postgres = true;
        else
            sizes.push_back(std::atoi(argv[i]));
    }
    if (sizes.empty())
        sizes = {10000, 100000, 1000000};
    std::unique_ptr<bench::PostgresServer> server;
    if (postgres) {
        server = std::make_unique<bench::PostgresServer>();
        if (!server->started())
            return 1;
    }

    std::printf("%s\n", postgres ? "PostgreSQL, Unix socket" : "SQLite file");
    std::printf("%10s %10s %10s %10s %10s %12s %14s\n", "sales", "build s", "median us", "p90 us",
                "min us", "first us", "reopen med us");
    std::vector<double> medians;
    for (int sales : sizes) {
        QTemporaryDir dir;
        QString path = QDir(dir.path()).filePath(QStringLiteral("Base de Datos.dba"));
        QElapsedTimer buildTimer;
        buildTimer.start();
        bench::SalesHistory history(sales);
        history.setPending(kPending);
        if (server) {
            const QString name = QStringLiteral("ventas_%1").arg(sales);
            path = server->createDatabase(name);
            db::Schema::createPostgresDatabase(path, {db::Schema::mainSchema()});
            if (!server->exec(name, history.postgresSql()) ||
                !server->exec(name, QStringLiteral("VACUUM ANALYZE")))
                return 1;
        } else {
            history.build(path);
        }
        const double buildSeconds = buildTimer.nsecsElapsed() / 1e9;

        db::ListSource data5;
        data5.setDatabaseName(path);
        data5.setRecordSource(db::SqlTexts::pendingInvoices(1));
        QElapsedTimer timer;
        // The first refresh opens the connection and reads the schema.
        timer.start();
        data5.refresh();
        const double first = timer.nsecsElapsed() / 1e3;

        for (int run = 0; run < kRuns / 10; ++run)
            data5.refresh();

        std::vector<double> us;
        us.reserve(kRuns);
        qsizetype shown = 0;
        for (int run = 0; run < kRuns; ++run) {
            timer.restart();
            data5.refresh();
            const int count = data5.recordCount();
            const QStringList lines = data5.displayLines();
            us.push_back(timer.nsecsElapsed() / 1e3);
            shown += lines.size();
            if (count != kPending) {
                std::fprintf(stderr, "expected %d pending sales, found %d\n", kPending, count);
                return 1;
            }
        }
        const Figures f = summarise(us);

        // A job's own connection: opened, queried and closed each time.
        std::vector<double> reopen;
        for (int run = 0; run < kRuns / 10; ++run) {
            timer.restart();
            auto db = db::Database::open(path);
            const db::RecordSet rs = db->openRecordset(db::SqlTexts::pendingInvoices(1));
            db->close();
            reopen.push_back(timer.nsecsElapsed() / 1e3);
        }
        std::printf("%10d %10.1f %10.1f %10.1f %10.1f %12.1f %14.1f\n", sales, buildSeconds,
                    f.median, f.p90, f.min, first, summarise(reopen).median);
        std::fflush(stdout);
        medians.push_back(f.median);
        if (shown != qsizetype(kPending) * kRuns)
            return 1;
    }
    if (medians.size() > 1) {
        std::printf("\nlargest/smallest median: %.2f (goal < 2)\n",
                    medians.back() / medians.front());
        std::printf("largest median %.1f us (goal < 1000 us)\n", medians.back());
        std::printf("load average %s\n", bench::BenchMachine::loadAverage().constData());
    }
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    return bench::PostgresServer::main(argc, argv, run);
}
