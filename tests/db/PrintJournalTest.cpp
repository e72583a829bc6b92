#include "db/PrintJournal.h"
#include "support/QtPrinters.h"
#include "support/TestDir.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <gtest/gtest.h>

using db::PrintJournal;
using Kind = core::DocumentKind;
using State = db::PrintJournal::State;

TEST(PrintJournal, UnfinishedEntriesSurviveAReopenUntilSettled)
{
    const core::Clock clock;
    testsupport::TestDir dir;
    qint64 taken, closing, closed, failed;
    {
        PrintJournal j(dir.path(), clock);
        EXPECT_TRUE(j.settled());
        taken = j.takeUp(Kind::Invoice, 101);
        closing = j.takeUp(Kind::CreditNote, 7);
        j.closing(closing, QStringLiteral("00000006"));
        closed = j.takeUp(Kind::Invoice, 102);
        j.closing(closed, QStringLiteral("00000040"));
        j.closed(closed, QStringLiteral("00000041"), QStringLiteral("0003"));
        const qint64 recorded = j.takeUp(Kind::Invoice, 103);
        j.closed(recorded, QStringLiteral("00000042"), QStringLiteral("0003"));
        j.recorded(recorded);
        failed = j.takeUp(Kind::Invoice, 104);
        j.failed(failed);
    }
    // As after a power cut: a new process opens the same file.
    PrintJournal j(dir.path(), clock);
    EXPECT_FALSE(j.settled());
    const std::tuple<qint64, Kind, qint64, State, QString, QString, QString> expected[] = {
        {taken, Kind::Invoice, 101, State::TakenUp, "", "", ""},
        {closing, Kind::CreditNote, 7, State::Closing, "00000006", "", ""},
        {closed, Kind::Invoice, 102, State::Closed, "00000040", "00000041", "0003"},
        // Failed: may have left it open until it is cancelled.
        {failed, Kind::Invoice, 104, State::Failed, "", "", ""}};
    const QList<PrintJournal::Entry> entries = j.unfinished();
    ASSERT_EQ(entries.size(), 4);
    for (int i = 0; i < 4; ++i) {
        const PrintJournal::Entry &e = entries[i];
        EXPECT_EQ(std::tie(e.id, e.kind, e.code, e.state, e.numberBefore, e.number, e.zNumber),
                  expected[i]);
    }
    // What the printer already closed is never printed again.
    EXPECT_EQ(j.closedBefore(Kind::Invoice, 102), QStringLiteral("00000041"));
    EXPECT_EQ(j.closedBefore(Kind::Invoice, 103), QStringLiteral("00000042"));
    EXPECT_EQ(j.closedBefore(Kind::Invoice, 104), QString());
    EXPECT_EQ(j.closedBefore(Kind::CreditNote, 102), QString());
    j.cancelled(taken);
    j.recorded(closed);
    j.cancelled(closing);
    j.cancelled(failed);
    EXPECT_TRUE(j.settled());
}

// Each entry names its installation, the main database and the fiscal
// machine: a journal copied to another register, or kept while the robot is
// pointed at another database, never applies its entries there. The entries
// of a journal made before they were named belong to whoever opens it.
TEST(PrintJournal, EntriesCountOnlyForTheirOwnInstallation)
{
    const core::Clock clock;
    testsupport::TestDir dir;
    {
        QSqlDatabase old = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "old");
        old.setDatabaseName(dir.file(PrintJournal::fileName()));
        ASSERT_TRUE(old.open());
        for (const char *sql :
             {"CREATE TABLE documento (id INTEGER PRIMARY KEY, tipo TEXT NOT NULL, codigo INTEGER "
              "NOT NULL, estado TEXT NOT NULL, numero_antes TEXT, numero TEXT, numero_z TEXT, "
              "tomado TEXT NOT NULL, actualizado TEXT NOT NULL)",
              "INSERT INTO documento VALUES (1, 'factura', 101, 'cerrado', '00000040', '00000041', "
              "'0003', '', '')"})
            ASSERT_TRUE(QSqlQuery(old).exec(QString::fromLatin1(sql)));
    }
    QSqlDatabase::removeDatabase("old");
    const QString main = dir.file(QStringLiteral("Base de Datos.dba"));
    {
        PrintJournal j(dir.path(), clock, {main, 1});
        j.takeUp(Kind::CreditNote, 7);
        j.acceptNumber(Kind::CreditNote, QStringLiteral("00000009"));
    }
    // Who opens it; its unfinished entries; the highest credit-note number it knows.
    const std::tuple<QString, qint32, int, std::optional<qint64>> cases[] = {
        {main, 1, 2, 9},
        {dir.path() + "\\.\\Base de Datos.dba", 1, 2, 9},
        {main, 2, 1, std::nullopt},
        {"postgresql://caja@db/ventas?sslmode=require", 1, 1, std::nullopt},
    };
    for (const auto &[database, machine, unfinished, notes] : cases) {
        SCOPED_TRACE(QStringLiteral("%1 Caja:%2").arg(database).arg(machine).toStdString());
        const PrintJournal j(dir.path(), clock, {database, machine});
        EXPECT_EQ(j.unfinished().size(), unfinished);
        EXPECT_FALSE(j.settled());
        EXPECT_EQ(j.closedBefore(Kind::Invoice, 101), QStringLiteral("00000041"));
        EXPECT_EQ(j.highestNumber(Kind::Invoice), 41);
        EXPECT_EQ(j.highestNumber(Kind::CreditNote), notes);
    }
}
