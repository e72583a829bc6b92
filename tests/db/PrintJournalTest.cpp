#include "db/PrintJournal.h"
#include "support/QtPrinters.h"
#include "support/TestDir.h"

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
        taken = j.tomado(Kind::Invoice, 101);
        closing = j.tomado(Kind::CreditNote, 7);
        j.cerrando(closing, QStringLiteral("00000006"));
        closed = j.tomado(Kind::Invoice, 102);
        j.cerrando(closed, QStringLiteral("00000040"));
        j.cerrado(closed, QStringLiteral("00000041"), QStringLiteral("0003"));
        const qint64 recorded = j.tomado(Kind::Invoice, 103);
        j.cerrado(recorded, QStringLiteral("00000042"), QStringLiteral("0003"));
        j.registrado(recorded);
        failed = j.tomado(Kind::Invoice, 104);
        j.fallido(failed);
    }
    // As after a power cut: a new process opens the same file.
    PrintJournal j(dir.path(), clock);
    EXPECT_FALSE(j.settled());
    const std::tuple<qint64, Kind, qint64, State, QString, QString, QString> expected[] = {
        {taken, Kind::Invoice, 101, State::Tomado, "", "", ""},
        {closing, Kind::CreditNote, 7, State::Cerrando, "00000006", "", ""},
        {closed, Kind::Invoice, 102, State::Cerrado, "00000040", "00000041", "0003"},
        // Failed: may have left it open until it is cancelled.
        {failed, Kind::Invoice, 104, State::Fallido, "", "", ""}};
    const QList<PrintJournal::Entry> entries = j.unfinished();
    ASSERT_EQ(entries.size(), 4);
    for (int i = 0; i < 4; ++i) {
        const PrintJournal::Entry &e = entries[i];
        EXPECT_EQ(std::tie(e.id, e.kind, e.codigo, e.state, e.numeroAntes, e.numero, e.numeroZ),
                  expected[i]);
    }
    // What the printer already closed is never printed again.
    EXPECT_EQ(j.closedBefore(Kind::Invoice, 102), QStringLiteral("00000041"));
    EXPECT_EQ(j.closedBefore(Kind::Invoice, 103), QStringLiteral("00000042"));
    EXPECT_EQ(j.closedBefore(Kind::Invoice, 104), QString());
    EXPECT_EQ(j.closedBefore(Kind::CreditNote, 102), QString());
    j.anulado(taken);
    j.registrado(closed);
    j.anulado(closing);
    j.anulado(failed);
    EXPECT_TRUE(j.settled());
}
