#include "support/Installation.h"
#include "support/RobotProcess.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QUuid>
#include <gtest/gtest.h>

using testsupport::Installation;
using testsupport::RobotProcess;

namespace {

constexpr int kFirstInvoice = 40;
constexpr int kFirstNote = 7;
const QByteArray kCounters = "[counters]\nInvoice=40\nCreditNote=7\nZ=3\n";

// One document of the kind, pending, with everything a printer type sends:
// a long address, a discount, and for DASCOM its payment rows.
qint64 addDocument(Installation &inst, bool nota)
{
    const qint64 venta = inst.db().addSale(
        {.customer = {"Cliente de Prueba", "J123456789",
                      "Avenida Francisco de Miranda, Edificio Parque Cristal, Torre Este, Piso 4",
                      "0212-5551234"},
         .desc01 = 10,
         .factura = nota ? QVariant("00000031") : QVariant()});
    if (!nota) {
        inst.db().addItem(venta, {"HARINA", 10.0, 2, 2, {}, 0});
        inst.db().addItem(venta, {"ARROZ", 5.5, 1, 1, {}, -1});
        // 20 + 5.5 less 10 per cent, 16 per cent on the taxed part: 18.00 + 2.88 + 4.95.
        inst.db().addPayment(venta, 0, 20.0);
        inst.db().addPayment(venta, 4, 5.83);
        return venta;
    }
    inst.db().addPayment(venta, 2, 5.0);
    const qint64 code = inst.db().addCreditNote({.venta = venta, .desc01 = 5});
    inst.db().addCreditNoteLine(code, {"LIMON", 3.0, 2, 2, {}, 0});
    return code;
}

// Runs the robot until it prints (or recovers) the document; its output.
QString runUntilDone(Installation &inst, bool nota, qint64 code)
{
    RobotProcess robot(inst.path());
    const QString doc = (nota ? " nota " : " factura ") + QString::number(code);
    EXPECT_TRUE(robot.waitForOutput(QStringList{"impresa" + doc, "recuperada" + doc}))
        << (robot.out() + robot.err()).toStdString();
    robot.terminate();
    robot.waitForExit();
    return robot.out() + robot.err();
}

// Kills the robot right after each command of a document in turn, as a power
// cut would, restarts it, and checks that the printer closed the document
// exactly once and that its row holds the number the printer gave it.
void killAtEveryCommand(const QString &type, bool nota)
{
    qsizetype commands = 0;
    {
        Installation inst({.type = type, .simIni = kCounters});
        runUntilDone(inst, nota, addDocument(inst, nota));
        commands = inst.sentCommands().size();
    }
    ASSERT_GT(commands, 4);
    for (int n = 1; n <= commands; ++n) {
        SCOPED_TRACE(QStringLiteral("%1 %2, killed after command %3 of %4")
                         .arg(type, nota ? "nota" : "factura")
                         .arg(n)
                         .arg(commands)
                         .toStdString());
        Installation inst(
            {.type = type,
             .simIni = kCounters + "[faults]\nKillAfter=" + QByteArray::number(n) + "\n"});
        const qint64 code = addDocument(inst, nota);
        {
            RobotProcess robot(inst.path());
            ASSERT_TRUE(robot.waitForExit());
            ASSERT_EQ(robot.exitCode(), -1) << robot.err().toStdString();
        }
        inst.writeSimIni(kCounters);
        const QString log = runUntilDone(inst, nota, code);

        const QJsonObject memory = inst.fiscalMemory();
        const int last = memory.value(nota ? "lastCreditNote" : "lastInvoice").toInt();
        EXPECT_EQ(last, (nota ? kFirstNote : kFirstInvoice) + 1) << log.toStdString();
        EXPECT_TRUE(memory.value("document").toObject().isEmpty())
            << "a document was left open on the printer";
        const QString expected = QStringLiteral("%1").arg(last, 8, 10, QLatin1Char('0'));
        if (nota) {
            EXPECT_EQ(inst.db().creditNote(code, QStringLiteral("Número")).toString(), expected);
            EXPECT_EQ(inst.db().creditNote(code, QStringLiteral("Impresa")).toInt(), -1);
        } else {
            EXPECT_EQ(inst.db().sale(code, QStringLiteral("Factura")).toString(), expected);
            EXPECT_EQ(inst.db().sale(code, QStringLiteral("NúmeroZ")).toInt(), 4);
            EXPECT_EQ(inst.db().sale(code, QStringLiteral("Impresa")).toInt(), -1);
        }
    }
}

TEST(ExactlyOnce, InvoiceAndCreditNoteKilledAtEveryCommandHka)
{
    for (const bool nota : {false, true})
        killAtEveryCommand(QStringLiteral("HKA"), nota);
}

TEST(ExactlyOnceAllTypes, InvoiceAndCreditNoteKilledAtEveryCommandSamsungDascom)
{
    for (const QString type : {"SAMSUNG", "DASCOM"})
        for (const bool nota : {false, true})
            killAtEveryCommand(type, nota);
}

TEST(ExactlyOnce, WriteLockHeldPastTheBusyTimeoutIsRecordedAfterItsRelease)
{
    Installation inst({.simIni = kCounters});
    inst.db().exec(QStringLiteral("PRAGMA journal_mode=WAL"));
    const qint64 code = addDocument(inst, false);

    // Another program of the shop holds the write lock while the robot prints.
    const QString name = QUuid::createUuid().toString();
    {
        QSqlDatabase other = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        other.setDatabaseName(inst.file(QStringLiteral("Base de Datos.dba")));
        ASSERT_TRUE(other.open());
        QSqlQuery q(other);
        ASSERT_TRUE(q.exec(QStringLiteral("BEGIN IMMEDIATE")));
        ASSERT_TRUE(q.exec(QStringLiteral("UPDATE Clientes SET Nombre = Nombre WHERE 0")));

        RobotProcess robot(inst.path());
        ASSERT_TRUE(robot.waitForError(QStringLiteral("fue impresa pero no quedó registrada")))
            << robot.err().toStdString();
        EXPECT_EQ(inst.db().sale(code, QStringLiteral("Impresa")).toInt(), 0);
        ASSERT_TRUE(q.exec(QStringLiteral("COMMIT")));
        ASSERT_TRUE(
            robot.waitForOutput({QStringLiteral("recuperada factura %1 00000041").arg(code)}))
            << (robot.out() + robot.err()).toStdString();
        robot.terminate();
        robot.waitForExit();
        other.close();
    }
    QSqlDatabase::removeDatabase(name);
    EXPECT_EQ(inst.fiscalMemory().value("lastInvoice").toInt(), kFirstInvoice + 1);
    EXPECT_EQ(inst.db().sale(code, QStringLiteral("Factura")).toString(),
              QStringLiteral("00000041"));
    EXPECT_EQ(inst.db().sale(code, QStringLiteral("Impresa")).toInt(), -1);
}

} // namespace
