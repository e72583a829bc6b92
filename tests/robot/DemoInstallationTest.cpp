#include "robot/DemoInstallation.h"
#include "db/Database.h"
#include "db/SqlTexts.h"
#include "robot/Startup.h"
#include "support/RecordingWindow.h"
#include "support/SqliteFile.h"
#include "support/TestDir.h"

#include <QDir>
#include <QSettings>
#include <gtest/gtest.h>

using db::Database;
using db::RecordSet;
using db::SqlTexts;
using robot::DemoInstallation;
using testsupport::SqliteFile;
using testsupport::TestDir;

namespace {

QList<qlonglong> codes(RecordSet rs)
{
    QList<qlonglong> out;
    for (; !rs.eof(); rs.moveNext())
        out << rs.field(QStringLiteral("Código")).toLongLong();
    return out;
}

TEST(DemoInstallation, StartsUpAndHoldsWhatTheJobsPrint)
{
    TestDir dir;
    const QString demo = dir.file(QStringLiteral("demo, con coma"));
    ASSERT_EQ(DemoInstallation::create(demo, QStringLiteral("DASCOM"),
                                       QStringLiteral("/opt/sim/libfiscalsim.so")),
              QString());

    // The robot's own start-up reads it.
    testsupport::RecordingWindow window;
    core::RobotState state;
    core::Settings settings;
    db::ListSources lists;
    robot::Startup startup(state, settings, lists, window);
    ASSERT_EQ(startup.run(demo), robot::Startup::Running) << qPrintable(window.messages.join('\n'));
    EXPECT_EQ(state.TipoImpresora, core::PrinterType::Dascom);
    EXPECT_EQ(state.Caja, 1);
    EXPECT_EQ(state.Serial, QStringLiteral("Z1B1234567"));
    EXPECT_EQ(settings.driverLibrary, QStringLiteral("/opt/sim/libfiscalsim.so"));
    QSettings sim(QDir(demo).filePath(QStringLiteral("fiscalsim.ini")), QSettings::IniFormat);
    EXPECT_EQ(sim.value(QStringLiteral("printer/Type")).toString(), QStringLiteral("DASCOM"));
    EXPECT_EQ(sim.value(QStringLiteral("printer/Rates")).toStringList(),
              (QStringList{QStringLiteral("16"), QStringLiteral("8"), QStringLiteral("31")}));

    for (db::ListSource *s : {&lists.Data3, &lists.Data5, &lists.Data6, &lists.Data7})
        s->refresh();
    EXPECT_EQ(codes(lists.Data5.recordset()),
              (QList<qlonglong>{1041, 1042, 1043, 1044, 1045, 1046, 1047, 1048, 1049, 1050}));
    EXPECT_EQ(codes(lists.Data6.recordset()), (QList<qlonglong>{203, 204, 205}));
    EXPECT_EQ(lists.Data7.recordCount(), 2);
    EXPECT_EQ(lists.Data3.recordset().text(QStringLiteral("RIFCompañía")),
              QStringLiteral("J306587412"));
    for (const QString &line : lists.Data5.vistaEspecial() + lists.Data6.vistaEspecial())
        EXPECT_FALSE(line.isEmpty());

    auto db = Database::open(state.RutaBaseDatos);
    const RecordSet rates = db->openRecordset(SqlTexts::configuracion2());
    EXPECT_EQ(rates.number(QStringLiteral("TasaMaqFiscal1")), 16.0);
    EXPECT_EQ(rates.number(QStringLiteral("TasaMaqFiscal2")), 8.0);
    EXPECT_EQ(rates.number(QStringLiteral("TasaMaqFiscal3")), 31.0);

    int discounted = 0, withExempt = 0, withDecimals = 0;
    QSet<qlonglong> means;
    for (qlonglong sale : codes(lists.Data5.recordset())) {
        SCOPED_TRACE(sale);
        const RecordSet header = db->openRecordset(SqlTexts::encabezadoFactura(sale));
        discounted += header.number(QStringLiteral("Desc01")).value_or(0) > 0;
        RecordSet items = db->openRecordset(SqlTexts::detalleFactura(sale));
        EXPECT_GT(items.recordCount(), 0);
        bool exempt = false, decimals = false;
        for (; !items.eof(); items.moveNext()) {
            exempt = exempt || RecordSet::isTrue(items.field(QStringLiteral("ExcentoImpuesto")));
            const double q = items.number(QStringLiteral("CantDec")).value_or(0);
            decimals = decimals || q != std::floor(q);
            EXPECT_LE(items.text(QStringLiteral("Nombre")).size(), 40);
        }
        withExempt += exempt;
        withDecimals += decimals;
        // On a DASCOM printer the payments close the invoice: they must add up.
        RecordSet payments = db->openRecordset(SqlTexts::abonosVenta(sale));
        double paid = 0;
        for (; !payments.eof(); payments.moveNext()) {
            paid += *payments.number(QStringLiteral("Monto"));
            means << payments.field(QStringLiteral("TipoMecanismo")).toLongLong();
        }
        const double total =
            *db->openRecordset(
                   QStringLiteral("Select Total from [Consulta VentasAct] Where Código=") +
                   QString::number(sale))
                 .number(QStringLiteral("Total"));
        EXPECT_NEAR(paid, total, 0.001);
    }
    EXPECT_GE(discounted, 2);
    EXPECT_GE(withExempt, 2);
    EXPECT_GE(withDecimals, 2);
    EXPECT_GE(means.size(), 5);

    // Credit notes name an invoice that was printed; one has no detail rows.
    QList<int> lines;
    for (qlonglong note : codes(lists.Data6.recordset())) {
        const RecordSet header = db->openRecordset(SqlTexts::encabezadoNotaCredito(note));
        EXPECT_FALSE(header.text(QStringLiteral("Factura")).isEmpty());
        EXPECT_TRUE(header.dateTime(QStringLiteral("FechaVenta")).has_value());
        lines << db->openRecordset(SqlTexts::detalleNotaCredito(note)).recordCount();
    }
    EXPECT_TRUE(lines.contains(0));
    EXPECT_GE(std::count_if(lines.begin(), lines.end(), [](int n) { return n > 0; }), 2);

    // Start-up's purge clears exactly the old printed tickets.
    auto local = Database::open(state.RutaBaseLocal);
    local->execute(SqlTexts::purgaTickets(QDate::currentDate(), settings.shortDateFormat));
    SqliteFile tickets(QDir(demo).filePath(QStringLiteral("Vextora.dba")));
    EXPECT_EQ(tickets.column(QStringLiteral("SELECT Código FROM TiketNoFiscal ORDER BY 1")),
              (QVariantList{5, 6, 7, 8, 9}));
}

TEST(DemoInstallation, RefusesANonEmptyDirectoryAndUnknownPrinters)
{
    TestDir dir;
    const QString used = dir.file(QStringLiteral("usado"));
    dir.write(QStringLiteral("usado/.oculto"), "x");
    const QString fresh = dir.file(QStringLiteral("nuevo"));
    const struct
    {
        QString dir;
        QString type;
    } cases[] = {
        {used, QStringLiteral("HKA")},
        {dir.file(QStringLiteral("usado/.oculto")), QStringLiteral("HKA")},
        {fresh, QStringLiteral("hka")},
        {fresh, QStringLiteral("EPSON")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(qPrintable(c.dir + QLatin1Char(' ') + c.type));
        EXPECT_FALSE(DemoInstallation::create(c.dir, c.type, QStringLiteral("/x.so")).isEmpty());
    }
    EXPECT_EQ(QDir(used).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
              QStringList{QStringLiteral(".oculto")});
    EXPECT_FALSE(QFileInfo::exists(fresh));
}

} // namespace
