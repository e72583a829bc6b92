#include "db/ListSource.h"
#include "db/DataError.h"
#include "db/Schema.h"
#include "db/SqlTexts.h"
#include "support/TestDir.h"

#include <QFile>
#include <gtest/gtest.h>

using testsupport::TestDir;

namespace {

// A main database whose only waiting sale is `code`.
void makeMain(const QString &path, int code)
{
    db::Schema::createDatabase(
        path,
        {db::Schema::mainSchema(),
         QStringLiteral("INSERT INTO Ventas (Código, Imprimir, MáquinaFiscal) VALUES (%1, -1, 1);")
             .arg(code)});
}

// The list keeps its connection between refreshes, yet a file put in the
// place of the one it opened is read at the next refresh, never the old one;
// while the file is away it holds nothing and never makes one.
TEST(ListSource, FileReplacedRestoredOrAwayIsReadAsItIsAtTheNextRefresh)
{
    enum Change { Renamed, Copied, Away };
    for (const Change change : {Renamed, Copied, Away}) {
        SCOPED_TRACE(change);
        TestDir dir;
        const QString path = dir.file(QStringLiteral("Base de Datos.dba"));
        const QString other = dir.file(QStringLiteral("copia.dba"));
        makeMain(path, 101);
        makeMain(other, 202);
        db::ListSource invoices;
        invoices.setDatabaseName(path);
        invoices.setRecordSource(db::SqlTexts::pendingInvoices(1));
        invoices.refresh();
        ASSERT_EQ(invoices.recordset().field(QStringLiteral("Código")).toInt(), 101);

        if (change == Copied) { // written over in place, as a copy over the file does
            QFile source(other), target(path);
            ASSERT_TRUE(source.open(QIODevice::ReadOnly));
            ASSERT_TRUE(target.open(QIODevice::ReadWrite | QIODevice::Truncate));
            target.write(source.readAll());
        } else if (change == Renamed) {
            ASSERT_TRUE(QFile::remove(path) && QFile::rename(other, path));
        } else { // moved away by the administrative system, then put back
            const QString aside = dir.file(QStringLiteral("aparte.dba"));
            ASSERT_TRUE(QFile::rename(path, aside));
            EXPECT_THROW(invoices.refresh(), db::DataError);
            EXPECT_EQ(invoices.recordCount(), 0);
            EXPECT_FALSE(QFile::exists(path));
            ASSERT_TRUE(QFile::rename(aside, path));
        }
        invoices.refresh();
        EXPECT_EQ(invoices.recordCount(), 1);
        EXPECT_EQ(invoices.recordset().field(QStringLiteral("Código")).toInt(),
                  change == Away ? 101 : 202);
    }
}

} // namespace
