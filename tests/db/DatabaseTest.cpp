// The database layer on what is SQLite's own: opening files, the values a
// file keeps in a typed column. What the robot's SQL does on either engine:
// MainDatabaseTest.
#include "db/Database.h"
#include "db/DataError.h"
#include "db/Schema.h"
#include "db/SqlTexts.h"
#include "support/ErrorOf.h"
#include "support/QtPrinters.h"
#include "support/TestDir.h"

#include <QDir>
#include <functional>
#include <gtest/gtest.h>

using db::Database;
using db::DataError;
using db::SqlTexts;
using testsupport::errorOf;
using testsupport::TestDir;

namespace {

QString created(const QString &path, const QString &schema, const QString &rows)
{
    db::Schema::createDatabase(path, {schema, rows});
    return path;
}

TEST(Database, OpensOnlyAnExistingDatabaseFileAndNeverCreatesOne)
{
    TestDir dir;
    QDir().mkpath(dir.file(QStringLiteral("sub")));
    dir.write(QStringLiteral("texto.dba"), QByteArray("Datos:F:\\Comun\\\r\n").repeated(200));
    dir.write(QStringLiteral("roto.dba"),
              QByteArray("SQLite format 3", 16) + QByteArray(4000, 'x'));
    for (const char *name : {"nada.dba", "sub", "", "texto.dba", "roto.dba"}) {
        const QString path = *name ? dir.file(QString::fromUtf8(name)) : QString();
        const DataError e = errorOf([&] { Database::open(path); });
        EXPECT_EQ(e.kind(), DataError::Kind::Open) << name;
        EXPECT_EQ(e.subject(), path);
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
              (QStringList{"roto.dba", "sub", "texto.dba"}));
    EXPECT_TRUE(QDir(dir.file(QStringLiteral("sub"))).isEmpty());

    // Separators as the configuration writes them; characters that mean
    // something in a URI or to SQLite's file names.
    const QString odd = dir.file(QStringLiteral("Compañía 100% #1?mode=ro&x"));
    QDir().mkpath(odd);
    created(odd + QStringLiteral("/Vextora.dba"), db::Schema::localSchema(), {});
    for (const QString &path :
         {odd + QStringLiteral("\\Vextora.dba"), odd + QStringLiteral("//\\Vextora.dba")})
        Database::open(path)->execute(
            SqlTexts::purgeTickets(QDate(2026, 1, 1), QStringLiteral("dd/MM/yyyy")));
}

// On SQLite only: a server refuses a decimal comma or a word for a date at the insert.
TEST(Database, ErrorsAreTypedAndCarryTheEnginesMessageAndTheSql)
{
    TestDir dir;
    auto db = Database::open(
        created(dir.file(QStringLiteral("main.dba")), db::Schema::mainSchema(),
                QStringLiteral("INSERT INTO Ventas (Código, Imprimir, MáquinaFiscal, Fecha) VALUES "
                               "(101, -1, 1, 'ayer'); INSERT INTO VentasDetalles (Venta, Cantidad, "
                               "CantidadDecimal) VALUES (101, ' 2.5 ', '1,5');")));
    const QString noColumn = QStringLiteral("Select Código, Nada from [Consulta VentasAct]");
    const QString badUpdate = QStringLiteral("Update [NotaCréditoVenta] Set Nada='1';");
    const db::RecordSet items = db->openRecordset(SqlTexts::invoiceItems(101));
    const db::RecordSet sales =
        db->openRecordset(QStringLiteral("Select * from [Consulta VentasAct]"));
    db::RecordSet past = items;
    past.moveNext();
    // SQLite keeps a text that does not read as a number even in a REAL column.
    EXPECT_EQ(items.number(QStringLiteral("Cantidad")), 2.5);
    const std::tuple<const char *, std::function<void()>, DataError::Kind, QString, const char *>
        cases[] = {{"missing column", [&] { db->openRecordset(noColumn); }, DataError::Kind::Query,
                    noColumn, "no such column: Nada"},
                   {"update that fails", [&] { db->execute(badUpdate); }, DataError::Kind::Query,
                    badUpdate, "no such column: Nada"},
                   {"field not in the result", [&] { items.field(QStringLiteral("Rif")); },
                    DataError::Kind::MissingColumn, items.sql(), "Rif"},
                   {"field past the last row", [&] { past.field(QStringLiteral("Precio")); },
                    DataError::Kind::NoCurrentRecord, items.sql(), "Precio"},
                   {"decimal comma", [&] { items.number(QStringLiteral("CantDec")); },
                    DataError::Kind::Value, items.sql(), "1,5"},
                   {"text for a date", [&] { sales.dateTime(QStringLiteral("Fecha")); },
                    DataError::Kind::Value, sales.sql(), "ayer"}};
    for (const auto &[name, call, kind, sql, message] : cases) {
        SCOPED_TRACE(name);
        const DataError e = errorOf(call);
        EXPECT_EQ(e.kind(), kind);
        EXPECT_EQ(e.subject(), sql);
        EXPECT_TRUE(e.message().contains(QLatin1String(message))) << qPrintable(e.message());
    }
    EXPECT_EQ(db->openRecordset(SqlTexts::pendingInvoices(1)).recordCount(), 1);
}

} // namespace
