#include "core/Texts.h"
#include "support/Installation.h"
#include "support/RobotProcess.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>
#include <unistd.h>

using testsupport::Installation;
using testsupport::RobotProcess;
namespace texts = core::texts;

namespace {

struct Answer
{
    int status = -1;
    QString out, err;
    QJsonObject json() const { return QJsonDocument::fromJson(out.toUtf8()).object(); }
};

// The same executable as a client of the robot running on `dir`.
Answer ask(const QString &dir, const QStringList &words)
{
    RobotProcess client(dir, words);
    EXPECT_TRUE(client.waitForExit());
    return {client.exitCode(), client.out(), client.err()};
}

// A robot on a slow line, running once the invoice it was given is printed.
struct Running
{
    Installation inst;
    RobotProcess robot;
    explicit Running(const QByteArray &simIni = "[link]\nBaud=1200\n")
        : inst({.simIni = simIni}), robot(inst.path())
    {
        const qint64 first = invoice(1);
        EXPECT_TRUE(robot.waitForOutput({QStringLiteral("impresa factura %1").arg(first)}));
    }
    ~Running() { robot.terminate(), robot.waitForExit(); }
    qint64 invoice(int items, QVariant precio = 10.0)
    {
        const qint64 venta = inst.db().addSale({});
        for (int i = 0; i < items; ++i)
            inst.db().addItem(venta, {.nombre = "HARINA", .precio = precio});
        return venta;
    }
    Answer ask(const QStringList &words) const { return ::ask(inst.path(), words); }
};

TEST(Control, EachCommandDoesWhatItsButtonDoes)
{
    Running r("");
    const struct
    {
        QStringList words;
        int status;
        QString line;     // on standard output when done, on standard error otherwise
        QStringList sent; // what reached the simulated printer
        QString paper = {};
    } cases[] = {
        // clang-format off
        {{"cierre-x"}, 0, texts::kCierreXImpreso, {"I0X"}, "REPORTE X"},
        {{"cierre-z"}, 0, texts::kCierreZImpreso, {"I0Z"}, "REPORTE Z"},
        {{"reporte-memoria", "01/01/2015", "31/01/2015"}, 0,
         "Reporte de memoria fiscal del 01/01/2015 al 31/01/2015 impreso.", {"I2A010115310115"},
         "DESDE 01/01/2015 HASTA 31/01/2015"},
        {{"abrir-gaveta"}, 0, texts::kGavetaAbierta, {"0", "w"}},
        // Through whatever is open: nothing is, the printer refuses it.
        {{"anular"}, 1, "La impresora rechazó la anulación (Error: ", {"7 [refused]"}},
        {{"reporte-memoria", "32/01/2015", "31/01/2015"}, 2, texts::fechaNoValida("32/01/2015", "dd/MM/yyyy"), {}},
        {{"reporte-memoria", "31/12/2015", "01/01/2015"}, 2, texts::kFechaFinalMayor, {}},
        {{"reintentar", "factura", "999"}, 1, texts::noRetenido(false, 999), {}},
        {{"reintentar", "boleta", "1"}, 2, "Argumentos no válidos para reintentar.", {}},
        {{"cierre-y"}, 2, "Orden desconocida: cierre-y", {}},
        // clang-format on
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.words.join(' ').toStdString());
        const qsizetype before = r.inst.sentCommands().size();
        const Answer a = r.ask(c.words);
        EXPECT_EQ(a.status, c.status);
        EXPECT_TRUE((c.status == 0 ? a.out : a.err).startsWith(c.line))
            << (a.out + a.err).toStdString();
        EXPECT_EQ(r.inst.sentCommands().mid(before), c.sent);
        EXPECT_TRUE(r.inst.paper().contains(c.paper));
    }
    EXPECT_EQ(r.inst.fiscalMemory().value("lastZ").toInt(), 1) << "one Z report";
}

TEST(Control, ReportsAndDrawerWaitForTheDocumentButAnularDoesNot)
{
    Running r;
    const qint64 code = r.invoice(15);
    ASSERT_TRUE(r.robot.waitForOutput({QStringLiteral("inicio factura %1").arg(code)}));
    const QJsonObject estado = r.ask({"estado", "--json"}).json();
    EXPECT_EQ(estado["imprimiendo"]["documento"], "factura");
    EXPECT_EQ(estado["imprimiendo"]["codigo"].toInteger(), code);
    for (const char *held : {"cierre-x", "cierre-z", "abrir-gaveta"}) {
        const Answer a = r.ask({held});
        EXPECT_EQ(a.status, 1) << held;
        EXPECT_EQ(a.err.trimmed(), texts::kDocumentoEnCurso) << held;
    }
    const Answer anular = r.ask({"anular"});
    EXPECT_EQ(anular.status, 0) << anular.err.toStdString();
    EXPECT_EQ(anular.out.trimmed(), texts::kAnulacionAceptada);
    ASSERT_TRUE(r.robot.waitForOutput({QStringLiteral("impresa factura %1").arg(code),
                                       QStringLiteral("fallo factura %1").arg(code)}));
    const QStringList sent = r.inst.sentCommands();
    EXPECT_TRUE(sent.contains("7")) << "sent in the middle of the document";
    for (const char *never : {"I0X", "I0Z", "0", "w"})
        EXPECT_FALSE(sent.contains(never)) << never;
    EXPECT_TRUE(r.inst.paper().contains("*** DOCUMENTO ANULADO ***"));
}

TEST(Control, EstadoTellsHeldDocumentsAndReintentarAndPollingSwitchesFollowIt)
{
    Running r("");
    const qint64 held = r.invoice(1, QVariant());
    const QString retenida = QStringLiteral("retenida factura %1 ").arg(held);
    ASSERT_TRUE(r.robot.waitForOutput({retenida}));
    const QJsonObject estado = r.ask({"estado", "--json"}).json();
    EXPECT_EQ(estado["sondeo"], true);
    EXPECT_EQ(estado["imprimiendo"], QJsonValue::Null);
    EXPECT_EQ(estado["pendientes"].toObject(), (QJsonObject{{"facturas", 1}, {"notas", 0}}));
    EXPECT_EQ(
        estado["retenidos"].toArray(),
        (QJsonArray{QJsonObject{{"documento", "factura"},
                                {"codigo", held},
                                {"motivo", texts::documentoRetenido(false, held, "Precio")}}}));
    EXPECT_EQ(estado["ultimo"]["documento"], "factura");
    EXPECT_EQ(estado["ultimo"]["numero"], "00000001");

    // The same hold is told once; let go, the document is taken up at once again.
    const Answer again = r.ask({"reintentar", "factura", QString::number(held)});
    EXPECT_EQ(again.status, 0);
    EXPECT_EQ(again.out.trimmed(), texts::reintento(false, held));
    const QDeadlineTimer deadline(60000);
    while (r.robot.out().count(retenida) < 2 && !deadline.hasExpired())
        r.robot.waitForOutput({"\x01"}, 100); // reads what came meanwhile
    EXPECT_EQ(r.robot.out().count(retenida), 2) << (r.robot.out() + r.robot.err()).toStdString();

    EXPECT_EQ(r.ask({"detener"}).out.trimmed(), texts::kSondeoDetenido);
    EXPECT_EQ(r.ask({"estado", "--json"}).json()["sondeo"], false);
    const Answer plain = r.ask({"estado"});
    EXPECT_TRUE(plain.out.startsWith("Sondeo: detenido\nImprimiendo: nada\n"))
        << plain.out.toStdString();
    const qint64 next = r.invoice(1);
    EXPECT_EQ(r.ask({"iniciar"}).out.trimmed(), texts::kSondeoIniciado);
    EXPECT_TRUE(r.robot.waitForOutput({QStringLiteral("impresa factura %1").arg(next)}));
}

TEST(Control, WithoutARobotOrWithAWrongCommand)
{
    Installation inst;
    // A socket file a killed robot left behind answers nobody.
    inst.dir().write("robot-fiscal.sock", {});
    const struct
    {
        QString dir;
        QStringList words;
        int status;
        QString err;
    } cases[] = {
        {inst.path(), {"estado"}, 3, texts::sinRobot(inst.path())},
        {inst.file("nada"), {"cierre-z"}, 3, texts::directorioNoExiste(inst.file("nada"))},
        {inst.path(), {"cierre"}, 2, "Orden desconocida: cierre"},
        {inst.path(), {"reintentar", "nota"}, 2, "Argumentos no válidos para reintentar."},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.words.join(' ').toStdString());
        const Answer a = ask(c.dir, c.words);
        EXPECT_EQ(a.status, c.status);
        EXPECT_TRUE(a.err.startsWith(c.err)) << a.err.toStdString();
        EXPECT_EQ(a.out, QString());
    }
}

TEST(Control, AnotherUserIsRefusedEvenThroughALoosenedSocket)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root: the robot runs as root, the client as nobody";
    Running r("");
    const QString socket = r.inst.file("robot-fiscal.sock");
    EXPECT_EQ(QFile::permissions(socket) & (QFile::ReadOther | QFile::WriteOther), 0);
    ASSERT_TRUE(QFile::setPermissions(r.inst.path(), QFile::Permissions(0x7755)));
    ASSERT_TRUE(QFile::setPermissions(socket, QFile::Permissions(0x6666)));
    QProcess client;
    client.start("runuser",
                 {"-u", "nobody", "--", ROBOT_BINARY, "--dir", r.inst.path(), "cierre-z"});
    ASSERT_TRUE(client.waitForFinished(60000));
    EXPECT_EQ(client.exitCode(), 1);
    EXPECT_EQ(QString::fromUtf8(client.readAllStandardError()).trimmed(), texts::kNoAutorizado);
    EXPECT_FALSE(r.inst.sentCommands().contains("I0Z"));
}

} // namespace
