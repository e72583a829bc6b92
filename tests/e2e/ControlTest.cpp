#include "core/Texts.h"
#include "support/Installation.h"
#include "support/OtherUser.h"
#include "support/RobotProcess.h"

#include <QDateTime>
#include <QDeadlineTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocalSocket>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

using testsupport::Installation;
using testsupport::RobotProcess;
namespace texts = core::texts;

namespace {

using Answer = RobotProcess::Answer;

QJsonObject json(const Answer &a)
{
    return QJsonDocument::fromJson(a.out.toUtf8()).object();
}

// A robot running, once the invoice it was given is printed.
struct Running
{
    Installation inst;
    RobotProcess robot;
    Running() : robot(inst.path()) { EXPECT_TRUE(robot.waitForOutput({printed(invoice())})); }
    ~Running() { robot.stop(); }
    qint64 invoice(QVariant price = 10.0)
    {
        const qint64 sale = inst.db().addSale({});
        inst.db().addItem(sale, {.price = price});
        return sale;
    }
    static QString printed(qint64 sale) { return QStringLiteral("impresa factura %1").arg(sale); }
    Answer ask(const QStringList &words) const { return RobotProcess::ask(inst.path(), words); }
};

TEST(Control, EachCommandDoesWhatItsButtonDoes)
{
    Running r;
    // The words, the printer's faults meanwhile, the exit status, the start of standard output
    // when done (of standard error otherwise), and what reached the simulated printer.
    const std::tuple<QStringList, QByteArray, int, QString, QStringList> cases[] = {
        // clang-format off
        {{"cierre-x"}, {}, 0, texts::kXReportPrinted, {"I0X"}},
        {{"cierre-z"}, {}, 0, texts::kZReportPrinted, {"I0Z"}},
        // A Z is judged by the printer's Z counter, whatever its answer says.
        {{"cierre-z"}, "LoseReplyNth=1", 0, texts::kZReportPrinted, {"I0Z [refused]"}},
        {{"cierre-z"}, "LoseReplyNth=1\nUploadFailNth=2", 1, texts::kZReportUnknown, {"I0Z [refused]"}},
        // Its retry: the counter moved, that Z was printed and is not printed again.
        {{"cierre-z"}, {}, 0, texts::kZReportPrinted, {}},
        {{"reporte-memoria", "01/01/2015", "31/01/2015"}, {}, 0,
         "Reporte de memoria fiscal del 01/01/2015 al 31/01/2015 impreso.", {"I2A010115310115"}},
        {{"abrir-gaveta"}, {}, 0, texts::kDrawerOpened, {"0", "w"}},
        // Through whatever is open: nothing is, the printer refuses it.
        {{"anular"}, {}, 1, "La impresora rechazó la anulación (Error: ", {"7 [refused]"}},
        {{"reporte-memoria", "32/01/2015", "31/01/2015"}, {}, 2, texts::invalidDate("32/01/2015", "dd/MM/yyyy"), {}},
        {{"reporte-memoria", "31/12/2015", "01/01/2015"}, {}, 2, texts::kEndDateMustBeLater, {}},
        // The printer's two-digit year would carry these as another century's.
        {{"reporte-memoria", "01/01/2015", "01/01/2100"}, {}, 2, texts::yearOutOfPrinterRange("01/01/2100", 2000, 2099), {}},
        {{"reintentar", "factura", "999"}, {}, 1, texts::notHeld(core::DocumentKind::Invoice, 999), {}},
        {{"aceptar-numeros"}, {}, 1, texts::kNoNumbersToAccept, {}},
        // clang-format on
    };
    for (const auto &[words, faults, status, line, sent] : cases) {
        SCOPED_TRACE((words.join(' ') + ' ' + faults).toStdString());
        r.inst.writeSimIni("[faults]\n" + faults + "\n");
        const qsizetype before = r.inst.sentCommands().size();
        const Answer a = r.ask(words);
        EXPECT_EQ(a.status, status);
        EXPECT_TRUE((status == 0 ? a.out : a.err).startsWith(line))
            << (a.out + a.err).toStdString();
        EXPECT_EQ(r.inst.sentCommands().mid(before), sent);
    }
    EXPECT_EQ(r.inst.fiscalMemory().value("lastZ").toInt(), 3) << "one Z report per Z printed";
}

TEST(Control, ReportsAndDrawerWaitForTheDocumentButAnularDoesNot)
{
    // An invoice that takes half a minute on a slow line, so that every request
    // below arrives while it is open however loaded the machine.
    Installation inst({.simIni = "[link]\nBaud=1200\n"});
    const qint64 code = inst.db().addSale({});
    for (int i = 0; i < 60; ++i)
        inst.db().addItem(code, {});
    RobotProcess robot(inst.path());
    ASSERT_TRUE(robot.waitForOutput({QStringLiteral("inicio factura %1").arg(code)}));
    const QJsonObject report = json(RobotProcess::ask(inst.path(), {"estado", "--json"}));
    EXPECT_EQ(report["imprimiendo"]["documento"], "factura");
    EXPECT_EQ(report["imprimiendo"]["codigo"].toInteger(), code);
    const std::tuple<const char *, int, QString> cases[] = {
        {"cierre-x", 1, texts::kDocumentPrinting},
        {"cierre-z", 1, texts::kDocumentPrinting},
        {"abrir-gaveta", 1, texts::kDocumentPrinting},
        {"anular", 0, texts::kCancelAccepted}};
    for (const auto &[word, status, text] : cases) {
        const Answer a = RobotProcess::ask(inst.path(), {word});
        EXPECT_EQ(a.status, status) << word;
        EXPECT_EQ((a.out + a.err).trimmed(), text) << word;
    }
    inst.writeSimIni({}); // a fast line again
    // The job ends at its next command, and the sale is printed again whole, once.
    EXPECT_TRUE(robot.waitForOutput({QStringLiteral("anulada factura %1").arg(code)}));
    EXPECT_TRUE(robot.waitForOutput({QStringLiteral("impresa factura %1 00000001").arg(code)}))
        << (robot.out() + robot.err()).toStdString();
    const QStringList sent = inst.sentCommands();
    const qsizetype at = sent.indexOf("7");
    ASSERT_GT(at, 0) << "sent in the middle of the document";
    EXPECT_TRUE(sent.value(at + 1).startsWith("i01"));
    EXPECT_EQ(sent.mid(at).filter("HARINA").size(), 60);
    for (const char *never : {"I0X", "I0Z", "0", "w"})
        EXPECT_FALSE(sent.contains(never)) << never;
}

TEST(Control, EstadoTellsHeldDocumentsAndReintentarAndPollingSwitchesFollowIt)
{
    Running r;
    const qint64 held = r.invoice(QVariant());
    const QString heldLine = QStringLiteral("retenida factura %1 ").arg(held);
    ASSERT_TRUE(r.robot.waitForOutput({heldLine}));
    QJsonObject report = json(r.ask({"estado", "--json"}));
    EXPECT_EQ(report.take("ultimo")["numero"], "00000001");
    QJsonObject listed = report.value("retenidos")[0].toObject();
    EXPECT_GE(listed.take("intentos").toInt(), 1);
    listed.remove("proximo_intento");
    report["retenidos"] = QJsonArray{listed};
    EXPECT_EQ(report.take("base_de_datos")["disponible"], true);
    EXPECT_EQ(report.take("maquina")["bloqueo"], "tomado");
    EXPECT_EQ(report.take("impresora")["responde"], true);
    for (const char *time : {"desde", "ultimo_tick"})
        EXPECT_TRUE(QDateTime::fromString(report.take(time).toString(), Qt::ISODate).isValid());
    EXPECT_EQ(report.take("version"), ROBOT_VERSION);
    const QJsonObject entry{
        {"documento", "factura"},
        {"codigo", held},
        {"motivo", texts::documentHeld(core::DocumentKind::Invoice, held, "Precio")}};
    EXPECT_EQ(report, (QJsonObject{{"sondeo", true},
                                   {"imprimiendo", QJsonValue::Null},
                                   {"pendientes", QJsonObject{{"facturas", 1}, {"notas", 0}}},
                                   {"retenidos", QJsonArray{entry}},
                                   {"sin_registrar", QJsonArray{}},
                                   {"despertar", "cambios"}}));

    // The same hold is told once; let go, the document is taken up at once again.
    const Answer again = r.ask({"reintentar", "factura", QString::number(held)});
    EXPECT_EQ(again.status, 0);
    EXPECT_EQ(again.out.trimmed(), texts::retryAccepted(core::DocumentKind::Invoice, held));
    const QDeadlineTimer deadline(60000);
    while (r.robot.out().count(heldLine) < 2 && !deadline.hasExpired())
        r.robot.waitForOutput({"\x01"}, 100); // reads what came meanwhile
    EXPECT_EQ(r.robot.out().count(heldLine), 2) << (r.robot.out() + r.robot.err()).toStdString();

    EXPECT_EQ(r.ask({"detener"}).out.trimmed(), texts::kPollingStoppedNow);
    const Answer plain = r.ask({"estado"});
    EXPECT_TRUE(plain.out.startsWith("Sondeo: detenido\nImprimiendo: nada\n"))
        << plain.out.toStdString();
    const qint64 next = r.invoice();
    EXPECT_EQ(r.ask({"iniciar"}).out.trimmed(), texts::kPollingStartedNow);
    EXPECT_TRUE(r.robot.waitForOutput({r.printed(next)}));
}

TEST(Control, WithoutARobotOrWithAWrongCommandOrDirectory)
{
    Installation inst;
    // A socket file a killed robot left behind answers nobody.
    inst.write("robot-fiscal.sock", {});
    // Directory, words, exit status, start of standard error.
    const std::tuple<QString, QStringList, int, QString> cases[] = {
        // clang-format off
        {inst.path(), {"estado"}, 3, texts::noRobot(inst.path())},
        {inst.file("nada"), {"cierre-z"}, 3, texts::directoryMissing(inst.file("nada"))},
        {inst.path(), {"cierre"}, 2, "Orden desconocida: cierre"},
        {inst.path(), {""}, 2, "Falta la orden."},
        {inst.path(), {"estado", "--xml"}, 2, "Argumentos no válidos para estado. Uso: estado [--json | --check]"},
        {inst.path(), {"cierre-x", "1"}, 2, "Argumentos no válidos para cierre-x. Uso: cierre-x\n"},
        {inst.path(), {"reintentar", "nota"}, 2,
         "Argumentos no válidos para reintentar. Uso: reintentar factura|nota CODIGO"},
        {inst.path(), {"verificar", "todo"}, 2, "Argumentos no válidos para verificar. Uso: verificar"},
        // An installed instance by its name, never by a path.
        {"", {"--instancia", "nada", "estado"}, 3, texts::directoryMissing("/var/lib/robot-fiscal/nada")},
        {"", {"--instancia", "../nada", "estado"}, 64, texts::instanceNotAName("../nada")},
        {inst.path(), {"--instancia", "nada", "estado"}, 64, texts::kDirOrInstance},
        {"", {"--init", "a", "--create-demo", "b"}, 64, texts::kDemoOrInit},
        // clang-format on
    };
    for (const auto &[dir, words, status, err] : cases) {
        SCOPED_TRACE(words.join(' ').toStdString());
        const Answer a = RobotProcess::ask(dir, words);
        EXPECT_EQ(a.status, status);
        EXPECT_TRUE(a.err.startsWith(err)) << a.err.toStdString();
        EXPECT_EQ(a.out, QString());
    }
}

TEST(Control, RequestsThatAreNoCommandGetAnErrorLine)
{
    Running r;
    const QString socket = r.inst.file("robot-fiscal.sock");
    // Not JSON, not an array, no words, words that are no strings, cut at the
    // line end, and past the size limit without a line end.
    const QByteArray requests[] = {"basura\n", "{}\n",           "[]\n",
                                   "[1,2]\n",  "[\"estado\",\n", QByteArray(5000, '[')};
    for (const QByteArray &request : requests) {
        SCOPED_TRACE(request.left(16).toStdString());
        QLocalSocket client;
        client.connectToServer(socket);
        ASSERT_TRUE(client.waitForConnected());
        client.write(request);
        QByteArray reply;
        while (!reply.contains('\n') && client.waitForReadyRead(30000))
            reply += client.readAll();
        const QJsonObject answer = QJsonDocument::fromJson(reply).object();
        EXPECT_EQ(answer["status"].toInt(), 2) << reply.toStdString();
    }
    EXPECT_EQ(r.ask({"estado"}).status, 0);
}

// The answer to `request` on a raw connection; an empty object when none came.
QJsonObject answerOn(int fd, const QByteArray &request)
{
    // A refused connection may be closed already: its answer is still there to read.
    ::send(fd, request.constData(), size_t(request.size()), MSG_NOSIGNAL);
    QByteArray reply;
    pollfd wait{fd, POLLIN, 0};
    char buffer[512];
    while (!reply.contains('\n') && ::poll(&wait, 1, 30000) == 1) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n <= 0)
            break;
        reply.append(buffer, n);
    }
    return QJsonDocument::fromJson(reply).object();
}

// Operators of the directory's group holding connections keep neither the
// robot's own user (root here) nor each other out beyond their share; a user
// outside the group is refused even through a socket whose mode was loosened.
TEST(Control, ConnectionsAreLimitedPerUserWithRoomKeptForTheRobotsUser)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root: the clients become other users";
    constexpr gid_t kOperators = 65534;
    Installation inst;
    ASSERT_EQ(::chown(inst.path().toLocal8Bit(), 0, kOperators), 0);
    ASSERT_TRUE(QFile::setPermissions(inst.path(), QFile::Permissions(0x7755)));
    inst.db().addItem(inst.db().addSale({}), {});
    RobotProcess robot(inst.path());
    ASSERT_TRUE(robot.waitForOutput({"impresa factura"}));
    const QByteArray socket = inst.file("robot-fiscal.sock").toLocal8Bit();
    ASSERT_TRUE(QFile::setPermissions(socket, QFile::Permissions(0x6666)));

    const auto connectAs = [&](uid_t uid, gid_t gid, int count) {
        return testsupport::OtherUser(uid, gid).connect(socket, count);
    };
    const QByteArray estado = "[\"estado\"]\n";
    const int perUser = 4, group = 8;
    // One operator at its limit, the next connection of its own refused.
    const std::vector<int> first = connectAs(60001, kOperators, perUser + 1);
    ASSERT_EQ(first.size(), size_t(perUser + 1));
    EXPECT_EQ(answerOn(first.back(), {})["text"], texts::kControlBusyForUser);
    // A second one fills the group's room: a third gets none.
    const std::vector<int> second = connectAs(60002, kOperators, group - perUser);
    const std::vector<int> third = connectAs(60003, kOperators, 1);
    EXPECT_EQ(answerOn(third.at(0), estado)["text"], texts::kControlBusy);
    // Outside the group: refused by its credentials, whatever the socket's mode.
    const std::vector<int> outsider = connectAs(60004, 60004, 1);
    EXPECT_EQ(answerOn(outsider.at(0), "[\"cierre-z\"]\n")["text"], texts::kNotAuthorised);
    // The robot's own user still gets its answer, and the first operator's
    // held connections are still its own to use.
    EXPECT_EQ(RobotProcess::ask(inst.path(), {"estado"}).status, 0);
    EXPECT_EQ(answerOn(first[0], estado)["status"].toInt(), 0);
    for (const std::vector<int> &fds : {first, second, third, outsider})
        for (int fd : fds)
            ::close(fd);
}

} // namespace
