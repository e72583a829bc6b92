#include "db/PrintJournal.h"
#include "support/Installation.h"
#include "support/RobotProcess.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QUuid>
#include <gtest/gtest.h>

using testsupport::Installation;
using testsupport::MainDatabase;
using testsupport::RobotProcess;

namespace {

constexpr int kFirstInvoice = 40;
constexpr int kFirstNote = 7;

QJsonObject fiscalMemory(const Installation &inst)
{
    QFile f(inst.dir().file(QStringLiteral("fiscalsim.state")));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QJsonDocument::fromJson(f.readAll()).object();
}

QByteArray counters()
{
    return QStringLiteral("[counters]\nInvoice=%1\nCreditNote=%2\nZ=3\n")
        .arg(kFirstInvoice)
        .arg(kFirstNote)
        .toLatin1();
}

// One document of the kind, pending, with everything a printer type sends:
// a long address, a discount, and for DASCOM its payment rows.
qint64 addDocument(Installation &inst, bool nota)
{
    MainDatabase::Sale sale;
    sale.customer.direccion = QStringLiteral("Avenida Francisco de Miranda, Edificio Parque "
                                             "Cristal, Torre Este, Piso 4");
    sale.desc01 = 10;
    if (nota)
        sale.factura = QStringLiteral("00000031");
    const qint64 venta = inst.db().addSale(sale);
    if (!nota) {
        inst.db().addItem(venta, {"HARINA", 10.0, 2, 2, QVariant(), 0});
        inst.db().addItem(venta, {"ARROZ", 5.5, 1, 1, QVariant(), -1});
        // 20 + 5.5 less 10 per cent, 16 per cent on the taxed part: 18.00 + 2.88 + 4.95.
        inst.db().addPayment(venta, 0, 20.0);
        inst.db().addPayment(venta, 4, 5.83);
        return venta;
    }
    inst.db().addPayment(venta, 2, 5.0);
    MainDatabase::Note note;
    note.venta = venta;
    note.desc01 = 5;
    const qint64 code = inst.db().addCreditNote(note);
    inst.db().addCreditNoteLine(code, {"LIMON", 3.0, 2, 2, QVariant(), 0});
    return code;
}

// Runs the robot until it prints (or recovers) the document; the output.
QString runUntilDone(Installation &inst, bool nota, qint64 code)
{
    RobotProcess robot(inst.path());
    robot.start();
    const QString kind = nota ? QStringLiteral("nota ") : QStringLiteral("factura ");
    const QString printed = QStringLiteral("impresa ") + kind + QString::number(code);
    const QString recovered = QStringLiteral("recuperada ") + kind + QString::number(code);
    EXPECT_TRUE(robot.waitForAnyOutput({printed, recovered}, 60000))
        << qPrintable(robot.standardOutput() + robot.standardError());
    robot.terminate();
    robot.waitForExit();
    return robot.standardOutput() + robot.standardError();
}

int sendCommandsOf(const QString &type, bool nota)
{
    Installation inst(type, counters());
    const qint64 code = addDocument(inst, nota);
    runUntilDone(inst, nota, code);
    return static_cast<int>(inst.sentCommands().size());
}

// Kills the robot right after each command of a document in turn, as a power
// cut would, restarts it, and checks that the printer closed the document
// exactly once and that its row holds the number the printer gave it.
void killAtEveryCommand(const QString &type, bool nota)
{
    const int commands = sendCommandsOf(type, nota);
    ASSERT_GT(commands, 4);
    for (int n = 1; n <= commands; ++n) {
        SCOPED_TRACE(QStringLiteral("%1 %2, killed after command %3 of %4")
                         .arg(type, nota ? "nota" : "factura")
                         .arg(n)
                         .arg(commands)
                         .toStdString());
        Installation inst(type, counters() +
                                    QStringLiteral("[faults]\nKillAfter=%1\n").arg(n).toLatin1());
        const qint64 code = addDocument(inst, nota);
        {
            RobotProcess robot(inst.path());
            robot.start();
            ASSERT_TRUE(robot.waitForExit(60000));
            ASSERT_EQ(robot.exitStatus(), QProcess::CrashExit) << qPrintable(robot.standardError());
        }
        inst.writeSimIni(counters());
        const QString log = runUntilDone(inst, nota, code);

        const QJsonObject memory = fiscalMemory(inst);
        const int last =
            memory.value(nota ? QStringLiteral("lastCreditNote") : QStringLiteral("lastInvoice"))
                .toInt();
        EXPECT_EQ(last, (nota ? kFirstNote : kFirstInvoice) + 1) << qPrintable(log);
        EXPECT_TRUE(memory.value(QStringLiteral("document")).toObject().isEmpty())
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

TEST(ExactlyOnce, InvoiceKilledAtEveryCommandHka)
{
    killAtEveryCommand(QStringLiteral("HKA"), false);
}
TEST(ExactlyOnce, CreditNoteKilledAtEveryCommandHka)
{
    killAtEveryCommand(QStringLiteral("HKA"), true);
}
TEST(ExactlyOnceAllTypes, InvoiceKilledAtEveryCommandSamsung)
{
    killAtEveryCommand(QStringLiteral("SAMSUNG"), false);
}
TEST(ExactlyOnceAllTypes, CreditNoteKilledAtEveryCommandSamsung)
{
    killAtEveryCommand(QStringLiteral("SAMSUNG"), true);
}
TEST(ExactlyOnceAllTypes, InvoiceKilledAtEveryCommandDascom)
{
    killAtEveryCommand(QStringLiteral("DASCOM"), false);
}
TEST(ExactlyOnceAllTypes, CreditNoteKilledAtEveryCommandDascom)
{
    killAtEveryCommand(QStringLiteral("DASCOM"), true);
}

TEST(ExactlyOnce, WriteLockHeldPastTheBusyTimeoutIsRecordedAfterItsRelease)
{
    Installation inst(QStringLiteral("HKA"), counters());
    inst.db().exec(QStringLiteral("PRAGMA journal_mode=WAL"));
    const qint64 code = addDocument(inst, false);

    // Another program of the shop holds the write lock while the robot prints.
    const QString name = QUuid::createUuid().toString();
    {
        QSqlDatabase other = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        other.setDatabaseName(inst.dir().file(QStringLiteral("Base de Datos.dba")));
        ASSERT_TRUE(other.open());
        QSqlQuery q(other);
        ASSERT_TRUE(q.exec(QStringLiteral("BEGIN IMMEDIATE")));
        ASSERT_TRUE(q.exec(QStringLiteral("UPDATE Clientes SET Nombre = Nombre WHERE 0")));

        RobotProcess robot(inst.path());
        robot.start();
        ASSERT_TRUE(
            robot.waitForError(QStringLiteral("fue impresa pero no quedó registrada"), 60000))
            << qPrintable(robot.standardError());
        EXPECT_EQ(inst.db().sale(code, QStringLiteral("Impresa")).toInt(), 0);
        ASSERT_TRUE(q.exec(QStringLiteral("COMMIT")));
        ASSERT_TRUE(
            robot.waitForOutput(QStringLiteral("recuperada factura %1 00000041").arg(code), 60000))
            << qPrintable(robot.standardOutput() + robot.standardError());
        robot.terminate();
        robot.waitForExit();
        other.close();
    }
    QSqlDatabase::removeDatabase(name);
    EXPECT_EQ(fiscalMemory(inst).value(QStringLiteral("lastInvoice")).toInt(), kFirstInvoice + 1);
    EXPECT_EQ(inst.db().sale(code, QStringLiteral("Factura")).toString(),
              QStringLiteral("00000041"));
    EXPECT_EQ(inst.db().sale(code, QStringLiteral("Impresa")).toInt(), -1);
}

} // namespace
