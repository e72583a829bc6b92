#include "db/ListSource.h"
#include "db/DataError.h"
#include "db/SqlTexts.h"
#include "support/SqliteFile.h"
#include "support/TestDir.h"

#include <QFile>
#include <gtest/gtest.h>

using db::DataError;
using db::ListSource;
using db::SqlTexts;
using testsupport::SqliteFile;
using testsupport::TestDir;

namespace {

class PendingInvoices : public ::testing::Test
{
protected:
    void SetUp() override
    {
        path = dir.file(QStringLiteral("Base de Datos.dba"));
        SqliteFile::createMain(path);
        file = std::make_unique<SqliteFile>(path);
        file->exec(QStringLiteral("INSERT INTO Clientes VALUES (1, 'Ana', 'V1', NULL, NULL);"));
        source.setDatabaseName(path);
        source.setRecordSource(SqlTexts::facturasPendientes(1));
    }

    void pending(int code)
    {
        file->exec(QStringLiteral("INSERT INTO Ventas (Código, Cliente, Imprimir, MáquinaFiscal) "
                                  "VALUES (%1, 1, -1, 1)")
                       .arg(code));
    }

    TestDir dir;
    QString path;
    std::unique_ptr<SqliteFile> file;
    ListSource source;
};

TEST_F(PendingInvoices, EachRefreshRereadsAndStandsOnTheLowestCode)
{
    source.refresh();
    EXPECT_EQ(source.recordCount(), 0);
    EXPECT_TRUE(source.recordset().eof());

    pending(205);
    pending(201);
    source.refresh();
    EXPECT_EQ(source.recordCount(), 2);
    EXPECT_EQ(source.recordset().field(QStringLiteral("Código")).toLongLong(), 201);
    EXPECT_EQ(source.vistaEspecial(), (QStringList{QStringLiteral("Venta 201 Ana V1"),
                                                   QStringLiteral("Venta 205 Ana V1")}));

    // A job moved on; the next refresh stands on the first row again.
    source.recordset().moveNext();
    file->exec(
        QStringLiteral("UPDATE Ventas SET Control='1', Impresa=-1, Imprimir=0 WHERE Código=201"));
    pending(203);
    source.refresh();
    EXPECT_EQ(source.recordCount(), 2);
    EXPECT_EQ(source.recordset().field(QStringLiteral("Código")).toLongLong(), 203);
}

TEST_F(PendingInvoices, FailedRefreshThrowsLeavesNothingWaitingAndRecovers)
{
    pending(201);
    source.refresh();
    ASSERT_EQ(source.recordCount(), 1);

    // The administrative system replaces its file with something unreadable.
    const QString aside = path + QStringLiteral(".bak");
    ASSERT_TRUE(QFile::rename(path, aside));
    file.reset();
    try {
        source.refresh();
        ADD_FAILURE() << "refreshed a missing file";
    } catch (const DataError &e) {
        EXPECT_EQ(e.kind(), DataError::Kind::Open);
    }
    EXPECT_EQ(source.recordCount(), 0);
    EXPECT_FALSE(QFile::exists(path));

    ASSERT_TRUE(QFile::rename(aside, path));
    source.refresh();
    EXPECT_EQ(source.recordCount(), 1);
}

TEST(ListSource, WithoutDatabaseOrQueryHoldsNoResultSet)
{
    ListSource data1, data4;
    data1.setDatabaseName(QStringLiteral("/no/existe/Base de Datos.dba"));
    data1.refresh();
    data4.setRecordSource(QStringLiteral("Select * from [Configuración];"));
    data4.refresh();
    for (const ListSource *s : {&data1, &data4}) {
        EXPECT_EQ(s->recordCount(), 0);
        EXPECT_TRUE(s->vistaEspecial().isEmpty());
    }
}

} // namespace
