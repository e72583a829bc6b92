// One 20-item invoice printed by ImprimirFactura on a main database of a
// long sales history, on the simulated printer: first the job's own time with
// a link that takes no time (Baud=0), then its time at 9600 baud against the
// line time of the bytes it sends. The robot's clock runs at scale 0, so the
// job makes no pauses.
//
//   invoice_job [SALES [RUNS [LINE_RUNS]]]     default: 100000 300 15
//
// Figures and the machine they came from: bench/README.md.
#include "core/Clock.h"
#include "core/CodePage.h"
#include "core/PollingTimer.h"
#include "core/RobotState.h"
#include "core/Settings.h"
#include "db/ListSources.h"
#include "db/PrintJournal.h"
#include "db/SqlTexts.h"
#include "documents/InvoiceJob.h"
#include "documents/JobContext.h"
#include "headless/HeadlessWindow.h"
#include "printer/DriverLibrary.h"
#include "printer/PrinterLink.h"
#include "support/BenchMachine.h"
#include "support/SalesHistory.h"
#include "support/SqliteConnection.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

constexpr int kItems = 20;
constexpr int kWarmUp = 20;
// STX, ETX, check byte and the printer's ACK around every call.
constexpr int kFraming = 4;
constexpr int kBaud = 9600;

// The company, its tax rates and payment terms, which the invoice prints.
void addCompany(const QString &path)
{
    const bench::SqliteConnection db(path);
    db.exec("INSERT INTO \"Configuración\" VALUES (1, 'Distribuidora El Samán, C.A.', "
            "'J306587412', 'Av. Francisco de Miranda, Caracas', '0212-2856614', -1, 0, 0);"
            "INSERT INTO \"Configuración2\" VALUES (1, 16, 8, 31);"
            "INSERT INTO \"FormasPago\" VALUES (1, 'Contado'), (2, 'Crédito 15 días');");
}

// The administrative system adding a sale for this register while the robot
// runs: its own connection, its own transaction, the file's normal syncing.
class Till
{
public:
    explicit Till(const QString &path) : m_db(path)
    {
        m_sale =
            m_db.prepare("INSERT INTO \"Ventas\" (\"Código\", \"Cliente\", \"Fecha\", \"Impresa\", "
                         "\"Imprimir\", \"MáquinaFiscal\", \"PorcentImpuesto\", \"Desc01\", "
                         "\"FormaPago\", \"CampoTextoAdic02\") VALUES (?, ?, "
                         "'2026-12-06 20:15:00', 0, -1, 1, 0.16, 5, 2, 'Operador 1')");
        m_detail = m_db.prepare("INSERT INTO \"VentasDetalles\" (\"Venta\", \"COD_PROD\", "
                                "\"Cantidad\", \"CantidadDecimal\", \"Precio\", "
                                "\"Especificación\", \"ExcentoImpuesto\", \"Ordenar\") "
                                "VALUES (?, ?, ?, ?, ?, ?, ?, ?)");
        m_printed = m_db.prepare("SELECT \"Factura\" FROM \"Ventas\" WHERE \"Código\" = ? AND "
                                 "\"Impresa\" = -1 AND \"Imprimir\" = 0");
    }
    ~Till()
    {
        sqlite3_finalize(m_sale);
        sqlite3_finalize(m_detail);
        sqlite3_finalize(m_printed);
    }

    void addSale(int code)
    {
        m_db.exec("BEGIN");
        sqlite3_bind_int(m_sale, 1, code);
        sqlite3_bind_int(m_sale, 2, 1 + code % bench::SalesHistory::kCustomers);
        m_db.step(m_sale);
        for (int k = 1; k <= kItems; ++k) {
            char productCode[8];
            std::snprintf(productCode, sizeof productCode, "P%05d",
                          1 + (code * 11 + k) % bench::SalesHistory::kProducts);
            sqlite3_bind_int(m_detail, 1, code);
            sqlite3_bind_text(m_detail, 2, productCode, -1, SQLITE_TRANSIENT);
            sqlite3_bind_double(m_detail, 3, k % 4 + 1);
            sqlite3_bind_double(m_detail, 4, (k % 4 + 1) * 1.25);
            sqlite3_bind_double(m_detail, 5, 12.5 * k);
            if (k % 5 == 0)
                sqlite3_bind_text(m_detail, 6, "lote 2026-12", -1, SQLITE_STATIC);
            else
                sqlite3_bind_null(m_detail, 6);
            sqlite3_bind_int(m_detail, 7, k % 6 == 0 ? -1 : 0);
            sqlite3_bind_int(m_detail, 8, k);
            m_db.step(m_detail);
        }
        m_db.exec("COMMIT");
    }

    // The sale's invoice number once the robot has recorded it, else empty.
    QString printed(int code)
    {
        sqlite3_bind_int(m_printed, 1, code);
        QString number;
        if (sqlite3_step(m_printed) == SQLITE_ROW && sqlite3_column_text(m_printed, 0))
            number = QString::fromUtf8(
                reinterpret_cast<const char *>(sqlite3_column_text(m_printed, 0)));
        sqlite3_reset(m_printed);
        return number;
    }

private:
    bench::SqliteConnection m_db;
    sqlite3_stmt *m_sale = nullptr;
    sqlite3_stmt *m_detail = nullptr;
    sqlite3_stmt *m_printed = nullptr;
};

// The driver with the time spent inside its entries added up, to tell the
// printer's (here the simulator's) share of a job from the robot's.
class TimedDriver : public printer::Driver
{
public:
    explicit TimedDriver(printer::Driver &inner) : m_inner(inner) { m_timer.start(); }

    int OpenFpctrl(const char *port) override
    {
        return timed([&] { return m_inner.OpenFpctrl(port); });
    }
    int CloseFpctrl() override
    {
        return timed([&] { return m_inner.CloseFpctrl(); });
    }
    int SendCmd(int *status, int *error, const char *command) override
    {
        return timed([&] { return m_inner.SendCmd(status, error, command); });
    }
    int UploadStatusCmd(int *status, int *error, const char *command, const char *file) override
    {
        return timed([&] { return m_inner.UploadStatusCmd(status, error, command, file); });
    }
    int UploadReportCmd(int *status, int *error, const char *command, const char *file) override
    {
        return timed([&] { return m_inner.UploadReportCmd(status, error, command, file); });
    }

    qint64 nanos = 0;
    int calls = 0;

private:
    template <typename F> int timed(F f)
    {
        const qint64 start = m_timer.nsecsElapsed();
        const int r = f();
        nanos += m_timer.nsecsElapsed() - start;
        ++calls;
        return r;
    }

    printer::Driver &m_inner;
    QElapsedTimer m_timer;
};

// The headless window, its event lines kept instead of written out.
class BenchWindow : public headless::HeadlessWindow
{
public:
    void messageBox(const QString &text) override
    {
        ++messages;
        HeadlessWindow::messageBox(text);
    }
    void documentEvent(const core::DocumentEvent &event) override { last = event; }

    core::DocumentEvent last;
    int messages = 0;
};

// What the calls in a stretch of fiscalsim.log put on an 8N1 line: each
// call's bytes plus the framing, an upload's answer too, 10 bits a byte.
struct Line
{
    qint64 bytes = 0;
    int calls = 0;
    double seconds(int baud) const { return bytes * 10.0 / baud; }
};

Line lineOf(const QByteArray &logText, const QString &codePage)
{
    QStringEncoder encode(codePage.toLatin1().constData());
    auto size = [&](const QString &text) { return QByteArray(encode(text)).size(); };
    Line line;
    for (const QString &entry : QString::fromUtf8(logText).split(QLatin1Char('\n'))) {
        if (entry.isEmpty())
            continue;
        const QStringList f = entry.split(QLatin1Char('\t'));
        const QString &call = f.value(0);
        qint64 bytes = kFraming;
        if (call == QLatin1String("OpenFpctrl") || call == QLatin1String("SendCmd")) {
            bytes += size(f.value(1));
        } else if (call.startsWith(QLatin1String("Upload"))) {
            bytes += size(f.value(1));
            // The answer file is rewritten whole by every upload into it; its
            // length is fixed for a command (S1: one 75-byte line).
            if (f.value(3) == QLatin1String("1"))
                bytes += QFileInfo(f.value(2)).size();
        } else if (call != QLatin1String("CloseFpctrl")) {
            std::fprintf(stderr, "unknown call in fiscalsim.log: %s\n", qPrintable(entry));
            std::exit(1);
        }
        line.bytes += bytes;
        ++line.calls;
    }
    return line;
}

void writeSimulatorSettings(const QDir &dir, int baud)
{
    QFile ini(dir.filePath(QStringLiteral("fiscalsim.ini")));
    if (!ini.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(ini.fileName()));
        std::exit(1);
    }
    ini.write(QStringLiteral("[printer]\nType=HKA\nSerial=Z1B1234567\nCodePage=windows-1252\n"
                             "Rates=16,8,31\n\n[link]\nBaud=%1\n")
                  .arg(baud)
                  .toLatin1());
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

double percentile(std::vector<double> v, int p)
{
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, v.size() * p / 100)];
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int sales = argc > 1 ? std::atoi(argv[1]) : 100000;
    const int runs = argc > 2 ? std::atoi(argv[2]) : 300;
    const int lineRuns = argc > 3 ? std::atoi(argv[3]) : 15;
    if (sales < 1 || runs < 1 || lineRuns < 1) {
        std::fprintf(stderr, "usage: invoice_job [SALES [RUNS [LINE_RUNS]]]\n");
        return 64;
    }

    QTemporaryDir tmp;
    const QDir dir(tmp.path());
    // The simulator works in the current directory, the program directory.
    QDir::setCurrent(dir.path());
    writeSimulatorSettings(dir, 0);
    const QString dbPath = dir.filePath(QStringLiteral("Base de Datos.dba"));
    QElapsedTimer timer;
    timer.start();
    bench::SalesHistory history(sales);
    // Long enough for line i02 and an address over two lines.
    history.setCustomer(QStringLiteral("Inversiones Peñalver & Asociados Número %1, C.A."),
                        "Calle Los Jabillos, Qta. María Eugenia, Nº 14, Urb. La Florida, Caracas",
                        "0212-7315590");
    history.setProductName(QStringLiteral("Café molido tostado, añejo, número %1 de 500 g"));
    history.build(dbPath);
    addCompany(dbPath);
    std::printf("main database: %d sales, built in %.1f s; load average %s\n", sales,
                timer.nsecsElapsed() / 1e9, bench::BenchMachine::loadAverage().constData());

    QString error;
    auto library =
        printer::DriverLibrary::load(QStringLiteral(FISCALSIM_LIBRARY), dir.path(), &error);
    if (!library) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    TimedDriver driver(*library);

    core::RobotState state;
    state.RutaPrograma = dir.path();
    state.RutaBaseDatos = dir.path() + QStringLiteral("\\Base de Datos.dba");
    state.TipoImpresora = core::PrinterType::Hka;
    state.Serial = QStringLiteral("Z1B1234567");
    state.Puerto = QStringLiteral("COM1");
    state.Caja = 1;
    state.TasaMaqFiscal1 = 16.0;
    state.TasaMaqFiscal2 = 8.0;
    state.TasaMaqFiscal3 = 31.0;
    state.ModoCantidad = 1;
    core::Settings settings;
    settings.timingScale = 0.0;
    db::ListSources lists;
    lists.Data5.setDatabaseName(state.RutaBaseDatos);
    lists.Data5.setRecordSource(db::SqlTexts::pendingInvoices(state.Caja));
    lists.Data6.setDatabaseName(state.RutaBaseDatos);
    lists.Data6.setRecordSource(db::SqlTexts::pendingCreditNotes(state.Caja));
    core::Clock clock(settings.timingScale);
    core::PollingTimer timer1(clock);
    const core::CodePage codePage(settings.codePage);
    BenchWindow window;
    printer::PrinterLink link(driver, window, timer1, codePage, state.Puerto);
    // The job as the robot runs it: with its print journal.
    db::PrintJournal journal(state.RutaPrograma, clock);
    documents::JobContext ctx{state, settings,    window,      link,    timer1,
                              clock, lists.Data5, lists.Data6, &journal};

    Till till(dbPath);
    int code = sales;
    QFile log(dir.filePath(QStringLiteral("fiscalsim.log")));

    // One invoice: a new sale, the tick's refresh of the list, then the job
    // timed alone. Returns the job's seconds and sets the driver's share.
    auto printOne = [&](double *driverSeconds) {
        till.addSale(++code);
        lists.Data5.refresh();
        if (lists.Data5.recordCount() != 1) {
            std::fprintf(stderr, "sale %d: %d sales waiting, expected 1\n", code,
                         lists.Data5.recordCount());
            std::exit(1);
        }
        const qint64 driverBefore = driver.nanos;
        QElapsedTimer job;
        job.start();
        documents::InvoiceJob(ctx).ImprimirFactura();
        const double seconds = job.nsecsElapsed() / 1e9;
        *driverSeconds = (driver.nanos - driverBefore) / 1e9;
        if (window.messages != 0 || window.last.kind != core::DocumentEvent::Kind::Printed ||
            window.last.code != code || till.printed(code).isEmpty()) {
            std::fprintf(stderr, "sale %d was not printed and recorded\n", code);
            std::exit(1);
        }
        return seconds;
    };

    // Baud=0: the job's own time.
    double ignored = 0;
    for (int i = 0; i < kWarmUp; ++i)
        printOne(&ignored);
    std::vector<double> ms, driverMs, robotMs;
    const int callsBefore = driver.calls;
    for (int i = 0; i < runs; ++i) {
        double inDriver = 0;
        ms.push_back(printOne(&inDriver) * 1e3);
        driverMs.push_back(inDriver * 1e3);
        robotMs.push_back(ms.back() - driverMs.back());
    }
    const double callsPerJob = double(driver.calls - callsBefore) / runs;
    std::printf("\nBaud=0, %d invoices of %d items (%.0f driver calls each):\n", runs, kItems,
                callsPerJob);
    std::printf("  job      median %.2f ms  p90 %.2f ms  min %.2f ms  max %.2f ms\n", median(ms),
                percentile(ms, 90), *std::min_element(ms.begin(), ms.end()),
                *std::max_element(ms.begin(), ms.end()));
    std::printf(
        "  in driver median %.2f ms (the simulator), outside it median %.2f ms (the robot)\n",
        median(driverMs), median(robotMs));
    std::printf("  goal: median under 5 ms: %s\n", median(ms) < 5.0 ? "met" : "MISSED");

    // Baud=9600: the job against the line time of what it sent.
    writeSimulatorSettings(dir, kBaud);
    std::vector<double> jobS, lineS, overhead, driverS, outsideS;
    Line last;
    for (int i = 0; i < lineRuns; ++i) {
        if (!log.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "no fiscalsim.log\n");
            return 1;
        }
        const qint64 from = log.size();
        log.close();
        double inDriver = 0;
        const double seconds = printOne(&inDriver);
        if (!log.open(QIODevice::ReadOnly))
            return 1;
        log.seek(from);
        last = lineOf(log.readAll(), settings.codePage);
        log.close();
        const double lineSeconds = last.seconds(kBaud);
        jobS.push_back(seconds);
        lineS.push_back(lineSeconds);
        driverS.push_back(inDriver - lineSeconds);
        outsideS.push_back(seconds - inDriver);
        overhead.push_back((seconds - lineSeconds) / lineSeconds * 100.0);
    }
    std::printf("\nBaud=%d, %d invoices: %d calls, %lld bytes on the line each\n", kBaud, lineRuns,
                last.calls, static_cast<long long>(last.bytes));
    std::printf("  job      median %.1f ms\n", median(jobS) * 1e3);
    std::printf("  line     median %.1f ms\n", median(lineS) * 1e3);
    // Where the overhead goes: the driver's calls beyond their line time, and
    // the robot's own work between them.
    std::printf("  in driver beyond the line median %.1f ms, outside the driver median %.1f ms\n",
                median(driverS) * 1e3, median(outsideS) * 1e3);
    std::printf("  overhead median %.2f %%  max %.2f %%\n", median(overhead),
                *std::max_element(overhead.begin(), overhead.end()));
    std::printf("  goal: within 1 %% of the line time: %s\n",
                *std::max_element(overhead.begin(), overhead.end()) < 1.0 ? "met" : "MISSED");
    std::printf("\nload average at the end: %s\n", bench::BenchMachine::loadAverage().constData());
    return 0;
}
