#include "db/ListSource.h"
#include "db/SqlTexts.h"
#include "support/SqliteFile.h"
#include "support/TestDir.h"

#include <QFile>
#include <gtest/gtest.h>

using testsupport::SqliteFile;
using testsupport::TestDir;

namespace {

// A main database whose only waiting sale is `code`.
void makeMain(const QString &path, int code)
{
    SqliteFile::createMain(path);
    SqliteFile(path).exec(QStringLiteral("INSERT INTO Ventas (Código, Imprimir, MáquinaFiscal) "
                                         "VALUES (%1, -1, 1)")
                              .arg(code));
}

// The list keeps its connection between refreshes, yet a file put in the
// place of the one it opened is read at the next refresh, never the old one.
TEST(ListSourceKeptConnection, FileReplacedOrRestoredIsReadAtTheNextRefresh)
{
    const struct
    {
        const char *name;
        bool sameInode; // written over in place, as a copy over the file does
    } cases[] = {{"renamed over the file", false}, {"copied over the file", true}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        TestDir dir;
        const QString path = dir.file(QStringLiteral("Base de Datos.dba"));
        const QString other = dir.file(QStringLiteral("copia.dba"));
        makeMain(path, 101);
        makeMain(other, 202);
        db::ListSource data5;
        data5.setDatabaseName(path);
        data5.setRecordSource(db::SqlTexts::facturasPendientes(1));
        data5.refresh();
        ASSERT_EQ(data5.recordset().field(QStringLiteral("Código")).toInt(), 101);

        if (c.sameInode) {
            QFile source(other), target(path);
            ASSERT_TRUE(source.open(QIODevice::ReadOnly));
            ASSERT_TRUE(target.open(QIODevice::ReadWrite | QIODevice::Truncate));
            target.write(source.readAll());
        } else {
            ASSERT_TRUE(QFile::remove(path) && QFile::rename(other, path));
        }
        data5.refresh();
        EXPECT_EQ(data5.recordCount(), 1);
        EXPECT_EQ(data5.recordset().field(QStringLiteral("Código")).toInt(), 202);
    }
}

} // namespace
