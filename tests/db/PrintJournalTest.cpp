#include "db/PrintJournal.h"
#include "support/TestDir.h"

#include <gtest/gtest.h>

using db::PrintJournal;
using testsupport::TestDir;

namespace {
const core::Clock wallClock;
}

TEST(PrintJournal, UnfinishedEntriesSurviveAReopenUntilSettled)
{
    TestDir dir;
    qint64 taken, closing, closed, recorded, failed;
    {
        PrintJournal j(dir.path(), wallClock);
        EXPECT_TRUE(j.settled());
        taken = j.tomado(PrintJournal::Kind::Factura, 101);
        closing = j.tomado(PrintJournal::Kind::Nota, 7);
        j.cerrando(closing, QStringLiteral("00000006"));
        closed = j.tomado(PrintJournal::Kind::Factura, 102);
        j.cerrando(closed, QStringLiteral("00000040"));
        j.cerrado(closed, QStringLiteral("00000041"), QStringLiteral("0003"));
        recorded = j.tomado(PrintJournal::Kind::Factura, 103);
        j.cerrado(recorded, QStringLiteral("00000042"), QStringLiteral("0003"));
        j.registrado(recorded);
        failed = j.tomado(PrintJournal::Kind::Factura, 104);
        j.fallido(failed);
        EXPECT_FALSE(j.settled());
    }
    // As after a power cut: a new process opens the same file.
    PrintJournal j(dir.path(), wallClock);
    const auto entries = j.unfinished();
    ASSERT_EQ(entries.size(), 3);
    const struct
    {
        qint64 id;
        PrintJournal::Kind kind;
        qint64 codigo;
        PrintJournal::State state;
        QString antes, numero, z;
    } expected[] = {
        {taken, PrintJournal::Kind::Factura, 101, PrintJournal::State::Tomado, "", "", ""},
        {closing, PrintJournal::Kind::Nota, 7, PrintJournal::State::Cerrando, "00000006", "", ""},
        {closed, PrintJournal::Kind::Factura, 102, PrintJournal::State::Cerrado, "00000040",
         "00000041", "0003"},
    };
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(entries[i].id, expected[i].id);
        EXPECT_EQ(entries[i].kind, expected[i].kind);
        EXPECT_EQ(entries[i].codigo, expected[i].codigo);
        EXPECT_EQ(entries[i].state, expected[i].state);
        EXPECT_EQ(entries[i].numeroAntes, expected[i].antes);
        EXPECT_EQ(entries[i].numero, expected[i].numero);
        EXPECT_EQ(entries[i].numeroZ, expected[i].z);
    }
    EXPECT_EQ(j.closedBefore(PrintJournal::Kind::Factura, 102), QStringLiteral("00000041"));
    EXPECT_EQ(j.closedBefore(PrintJournal::Kind::Factura, 103), QStringLiteral("00000042"));
    EXPECT_EQ(j.closedBefore(PrintJournal::Kind::Factura, 104), QString());
    EXPECT_EQ(j.closedBefore(PrintJournal::Kind::Nota, 102), QString());
    j.anulado(taken);
    j.registrado(closed);
    j.anulado(closing);
    EXPECT_TRUE(j.settled());
}
