// The database layer and its translation of the administrative system's SQL,
// on real SQLite files and against what other programs do to them.
#include "db/Database.h"
#include "db/DataError.h"
#include "db/Schema.h"
#include "db/SqlTexts.h"
#include "db/SqliteDialect.h"
#include "support/QtPrinters.h"
#include "support/SqliteFile.h"
#include "support/TestDir.h"

#include <QDir>
#include <functional>
#include <gtest/gtest.h>

using db::Database;
using db::DataError;
using db::SqlTexts;
using testsupport::SqliteFile;
using testsupport::TestDir;

namespace {

// The error `call` throws; a failure when it throws none.
DataError errorOf(const std::function<void()> &call)
{
    try {
        call();
    } catch (const DataError &e) {
        return e;
    }
    ADD_FAILURE() << "no DataError";
    return DataError(DataError::Kind::File, {});
}

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
            SqlTexts::purgaTickets(QDate(2026, 1, 1), QStringLiteral("dd/MM/yyyy")));
}

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
    const db::RecordSet items = db->openRecordset(SqlTexts::detalleFactura(101));
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
    EXPECT_EQ(db->openRecordset(SqlTexts::facturasPendientes(1)).recordCount(), 1);
}

TEST(Database, LocksOfOtherProgramsAreWaitedForThenABusyError)
{
    TestDir dir;
    const QString path =
        created(dir.file(QStringLiteral("main.dba")), db::Schema::mainSchema(),
                QStringLiteral(
                    "INSERT INTO Ventas (Código, Imprimir, MáquinaFiscal) VALUES (101, -1, 1);"));
    db::Database::Options options;
    options.busyTimeoutMs = 200;
    auto db = Database::open(path, options);
    // Rows are read whole: no lock stays behind, another program takes the file at once.
    ASSERT_EQ(db->openRecordset(SqlTexts::facturasPendientes(1)).recordCount(), 1);
    SqliteFile other(path);
    other.exec(QStringLiteral("PRAGMA busy_timeout=0; BEGIN EXCLUSIVE; COMMIT;"));
    const QString update = SqlTexts::registroFactura(QStringLiteral("1"), QStringLiteral("3"), 101);
    for (const bool exclusive : {false, true}) {
        other.exec(exclusive ? QStringLiteral("BEGIN EXCLUSIVE")
                             : QStringLiteral("BEGIN IMMEDIATE"));
        EXPECT_EQ(errorOf([&] { db->execute(update); }).kind(), DataError::Kind::Busy);
        // Reads wait only for an exclusive lock.
        auto read = [&] { db->openRecordset(SqlTexts::facturasPendientes(1)); };
        if (exclusive) {
            EXPECT_EQ(errorOf(read).kind(), DataError::Kind::Busy);
        } else {
            read();
        }
        other.exec(QStringLiteral("COMMIT"));
        // Once the other program commits, the same connection goes on.
        db->execute(update);
        other.exec(QStringLiteral("UPDATE Ventas SET Control=NULL"));
    }

    // Other programs' locks are waited for five seconds at least.
    EXPECT_GE(Database::open(path)->openRecordset("PRAGMA busy_timeout").text("timeout").toInt(),
              5000);
}

TEST(Database, TranslatesTheSystemsSql)
{
    TestDir dir;
    auto db = Database::open(created(
        dir.file(QStringLiteral("scratch.db")),
        QStringLiteral("CREATE TABLE \"Tabla con Año\" (\"Código\" INTEGER PRIMARY KEY, \"Marca\" "
                       "INTEGER, \"Texto\" TEXT, \"Otro Texto\" TEXT, \"Número\" INTEGER, "
                       "\"Precio\" REAL);"),
        QStringLiteral("INSERT INTO \"Tabla con Año\" VALUES (1, -1, 'uno', 'a', 12, 2.5), "
                       "(2, 0, 'dos', NULL, NULL, 4), (3, -1, NULL, 'c', 5, NULL), "
                       "(4, 1, 'true', 'd', 7, 1);")));
    // A column of the four rows (a null shows as nothing), and the rows a condition selects.
    const auto select = [&](const char *what, const char *where) {
        return db
            ->openRecordset(QStringLiteral("Select %1 as x from [Tabla con Año] Where %2 "
                                           "order by Código")
                                .arg(QString::fromUtf8(what), QString::fromUtf8(where)))
            .columnTexts(QStringLiteral("x"))
            .join(QLatin1Char('|'));
    };
    // What the robot's own texts do not show: `+` between columns, precedence, and
    // brackets, booleans and double quotes inside text.
    const std::pair<const char *, const char *> plus[] = {
        {"Texto + [Otro Texto]", "unoa|||trued"},
        {"Número + Número", "24||10|14"},
        {"Precio * 2 + 1", "6|9||3"},
        {"\"dq\" + 'x'", "dqx|dqx|dqx|dqx"},
        {"'[Marca] true' + Texto", "[Marca] trueuno|[Marca] truedos||[Marca] truetrue"}};
    for (const auto &[expression, expected] : plus)
        EXPECT_EQ(select(expression, "1=1"), QString::fromUtf8(expected)) << expression;
    EXPECT_EQ(select("Código", "Texto='true' or Marca=TRUE"), QStringLiteral("1|3|4"));
    db->execute(
        QStringLiteral("Update [Tabla con Año] Set Texto=null, Marca=true Where Código= 2"));
    EXPECT_EQ(select("Código", "Texto=null and Marca=-1"), QStringLiteral("2|3"));

    // A two-digit year of the short date form, and texts that cannot be read.
    const db::SqliteDialect dialect(QStringLiteral("d/M/yy"));
    EXPECT_EQ(dialect.translate(QStringLiteral("Select * from T Where F<datevalue('6/12/95')")),
              QStringLiteral("Select * from T Where F<'1995-12-06'"));
    for (const char *tail : {"datevalue('31/31/26')", "'abc", "[F", "(1"}) {
        const QString sql = QStringLiteral("Select * from T Where F<") + QString::fromUtf8(tail);
        const DataError e = errorOf([&] { dialect.translate(sql); });
        EXPECT_EQ(e.kind(), DataError::Kind::Query) << tail;
        EXPECT_EQ(e.subject(), sql);
    }
}

} // namespace
