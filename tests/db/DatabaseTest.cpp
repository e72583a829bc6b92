// The database layer against what other programs and broken installations do
// to its files.
#include "db/Database.h"
#include "db/DataError.h"
#include "db/SqlTexts.h"
#include "support/SqliteFile.h"
#include "support/TestDir.h"

#include <QDir>
#include <QFile>
#include <functional>
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using db::Database;
using db::DataError;
using db::RecordSet;
using db::SqlTexts;
using testsupport::SqliteFile;
using testsupport::TestDir;

namespace {

DataError::Kind kindOf(const std::function<void()> &f)
{
    try {
        f();
    } catch (const DataError &e) {
        return e.kind();
    }
    ADD_FAILURE() << "no DataError";
    return DataError::Kind::File;
}

// Another program on the same file: a child process using SQLite directly.
// It runs `sql`, tells the parent, and waits for the word to go on before
// running `then` and ending.
class OtherProgram
{
public:
    OtherProgram(const QString &path, const QString &sql, const QString &then)
    {
        if (pipe(m_ready) != 0 || pipe(m_go) != 0)
            throw std::runtime_error("pipe");
        const QByteArray file = path.toUtf8();
        const QByteArray first = sql.toUtf8();
        const QByteArray second = then.toUtf8();
        m_pid = fork();
        if (m_pid == 0) {
            // Only SQLite and plain system calls here: the child shares no Qt state.
            sqlite3 *db = nullptr;
            int status = 1;
            char byte = 0;
            if (sqlite3_open_v2(file.constData(), &db, SQLITE_OPEN_READWRITE, nullptr) ==
                SQLITE_OK) {
                sqlite3_busy_timeout(db, 10000);
                const bool ok =
                    sqlite3_exec(db, first.constData(), nullptr, nullptr, nullptr) == SQLITE_OK;
                byte = ok ? 'y' : 'n';
                if (write(m_ready[1], &byte, 1) == 1 && read(m_go[0], &byte, 1) == 1 && ok)
                    status =
                        sqlite3_exec(db, second.constData(), nullptr, nullptr, nullptr) == SQLITE_OK
                            ? 0
                            : 2;
            }
            sqlite3_close(db);
            _exit(status);
        }
    }

    // Waits until the child ran its first statements; false when they failed.
    bool waitReady()
    {
        char byte = 0;
        return read(m_ready[0], &byte, 1) == 1 && byte == 'y';
    }

    // Lets the child go on and waits for its end; its exit status.
    int finish()
    {
        const char byte = 'g';
        [[maybe_unused]] const auto n = write(m_go[1], &byte, 1);
        int status = 0;
        waitpid(m_pid, &status, 0);
        m_pid = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    ~OtherProgram()
    {
        if (m_pid > 0)
            finish();
        for (int fd : {m_ready[0], m_ready[1], m_go[0], m_go[1]})
            close(fd);
    }

private:
    pid_t m_pid = -1;
    int m_ready[2] = {-1, -1};
    int m_go[2] = {-1, -1};
};

class DatabaseFile : public ::testing::Test
{
protected:
    void SetUp() override
    {
        path = dir.file(QStringLiteral("Base de Datos.dba"));
        SqliteFile::createMain(path);
        SqliteFile(path).exec(
            QStringLiteral("INSERT INTO Clientes VALUES (1, 'Ana', 'V1', NULL, NULL);"
                           "INSERT INTO Ventas (Código, Cliente, Imprimir, MáquinaFiscal, NúmeroZ) "
                           "VALUES (101, 1, -1, 1, 3), (102, 1, -1, 1, 3);"));
    }

    TestDir dir;
    QString path;
};

TEST(Database, MissingFileIsAnOpenErrorAndNoFileIsCreated)
{
    TestDir dir;
    QDir().mkpath(dir.file(QStringLiteral("sub")));
    const QString cases[] = {
        dir.file(QStringLiteral("nada.dba")),
        dir.file(QStringLiteral("falta/Base de Datos.dba")),
        dir.path() + QStringLiteral("\\\\nada.dba"),
        dir.file(QStringLiteral("sub")),
        QString(),
    };
    for (const QString &path : cases) {
        SCOPED_TRACE(qPrintable(path));
        try {
            Database::open(path);
            ADD_FAILURE() << "opened";
        } catch (const DataError &e) {
            EXPECT_EQ(e.kind(), DataError::Kind::Open);
            EXPECT_EQ(e.subject(), path);
        }
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
              QStringList{QStringLiteral("sub")});
    EXPECT_TRUE(QDir(dir.file(QStringLiteral("sub"))).isEmpty());
}

TEST(Database, PathsWithBackslashesAndDoubledSeparatorsOpen)
{
    TestDir dir;
    SqliteFile::createLocal(dir.file(QStringLiteral("Vextora.dba")));
    // Characters that mean something in a URI or to SQLite's file names.
    const QString odd = QStringLiteral("Compañía 100% #1?mode=ro&x");
    QDir().mkpath(dir.file(odd));
    SqliteFile::createLocal(dir.file(odd + QStringLiteral("/Vextora.dba")));
    for (const QString &path :
         {dir.path() + QStringLiteral("\\Vextora.dba"),
          dir.path() + QStringLiteral("//Vextora.dba"),
          dir.path() + QStringLiteral("/\\Vextora.dba"),
          dir.path() + QLatin1Char('/') + odd + QStringLiteral("\\Vextora.dba")}) {
        SCOPED_TRACE(qPrintable(path));
        EXPECT_EQ(Database::open(path)->openRecordset(SqlTexts::ticketsPendientes(1)).recordCount(),
                  0);
    }
}

TEST(Database, FileThatIsNotADatabaseIsAnOpenError)
{
    TestDir dir;
    dir.write(QStringLiteral("texto.dba"), QByteArray("Datos:F:\\Comun\\\r\n").repeated(200));
    QByteArray header("SQLite format 3");
    header.append('\0');
    dir.write(QStringLiteral("roto.dba"), header + QByteArray(4000, '\xff'));
    for (const char *name : {"texto.dba", "roto.dba"}) {
        SCOPED_TRACE(name);
        const QString path = dir.file(QString::fromUtf8(name));
        EXPECT_EQ(kindOf([&] { Database::open(path); }), DataError::Kind::Open);
    }
}

TEST_F(DatabaseFile, MissingObjectsAreTypedErrorsNamingTheSql)
{
    auto db = Database::open(path);
    const QString missingTable =
        QStringLiteral("Select * from [Consulta Inexistente] Where Código= 1");
    const QString missingColumn =
        QStringLiteral("Select Código, ColumnaInexistente from [Consulta VentasAct]");
    const QString badUpdate =
        QStringLiteral("Update [NotaCréditoVenta] Set Nada='1' Where Código= 1;");
    for (const QString &sql : {missingTable, missingColumn}) {
        SCOPED_TRACE(qPrintable(sql));
        try {
            db->openRecordset(sql);
            ADD_FAILURE() << "no error";
        } catch (const DataError &e) {
            EXPECT_EQ(e.kind(), DataError::Kind::Query);
            EXPECT_EQ(e.subject(), sql);
            EXPECT_FALSE(e.message().isEmpty());
        }
    }
    EXPECT_EQ(kindOf([&] { db->execute(badUpdate); }), DataError::Kind::Query);

    RecordSet rs = db->openRecordset(SqlTexts::facturasPendientes(1));
    EXPECT_EQ(kindOf([&] { rs.field(QStringLiteral("NombreCliente")); }),
              DataError::Kind::MissingColumn);
    rs.moveNext();
    rs.moveNext();
    EXPECT_TRUE(rs.eof());
    EXPECT_EQ(kindOf([&] { rs.field(QStringLiteral("Código")); }),
              DataError::Kind::NoCurrentRecord);
    // The connection is still good after errors.
    EXPECT_EQ(db->openRecordset(SqlTexts::facturasPendientes(1)).recordCount(), 2);
}

TEST_F(DatabaseFile, NullsInEveryColumnTheJobsReadAreNulls)
{
    SqliteFile(path).exec(QStringLiteral(
        "INSERT INTO Clientes (Código) VALUES (9);"
        "INSERT INTO Ventas (Código, Cliente, Imprimir, MáquinaFiscal, Desc01, PlantillaAuxiliar) "
        "VALUES (900, 9, -1, 1, NULL, NULL);"
        "INSERT INTO VentasDetalles (Venta, Ordenar, ExcentoImpuesto) VALUES (900, 1, NULL);"
        "INSERT INTO AbonosVenta (Venta) VALUES (900);"
        "INSERT INTO NotaCréditoVenta (Código, Venta, Imprimir, MáquinaFiscal, Desc01) "
        "VALUES (90, 900, -1, 1, NULL);"
        "INSERT INTO NotaCréditoVentaDetalles (NotaCredVent, ExcentoImpuesto) VALUES (90, NULL);"
        "INSERT INTO Configuración (Código, VerCantidad, VerCantidadDecimal, "
        "UsarImpresiónFacturaInt) VALUES (1, NULL, NULL, NULL);"
        "INSERT INTO Configuración2 (Código) VALUES (1);"));
    auto db = Database::open(path);
    const struct
    {
        QString sql;
        QStringList columns;
    } cases[] = {
        {SqlTexts::encabezadoFactura(900),
         {"NombreCliente", "Rif", "Dirección", "Teléfono", "PlantillaAuxiliar", "NombreFormaPago",
          "CampoTextoAdic02", "ORD_COMP", "PorcentImpuesto", "Desc01"}},
        {SqlTexts::detalleFactura(900),
         {"Cantidad", "CantDec", "Precio", "Especificación", "Nombre", "ExcentoImpuesto"}},
        {SqlTexts::abonosVenta(900), {"TipoMecanismo", "Monto"}},
        {SqlTexts::encabezadoNotaCredito(90),
         {"NombreCliente", "Rif", "Dirección", "Teléfono", "Factura", "FechaVenta", "Desc01",
          "PorcentImpuesto", "Monto", "MontoExcento"}},
        {SqlTexts::detalleNotaCredito(90),
         {"Cantidad", "CantDec", "ExcentoImpuesto", "Precio", "Nombre"}},
        {SqlTexts::configuracion(),
         {"RIFCompañía", "VerCantidad", "VerCantidadDecimal", "UsarImpresiónFacturaInt"}},
        {SqlTexts::configuracion2(), {"TasaMaqFiscal1", "TasaMaqFiscal2", "TasaMaqFiscal3"}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(qPrintable(c.sql));
        const RecordSet rs = db->openRecordset(c.sql);
        ASSERT_EQ(rs.recordCount(), 1);
        for (const QString &column : c.columns) {
            SCOPED_TRACE(qPrintable(column));
            EXPECT_TRUE(rs.isNull(column));
            EXPECT_EQ(rs.text(column), QString());
            EXPECT_EQ(rs.number(column), std::nullopt);
            EXPECT_EQ(rs.dateTime(column), std::nullopt);
            EXPECT_FALSE(RecordSet::isTrue(rs.field(column)));
            EXPECT_FALSE(RecordSet::isFalse(rs.field(column)));
        }
    }
}

TEST_F(DatabaseFile, TextWhereANumberBelongsIsAValueError)
{
    // SQLite keeps a text that does not read as a number even in a REAL column.
    SqliteFile(path).exec(QStringLiteral(
        "INSERT INTO VentasDetalles (Venta, Ordenar, Precio, Cantidad, CantidadDecimal) VALUES "
        "(101, 1, 'doce', ' 2.5 ', '1,5');"
        "UPDATE Ventas SET Fecha='ayer' WHERE Código=101;"));
    auto db = Database::open(path);
    const RecordSet rs = db->openRecordset(SqlTexts::detalleFactura(101));
    EXPECT_EQ(kindOf([&] { rs.number(QStringLiteral("Precio")); }), DataError::Kind::Value);
    EXPECT_EQ(kindOf([&] { rs.number(QStringLiteral("CantDec")); }), DataError::Kind::Value);
    EXPECT_EQ(rs.number(QStringLiteral("Cantidad")), 2.5);
    const RecordSet sale = db->openRecordset(
        QStringLiteral("Select Fecha from [Consulta VentasAct] Where Código= 101"));
    EXPECT_EQ(kindOf([&] { sale.dateTime(QStringLiteral("Fecha")); }), DataError::Kind::Value);
}

TEST_F(DatabaseFile, ReadResultSetLeavesNoLockBehind)
{
    auto db = Database::open(path);
    const RecordSet rs = db->openRecordset(SqlTexts::facturasPendientes(1));
    ASSERT_EQ(rs.recordCount(), 2);
    // Another program can take the whole file at once, without waiting.
    OtherProgram other(path, QStringLiteral("PRAGMA busy_timeout=0; BEGIN EXCLUSIVE;"),
                       QStringLiteral("COMMIT;"));
    EXPECT_TRUE(other.waitReady());
    EXPECT_EQ(other.finish(), 0);
}

TEST_F(DatabaseFile, LockHeldPastTheBusyTimeoutIsABusyError)
{
    db::Database::Options options;
    options.busyTimeoutMs = 200;
    auto db = Database::open(path, options);
    const QString update =
        SqlTexts::registroFactura(QStringLiteral("00000001"), QStringLiteral("0003"), 101);
    const struct
    {
        const char *lock;
        bool readsWait;
    } cases[] = {{"BEGIN IMMEDIATE;", false}, {"BEGIN EXCLUSIVE;", true}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.lock);
        OtherProgram other(
            path,
            QString::fromUtf8(c.lock) +
                QStringLiteral("UPDATE Ventas SET Observación='otro' WHERE Código=102;"),
            QStringLiteral("COMMIT;"));
        ASSERT_TRUE(other.waitReady());
        EXPECT_EQ(kindOf([&] { db->execute(update); }), DataError::Kind::Busy);
        if (c.readsWait)
            EXPECT_EQ(kindOf([&] { db->openRecordset(SqlTexts::facturasPendientes(1)); }),
                      DataError::Kind::Busy);
        else
            EXPECT_EQ(db->openRecordset(SqlTexts::facturasPendientes(1)).recordCount(), 2);
        EXPECT_EQ(other.finish(), 0);
        // Once the other program commits, the same connection goes on.
        db->execute(update);
        SqliteFile check(path);
        EXPECT_EQ(check.scalar(QStringLiteral("SELECT NúmeroZ FROM Ventas WHERE Código=101")),
                  QVariant(qlonglong(4)));
        EXPECT_EQ(check.scalar(QStringLiteral("SELECT Observación FROM Ventas WHERE Código=102")),
                  QVariant(QStringLiteral("otro")));
        check.exec(QStringLiteral(
            "UPDATE Ventas SET Control=NULL, Observación=NULL WHERE Código IN (101, 102)"));
    }
}

TEST_F(DatabaseFile, AnotherProgramWritingMeanwhileLosesNothing)
{
    constexpr int kTheirRows = 300;
    constexpr int kOurSales = 60;
    SqliteFile setup(path);
    for (int code = 1000; code < 1000 + kOurSales; ++code)
        setup.exec(QStringLiteral("INSERT INTO Ventas (Código, Cliente, Imprimir, MáquinaFiscal) "
                                  "VALUES (%1, 1, -1, 7)")
                       .arg(code));
    // The other program adds payments one transaction at a time, as a cash
    // register would, while the robot records its invoices.
    QString inserts;
    for (int i = 0; i < kTheirRows; ++i)
        inserts += QStringLiteral(
                       "INSERT INTO AbonosVenta (Venta, TipoMecanismo, Monto) VALUES (102, 0, %1);")
                       .arg(i);
    OtherProgram other(path, QStringLiteral("SELECT 1;"), inserts);
    ASSERT_TRUE(other.waitReady());
    std::thread writer([&] { EXPECT_EQ(other.finish(), 0); });
    auto db = Database::open(path);
    for (int code = 1000; code < 1000 + kOurSales; ++code) {
        EXPECT_EQ(db->openRecordset(SqlTexts::facturasPendientes(7)).recordCount(),
                  1000 + kOurSales - code);
        db->execute(SqlTexts::registroFactura(
            QStringLiteral("%1").arg(code, 8, 10, QLatin1Char('0')), QStringLiteral("0001"), code));
    }
    writer.join();
    SqliteFile check(path);
    EXPECT_EQ(check.scalar(QStringLiteral("SELECT count(*) FROM AbonosVenta WHERE Venta=102")),
              QVariant(qlonglong(kTheirRows)));
    EXPECT_EQ(check.scalar(QStringLiteral("SELECT count(*) FROM Ventas WHERE MáquinaFiscal=7 "
                                          "AND Control=printf('%08d', Código) AND NúmeroZ=2")),
              QVariant(qlonglong(kOurSales)));
}

} // namespace
