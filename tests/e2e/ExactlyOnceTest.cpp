#include "core/DocumentKind.h"
#include "core/Texts.h"
#include "db/MachineLock.h"
#include "support/Installation.h"
#include "support/RobotProcess.h"

#include <QDeadlineTimer>
#include <QSysInfo>
#include <gtest/gtest.h>

using testsupport::Engine;
using testsupport::Installation;
using testsupport::MainRows;
using testsupport::RobotProcess;
using enum core::DocumentKind;
namespace texts = core::texts;

namespace {

constexpr int kFirstInvoice = 40;
constexpr int kFirstNote = 7;
const QByteArray kCounters = "[counters]\nInvoice=40\nCreditNote=7\nZ=3\n";

// One document of the kind for the installation's fiscal machine, pending,
// with everything a printer type sends: a long address, a discount, and for
// DASCOM its payment rows.
qint64 addDocument(Installation &inst, core::DocumentKind kind, int machine = 1)
{
    const qint64 sale = inst.db().addSale(
        {.customer = {"Cliente de Prueba", "J123456789",
                      "Avenida Francisco de Miranda, Edificio Parque Cristal, Torre Este, Piso 4",
                      "0212-5551234"},
         .discount = 10,
         .fiscalMachine = machine,
         .invoiceNumber = kind == CreditNote ? QVariant("00000031") : QVariant()});
    if (kind == Invoice) {
        inst.db().addItem(sale, {"HARINA", 10.0, 2, 2, {}, 0});
        inst.db().addItem(sale, {"ARROZ", 5.5, 1, 1, {}, -1});
        // 20 + 5.5 less 10 per cent, 16 per cent on the taxed part: 18.00 + 2.88 + 4.95.
        inst.db().addPayment(sale, 0, 20.0);
        inst.db().addPayment(sale, 4, 5.83);
        return sale;
    }
    inst.db().addPayment(sale, 2, 5.0);
    const qint64 code =
        inst.db().addCreditNote({.sale = sale, .discount = 5, .fiscalMachine = machine});
    inst.db().addCreditNoteLine(code, {"LIMON", 3.0, 2, 2, {}, 0});
    return code;
}

QString docName(core::DocumentKind kind, qint64 code)
{
    return (kind == CreditNote ? " nota " : " factura ") + QString::number(code);
}

// The robot's line when it printed (or recovered) the document.
QStringList done(core::DocumentKind kind, qint64 code)
{
    return {"impresa" + docName(kind, code), "recuperada" + docName(kind, code)};
}

QString printerNumber(int n)
{
    return QStringLiteral("%1").arg(n, 8, 10, QLatin1Char('0'));
}

// The robot running on `dir` asked, as an operator would: its standard output.
QString ask(const QString &dir, const QStringList &words)
{
    return RobotProcess::ask(dir, words).out;
}

// Once the robot on `dir` answers: it has started.
bool answers(const QString &dir)
{
    const QDeadlineTimer deadline(60000);
    while (!deadline.hasExpired()) {
        if (RobotProcess::ask(dir, {QStringLiteral("estado")}).status == 0)
            return true;
    }
    return false;
}

// Runs the robot until it prints (or recovers) the document; its output.
QString runUntilDone(Installation &inst, core::DocumentKind kind, qint64 code)
{
    RobotProcess robot(inst.path());
    EXPECT_TRUE(robot.waitForOutput(done(kind, code))) << (robot.out() + robot.err()).toStdString();
    robot.stop();
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
Plan planOf(const QString &type, core::DocumentKind kind)
{
    Installation inst({.type = type, .simIni = kCounters});
    runUntilDone(inst, kind, addDocument(inst, kind));
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
void faultAt(const QString &type, Engine engine, core::DocumentKind kind, Fault fault, int n,
             const Plan &plan)
{
    SCOPED_TRACE(QStringLiteral("%1 %2, fault %3 at command %4 of %5")
                     .arg(type, kind == CreditNote ? "nota" : "factura")
                     .arg(int(fault))
                     .arg(n)
                     .arg(plan.commands)
                     .toStdString());
    Installation inst({.type = type,
                       .simIni = kCounters + "[faults]\n" + faultsFor(fault, n, plan) + "\n",
                       .engine = engine});
    const qint64 code = addDocument(inst, kind);
    QString log;
    {
        RobotProcess robot(inst.path());
        if (fault == Fault::Kill || fault == Fault::KillAfterRead) {
            ASSERT_TRUE(robot.waitForExit());
            ASSERT_EQ(robot.exitCode(), -1) << robot.err().toStdString();
        } else {
            EXPECT_TRUE(robot.waitForOutput(done(kind, code) << "retenida" + docName(kind, code)))
                << (robot.out() + robot.err()).toStdString();
        }
        log = robot.out() + robot.err();
    }
    inst.writeSimIni(kCounters);
    const qint64 behind = inst.db().addSale({});
    inst.db().addItem(behind, {});
    {
        RobotProcess robot(inst.path());
        EXPECT_TRUE(robot.waitForOutput({"impresa" + docName(Invoice, behind)}));
        EXPECT_TRUE(inst.db().document(kind, code, "Impresa").toInt() == -1 ||
                    robot.waitForOutput(done(kind, code)));
        robot.stop();
        log += robot.out() + robot.err();
    }
    const QJsonObject memory = inst.fiscalMemory();
    EXPECT_TRUE(memory.value("document").toObject().isEmpty())
        << "a document was left open on the printer";
    const bool note = kind == CreditNote;
    EXPECT_EQ(memory.value("lastInvoice").toInt(), kFirstInvoice + 2 - note) << log.toStdString();
    EXPECT_EQ(memory.value("lastCreditNote").toInt(), kFirstNote + note) << log.toStdString();
    EXPECT_EQ(inst.db().document(kind, code, note ? "Número" : "Factura").toString(),
              printerNumber(note ? kFirstNote + 1 : kFirstInvoice + 1));
    EXPECT_EQ(inst.db().document(kind, code, "Impresa").toInt(), -1);
    EXPECT_EQ(inst.db().sale(behind, "Factura").toString(),
              printerNumber(kFirstInvoice + 2 - note));
    if (!note) {
        EXPECT_EQ(inst.db().sale(code, "NúmeroZ").toInt(), 4);
    }
}

// Every command of an invoice and of a credit note with each fault in turn
// (KillAfterRead: at the closing).
void faultAtEveryCommand(const QString &type, Engine engine, const QList<Fault> &faults)
{
    for (const auto kind : {Invoice, CreditNote}) {
        const Plan plan = planOf(type, kind);
        ASSERT_GT(plan.commands, 4);
        for (const Fault fault : faults) {
            for (int n = 1; n <= plan.commands; ++n) {
                if ((fault != Fault::LoseThenRead || plan.nextUpload.value(n - 1) > 0) &&
                    (fault != Fault::KillAfterRead || n == plan.closing))
                    faultAt(type, engine, kind, fault, n, plan);
            }
        }
    }
}

const QList<Fault> kAllFaults{Fault::Kill, Fault::LoseReply, Fault::LoseThenRead,
                              Fault::KillAfterRead};

using ExactlyOnce = testsupport::OnEngine;
RUN_ON_BOTH_ENGINES(ExactlyOnce);

TEST_P(ExactlyOnce, InvoiceAndCreditNoteKilledAfterEveryCommandHka)
{
    faultAtEveryCommand(QStringLiteral("HKA"), GetParam(), {Fault::Kill});
}

// Faults of the printer's line, whatever the database: on SQLite only.
TEST(ExactlyOnce, InvoiceAndCreditNoteAnswersLostAtEveryCommandHka)
{
    faultAtEveryCommand(QStringLiteral("HKA"), Engine::Sqlite,
                        {Fault::LoseReply, Fault::LoseThenRead, Fault::KillAfterRead});
}

// The other printer types: the kills on both engines, the line's faults on SQLite.
using ExactlyOnceAllTypes = testsupport::OnEngine;
RUN_ON_BOTH_ENGINES(ExactlyOnceAllTypes);

TEST_P(ExactlyOnceAllTypes, InvoiceAndCreditNoteFaultedAtEveryCommandSamsungDascom)
{
    for (const QString type : {"SAMSUNG", "DASCOM"})
        faultAtEveryCommand(type, GetParam(),
                            GetParam() == Engine::Sqlite ? kAllFaults : QList<Fault>{Fault::Kill});
}

// Two robots for one fiscal machine on PostgreSQL. The first one's server
// session ends in the middle of an invoice (as in a server restart), and the
// second, which waited for the machine, takes its lock at its next tick: it
// never prints the invoice the first one claimed, holding it with the first
// one's name, and prints what comes after; the first prints nothing new.
TEST(ExactlyOnce, SecondRobotForTheMachineNeverPrintsWhatTheFirstClaimed)
{
    // An invoice of many items on a slow line: a few seconds from start to close.
    Installation one({.simIni = "[link]\nBaud=1200\n", .engine = Engine::Postgres});
    Installation two({.sharing = &one});
    MainRows server(one.mainDatabase());
    const auto endLockSession = [&] {
        server.exec(QStringLiteral("SELECT pg_terminate_backend(pid, 30000) FROM pg_locks WHERE "
                                   "locktype = 'advisory' AND granted AND classid = %1 AND "
                                   "objid = 1 AND database = (SELECT oid FROM pg_database "
                                   "WHERE datname = current_database())")
                        .arg(db::MachineLock::kNamespace));
    };
    // The second robot runs without the machine: its lock's session ended
    // while its polling was stopped, and the first one took the machine.
    RobotProcess second(two.path());
    ASSERT_TRUE(answers(two.path()));
    ask(two.path(), {"detener"});
    endLockSession();
    RobotProcess first(one.path());
    ASSERT_TRUE(answers(one.path())) << first.err().toStdString();
    ask(two.path(), {"iniciar"});
    ASSERT_TRUE(second.waitForError(texts::fiscalMachineTaken(1))) << second.err().toStdString();

    const qint64 claimed = one.db().addSale({});
    for (int i = 0; i < 12; ++i)
        one.db().addItem(claimed, {});
    ASSERT_TRUE(first.waitForOutput({"inicio" + docName(Invoice, claimed)}));
    endLockSession();
    const QString held = "retenida" + docName(Invoice, claimed);
    ASSERT_TRUE(second.waitForOutput({held, "impresa" + docName(Invoice, claimed)}));
    EXPECT_TRUE(second.out().contains(
        held + ' ' +
        texts::claimedByAnother(Invoice, claimed, QSysInfo::machineHostName() + ':' + one.path())))
        << second.out().toStdString();
    ASSERT_TRUE(first.waitForOutput({"impresa" + docName(Invoice, claimed)}));
    const qint64 after = one.db().addSale({});
    one.db().addItem(after, {});
    ASSERT_TRUE(second.waitForOutput({"impresa" + docName(Invoice, after)}))
        << second.err().toStdString();
    EXPECT_EQ(one.fiscalMemory().value("lastInvoice").toInt(), 1);
    EXPECT_EQ(two.fiscalMemory().value("lastInvoice").toInt(), 1);
    EXPECT_EQ(one.db().sale(claimed, "Factura").toString(), printerNumber(1));
}

} // namespace
