#include "db/DataError.h"
#include "db/Database.h"
#include "db/Schema.h"
#include "db/SqliteDialect.h"
#include "support/SqliteFile.h"
#include "support/TestDir.h"

#include <gtest/gtest.h>

using db::Database;
using db::DataError;
using testsupport::SqliteFile;
using testsupport::TestDir;

namespace {

// A scratch database with one table whose names need the translation: blanks
// and accents, Jet booleans, nulls.
class JetDialect : public ::testing::Test
{
protected:
    void SetUp() override
    {
        path = dir.file(QStringLiteral("scratch.db"));
        db::Schema::createDatabase(
            path, {QStringLiteral(
                      "CREATE TABLE \"Tabla con Año\" (\"Código\" INTEGER PRIMARY KEY, "
                      "\"Marca\" INTEGER, \"Texto\" TEXT, \"Otro Texto\" TEXT, \"Número\" INTEGER, "
                      "\"Precio\" REAL);"
                      "INSERT INTO \"Tabla con Año\" VALUES (1, -1, 'uno', 'a', 12, 2.5);"
                      "INSERT INTO \"Tabla con Año\" VALUES (2, 0, 'dos', NULL, NULL, 4);"
                      "INSERT INTO \"Tabla con Año\" VALUES (3, -1, NULL, 'c', 5, NULL);"
                      "INSERT INTO \"Tabla con Año\" VALUES (4, 1, 'true', 'd', 7, 1);")});
        db = Database::open(path);
    }

    QVariant value(const QString &expression, int code = 1)
    {
        db::RecordSet rs = db->openRecordset(QStringLiteral("Select ") + expression +
                                             QStringLiteral(" as x from [Tabla con Año] "
                                                            "Where Código=") +
                                             QString::number(code));
        return rs.field(QStringLiteral("x"));
    }

    QList<qlonglong> codes(const QString &where)
    {
        db::RecordSet rs =
            db->openRecordset(QStringLiteral("Select Código from [Tabla con Año] Where ") + where +
                              QStringLiteral(" order by Código"));
        QList<qlonglong> out;
        for (; !rs.eof(); rs.moveNext())
            out << rs.field(QStringLiteral("Código")).toLongLong();
        return out;
    }

    TestDir dir;
    QString path;
    std::unique_ptr<Database> db;
};

TEST_F(JetDialect, PlusJoinsTextAddsNumbersAndPropagatesNull)
{
    const struct
    {
        const char *expression;
        int code;
        QVariant expected; // invalid: null
    } cases[] = {
        {"'a' + 'b'", 1, QStringLiteral("ab")},
        {"Texto + ' ' + [Otro Texto]", 1, QStringLiteral("uno a")},
        {"Texto + ' ' + [Otro Texto]", 2, QVariant()},
        {"'Precuenta: ' + Texto", 3, QVariant()},
        {"'a' + null", 1, QVariant()},
        {"0012+1", 1, qlonglong(13)},
        {"-1 + 3", 1, qlonglong(2)},
        {"(1 + 2) * 3", 1, qlonglong(9)},
        {"Número + 1", 1, qlonglong(13)},
        {"Número + Número", 3, qlonglong(10)},
        {"Número + 1", 2, QVariant()},
        {"Precio * 2 + 1", 1, 6.0},
        {"Texto + [Otro Texto]", 1, QStringLiteral("unoa")},
        {"Texto + (' ' + [Otro Texto])", 2, QVariant()},
        {"\"dq\" + 'x'", 1, QStringLiteral("dqx")},
        {"'[Marca] true' + Texto", 1, QStringLiteral("[Marca] trueuno")},
        {"'it''s ' + Texto", 1, QStringLiteral("it's uno")},
        {"True + 0", 1, qlonglong(-1)},
        {"'Caja' + ' ' + [Otro Texto] + ' ' + Texto", 1, QStringLiteral("Caja a uno")},
    };
    for (const auto &c : cases) {
        const QString expression = QString::fromUtf8(c.expression);
        SCOPED_TRACE(c.expression);
        const QVariant v = value(expression, c.code);
        EXPECT_EQ(v.isNull(), c.expected.isNull()) << qPrintable(v.toString());
        if (!c.expected.isNull()) {
            EXPECT_EQ(v, c.expected) << qPrintable(db->translate(expression));
        }
    }
}

TEST_F(JetDialect, ComparisonsReadJetBooleansAndNulls)
{
    const struct
    {
        const char *where;
        QList<qlonglong> expected;
    } cases[] = {
        {"Marca=true", {1, 3}},  {"Marca=True", {1, 3}},
        {"Marca=TRUE", {1, 3}},  {"Marca<>true", {2, 4}},
        {"Marca=false", {2}},    {"Marca=-1", {1, 3}},
        {"Marca<>0", {1, 3, 4}}, {"Texto=null", {3}},
        {"Texto = null", {3}},   {"Texto<>null", {1, 2, 4}},
        {"Texto='true'", {4}},   {"[Otro Texto]=null and Marca=false", {2}},
        {"Número=12", {1}},      {"Número=0012", {1}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.where);
        EXPECT_EQ(codes(QString::fromUtf8(c.where)), c.expected);
    }
}

TEST_F(JetDialect, ActionQueriesKeepNullAssignmentsAndDropDeleteStar)
{
    db->execute(
        QStringLiteral("Update [Tabla con Año] Set Texto=null, Marca=true Where Código= 2"));
    SqliteFile file(path);
    EXPECT_FALSE(file.scalar(QStringLiteral("SELECT Texto FROM \"Tabla con Año\" WHERE Código=2"))
                     .isValid());
    EXPECT_EQ(file.scalar(QStringLiteral("SELECT Marca FROM \"Tabla con Año\" WHERE Código=2")),
              QVariant(qlonglong(-1)));

    db->execute(QStringLiteral("Delete * from [Tabla con Año] Where Texto=null;"));
    EXPECT_EQ(file.column(QStringLiteral("SELECT Código FROM \"Tabla con Año\" ORDER BY 1")),
              (QVariantList{qlonglong(1), qlonglong(4)}));
}

TEST(SqliteDialect, DatevalueReadsTheConfiguredShortDateForm)
{
    const struct
    {
        const char *format;
        const char *written;
        const char *iso;
    } cases[] = {
        {"dd/MM/yyyy", "05/01/2026", "'2026-01-05'"}, {"MM/dd/yyyy", "05/01/2026", "'2026-05-01'"},
        {"yyyy-MM-dd", "2026-12-31", "'2026-12-31'"}, {"d/M/yy", "6/12/26", "'2026-12-06'"},
        {"d/M/yy", "6/12/95", "'1995-12-06'"},        {"dd.MM.yyyy", "29.02.2024", "'2024-02-29'"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.format);
        db::SqliteDialect dialect(QString::fromUtf8(c.format));
        EXPECT_EQ(dialect.translate(QStringLiteral("Select * from T Where Fecha<datevalue('%1');")
                                        .arg(QString::fromUtf8(c.written))),
                  QStringLiteral("Select * from T Where Fecha<%1;").arg(QString::fromUtf8(c.iso)));
    }
}

TEST(SqliteDialect, UnreadableTextIsAQueryErrorNamingTheSql)
{
    const char *cases[] = {
        "Select * from T Where A='abc",
        "Select * from [T Where A=1",
        "Select * from T Where Fecha<datevalue('31/31/2026')",
        "Select * from T Where (A=1",
        "Select * from T Where A=1)",
    };
    db::SqliteDialect dialect(QStringLiteral("dd/MM/yyyy"));
    for (const char *sql : cases) {
        SCOPED_TRACE(sql);
        try {
            dialect.translate(QString::fromUtf8(sql));
            ADD_FAILURE() << "no error";
        } catch (const DataError &e) {
            EXPECT_EQ(e.kind(), DataError::Kind::Query);
            EXPECT_EQ(e.subject(), QString::fromUtf8(sql));
        }
    }
}

} // namespace
