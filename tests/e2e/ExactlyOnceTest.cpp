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

QString docName(bool nota, qint64 code)
{
    return (nota ? QStringLiteral(" nota ") : QStringLiteral(" factura ")) + QString::number(code);
}

// Runs the robot until it prints (or recovers) the document; its output.
QString runUntilDone(Installation &inst, bool nota, qint64 code)
{
    RobotProcess robot(inst.path());
    const QString doc = docName(nota, code);
    EXPECT_TRUE(robot.waitForOutput(QStringList{"impresa" + doc, "recuperada" + doc}))
        << (robot.out() + robot.err()).toStdString();
    robot.terminate();
    robot.waitForExit();
    return robot.out() + robot.err();
}

// How a run of the robot goes wrong at the nth command of a document.
enum class Fault {
    Kill,          // the process dies right after it, as in a power cut
    LoseReply,     // the printer carries it out and its answer is lost
    LoseThenRead,  // as LoseReply, and the next status or report read fails too
    KillAfterRead, // the read just before the closing fails, then the closing kills
};

struct Plan
{
    int commands = 0;      // SendCmd calls of the document
    QList<int> nextUpload; // per command: the upload call that follows it, 0 if none
    int closing = 0;       // the last command that closed the document
    int readBeforeClosing = 0;
};

// The calls one clean run makes: which command is which, and where the reads fall.
Plan planOf(const QString &type, bool nota)
{
    Installation inst({.type = type, .simIni = kCounters});
    runUntilDone(inst, nota, addDocument(inst, nota));
    Plan plan;
    int uploads = 0;
    for (const QStringList &call : inst.simLog()) {
        if (call.value(0) == QLatin1String("SendCmd")) {
            ++plan.commands;
            plan.nextUpload << 0;
            plan.closing = plan.commands;
            plan.readBeforeClosing = uploads;
        } else if (call.value(0).startsWith(QLatin1String("Upload"))) {
            ++uploads;
            for (int &next : plan.nextUpload)
                if (next == 0)
                    next = uploads;
        }
    }
    return plan;
}

QByteArray faultsFor(Fault fault, int n, const Plan &plan)
{
    const QByteArray nth = QByteArray::number(n);
    switch (fault) {
    case Fault::Kill:
        return "KillAfter=" + nth;
    case Fault::LoseReply:
        return "LoseReplyNth=" + nth;
    case Fault::LoseThenRead:
        return "LoseReplyNth=" + nth +
               "\nUploadFailNth=" + QByteArray::number(plan.nextUpload.value(n - 1));
    case Fault::KillAfterRead:
        return "KillAfter=" + QByteArray::number(plan.closing) +
               "\nUploadFailNth=" + QByteArray::number(plan.readBeforeClosing);
    }
    return {};
}

// Runs the robot on a document with a fault at its nth command, then again
// without faults with one more invoice queued behind it, and checks that
// the printer closed each document exactly once, that each row holds the
// number the printer gave that document, and that nothing was left stuck.
void faultAt(const QString &type, bool nota, Fault fault, int n, const Plan &plan)
{
    SCOPED_TRACE(QStringLiteral("%1 %2, fault %3 at command %4 of %5")
                     .arg(type, nota ? "nota" : "factura")
                     .arg(int(fault))
                     .arg(n)
                     .arg(plan.commands)
                     .toStdString());
    Installation inst(
        {.type = type, .simIni = kCounters + "[faults]\n" + faultsFor(fault, n, plan) + "\n"});
    const qint64 code = addDocument(inst, nota);
    QString log;
    {
        RobotProcess robot(inst.path());
        if (fault == Fault::Kill || fault == Fault::KillAfterRead) {
            ASSERT_TRUE(robot.waitForExit());
            ASSERT_EQ(robot.exitCode(), -1) << robot.err().toStdString();
        } else {
            const QString doc = docName(nota, code);
            EXPECT_TRUE(
                robot.waitForOutput({"impresa" + doc, "recuperada" + doc, "retenida" + doc}))
                << (robot.out() + robot.err()).toStdString();
        }
        log = robot.out() + robot.err();
    }
    inst.writeSimIni(kCounters);
    const qint64 behind = inst.db().addSale({});
    inst.db().addItem(behind, {});
    {
        RobotProcess robot(inst.path());
        const auto recorded = [&] {
            return (nota ? inst.db().creditNote(code, "Impresa") : inst.db().sale(code, "Impresa"))
                       .toInt() == -1;
        };
        EXPECT_TRUE(robot.waitForOutput({"impresa" + docName(false, behind)}));
        if (!recorded()) {
            EXPECT_TRUE(robot.waitForOutput(
                {"impresa" + docName(nota, code), "recuperada" + docName(nota, code)}));
        }
        robot.terminate();
        robot.waitForExit();
        log += robot.out() + robot.err();
    }

    if (qEnvironmentVariableIsSet("HARNESS_DEBUG"))
        qInfo("%d %d %s", int(fault), n, qPrintable(log));
    const QJsonObject memory = inst.fiscalMemory();
    const auto numero = [](int n) { return QStringLiteral("%1").arg(n, 8, 10, QLatin1Char('0')); };
    EXPECT_TRUE(memory.value("document").toObject().isEmpty())
        << "a document was left open on the printer";
    EXPECT_EQ(memory.value("lastInvoice").toInt(), kFirstInvoice + (nota ? 1 : 2))
        << log.toStdString();
    EXPECT_EQ(memory.value("lastCreditNote").toInt(), kFirstNote + (nota ? 1 : 0))
        << log.toStdString();
    if (nota) {
        EXPECT_EQ(inst.db().creditNote(code, "Número").toString(), numero(kFirstNote + 1));
        EXPECT_EQ(inst.db().creditNote(code, "Impresa").toInt(), -1);
        EXPECT_EQ(inst.db().sale(behind, "Factura").toString(), numero(kFirstInvoice + 1));
    } else {
        EXPECT_EQ(inst.db().sale(code, "Factura").toString(), numero(kFirstInvoice + 1));
        EXPECT_EQ(inst.db().sale(code, "NúmeroZ").toInt(), 4);
        EXPECT_EQ(inst.db().sale(behind, "Factura").toString(), numero(kFirstInvoice + 2));
    }
}

// Every command of an invoice and of a credit note: killed after it, its
// answer lost, its answer lost and the next read failing; and the read just
// before the closing failing with a kill at the closing.
void faultAtEveryCommand(const QString &type)
{
    for (const bool nota : {false, true}) {
        const Plan plan = planOf(type, nota);
        ASSERT_GT(plan.commands, 4);
        for (int n = 1; n <= plan.commands; ++n) {
            for (const Fault fault : {Fault::Kill, Fault::LoseReply, Fault::LoseThenRead})
                if (fault != Fault::LoseThenRead || plan.nextUpload.value(n - 1) > 0)
                    faultAt(type, nota, fault, n, plan);
        }
        faultAt(type, nota, Fault::KillAfterRead, plan.closing, plan);
    }
}

TEST(ExactlyOnce, InvoiceAndCreditNoteFaultedAtEveryCommandHka)
{
    faultAtEveryCommand(QStringLiteral("HKA"));
}

TEST(ExactlyOnceAllTypes, InvoiceAndCreditNoteFaultedAtEveryCommandSamsungDascom)
{
    for (const QString type : {"SAMSUNG", "DASCOM"})
        faultAtEveryCommand(type);
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
