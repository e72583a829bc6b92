// Refresh of the pending-invoice list source (Data5) on main databases of
// growing sales history: the query, the record count and the VistaEspecial
// texts, as every polling tick does them. 20 sales wait; the rest are printed.
//
//   list_refresh [SALES...]     default: 10000 100000 1000000
//
// Figures and the machine they came from: bench/README.md.
#include "robot/Database.h"
#include "robot/ListSource.h"
#include "robot/Schema.h"
#include "robot/SqlTexts.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <sqlite3.h>
#include <vector>

namespace {

constexpr int kPending = 20;
constexpr int kDetailsPerSale = 5;
constexpr int kCustomers = 2000;
constexpr int kProducts = 500;
constexpr int kRuns = 1000;

void check(int rc, sqlite3 *db, const char *what)
{
    if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW) {
        std::fprintf(stderr, "%s: %s\n", what, sqlite3_errmsg(db));
        std::exit(1);
    }
}

sqlite3_stmt *prepare(sqlite3 *db, const char *sql)
{
    sqlite3_stmt *stmt = nullptr;
    check(sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr), db, sql);
    return stmt;
}

void step(sqlite3 *db, sqlite3_stmt *stmt)
{
    check(sqlite3_step(stmt), db, "insert");
    sqlite3_reset(stmt);
}

// The shipped schema filled in one transaction with prepared statements.
void build(const QString &path, int sales)
{
    robot::Schema::createDatabase(path, {robot::Schema::mainSchema()});
    sqlite3 *db = nullptr;
    check(sqlite3_open(path.toUtf8().constData(), &db), db, "open");
    // Only while generating: the file is ours and a crash just means a rerun.
    check(sqlite3_exec(db, "PRAGMA synchronous=OFF; PRAGMA journal_mode=MEMORY; BEGIN;", nullptr,
                       nullptr, nullptr),
          db, "begin");

    sqlite3_stmt *customer = prepare(db, "INSERT INTO \"Clientes\" VALUES (?, ?, ?, ?, ?)");
    for (int i = 1; i <= kCustomers; ++i) {
        const QByteArray name = QStringLiteral("Cliente Número %1, C.A.").arg(i).toUtf8();
        const QByteArray rif = QStringLiteral("J%1").arg(300000000 + i).toUtf8();
        sqlite3_bind_int(customer, 1, i);
        sqlite3_bind_text(customer, 2, name.constData(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(customer, 3, rif.constData(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(customer, 4,
                          "Av. Principal de Los Ruices, Edif. Centro Empresarial, Caracas", -1,
                          SQLITE_STATIC);
        sqlite3_bind_text(customer, 5, "0212-5550000", -1, SQLITE_STATIC);
        step(db, customer);
    }
    sqlite3_finalize(customer);

    sqlite3_stmt *product = prepare(db, "INSERT INTO \"Productos\" VALUES (?, ?, ?, ?)");
    for (int i = 1; i <= kProducts; ++i) {
        const QByteArray code = QStringLiteral("P%1").arg(i, 5, 10, QLatin1Char('0')).toUtf8();
        const QByteArray name = QStringLiteral("Producto de prueba número %1").arg(i).toUtf8();
        sqlite3_bind_text(product, 1, code.constData(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(product, 2, name.constData(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_double(product, 3, 10.0 + i);
        sqlite3_bind_int(product, 4, i % 7 == 0 ? -1 : 0);
        step(db, product);
    }
    sqlite3_finalize(product);

    sqlite3_stmt *sale = prepare(
        db,
        "INSERT INTO \"Ventas\" (\"Código\", \"Cliente\", \"Fecha\", \"Impresa\", \"Imprimir\", "
        "\"Control\", \"MáquinaFiscal\", \"Factura\", \"NúmeroZ\", \"PorcentImpuesto\", "
        "\"FormaPago\", \"Total\") VALUES (?, ?, '2026-01-01 10:00:00', ?, ?, ?, ?, ?, ?, "
        "0.16, 1, 100)");
    sqlite3_stmt *detail =
        prepare(db, "INSERT INTO \"VentasDetalles\" (\"Venta\", \"COD_PROD\", \"Cantidad\", "
                    "\"CantidadDecimal\", \"Precio\", \"ExcentoImpuesto\", \"Ordenar\") "
                    "VALUES (?, ?, 1, 1, 20, 0, ?)");
    const int every = std::max(1, sales / kPending);
    for (int code = 1; code <= sales; ++code) {
        // The waiting sales are spread over the whole history.
        const bool pending = code % every == 0 && code / every <= kPending;
        const QByteArray number = QStringLiteral("%1").arg(code, 8, 10, QLatin1Char('0')).toUtf8();
        sqlite3_bind_int(sale, 1, code);
        sqlite3_bind_int(sale, 2, 1 + code % kCustomers);
        sqlite3_bind_int(sale, 3, pending ? 0 : -1);
        sqlite3_bind_int(sale, 4, pending ? -1 : 0);
        if (pending) {
            sqlite3_bind_null(sale, 5);
            sqlite3_bind_null(sale, 7);
        } else {
            sqlite3_bind_text(sale, 5, number.constData(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_text(sale, 7, number.constData(), -1, SQLITE_TRANSIENT);
        }
        // Three registers share the file; the waiting sales are this one's.
        sqlite3_bind_int(sale, 6, pending ? 1 : 1 + code % 3);
        sqlite3_bind_int(sale, 8, 1 + code / 500);
        step(db, sale);
        for (int k = 1; k <= kDetailsPerSale; ++k) {
            char productCode[8];
            std::snprintf(productCode, sizeof productCode, "P%05d", 1 + (code * 7 + k) % kProducts);
            sqlite3_bind_int(detail, 1, code);
            sqlite3_bind_text(detail, 2, productCode, -1, SQLITE_TRANSIENT);
            sqlite3_bind_int(detail, 3, k);
            step(db, detail);
        }
    }
    sqlite3_finalize(sale);
    sqlite3_finalize(detail);
    check(sqlite3_exec(db, "COMMIT;", nullptr, nullptr, nullptr), db, "commit");
    sqlite3_close(db);
}

struct Figures
{
    double median = 0, p90 = 0, min = 0;
};

Figures summarise(std::vector<double> us)
{
    std::sort(us.begin(), us.end());
    return {us[us.size() / 2], us[us.size() * 9 / 10], us.front()};
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    std::vector<int> sizes;
    for (int i = 1; i < argc; ++i)
        sizes.push_back(std::atoi(argv[i]));
    if (sizes.empty())
        sizes = {10000, 100000, 1000000};

    std::printf("%10s %10s %10s %10s %10s %12s %14s\n", "sales", "build s", "median us", "p90 us",
                "min us", "first us", "reopen med us");
    std::vector<double> medians;
    for (int sales : sizes) {
        QTemporaryDir dir;
        const QString path = QDir(dir.path()).filePath(QStringLiteral("Base de Datos.dba"));
        QElapsedTimer buildTimer;
        buildTimer.start();
        build(path, sales);
        const double buildSeconds = buildTimer.nsecsElapsed() / 1e9;

        robot::ListSource data5;
        data5.setDatabaseName(path);
        data5.setRecordSource(robot::SqlTexts::facturasPendientes(1));
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
            const QStringList lines = data5.vistaEspecial();
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
            auto db = robot::Database::open(path);
            const robot::RecordSet rs = db->openRecordset(robot::SqlTexts::facturasPendientes(1));
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
    }
    return 0;
}
