#include "printer/PrinterLink.h"
#include "core/Texts.h"
#include "support/SimPrinter.h"

#include <QDir>
#include <gtest/gtest.h>

using core::Control;
using testsupport::SimPrinter;

namespace {

TEST(LeerArchivo, ReadsLinesUpToTheLimitKeepingLoneLineFeeds)
{
    SimPrinter sim;
    QByteArray many;
    for (int i = 0; i < 10005; ++i)
        many += "line " + QByteArray::number(i) + "\r\n";
    const struct
    {
        const char *name;
        QByteArray bytes;
        int lines;
        QString text;
    } cases[] = {
        {"empty file", "", 0, ""},
        {"CR LF", "uno\r\ndos\r\n", 2, "uno\r\ndos\r\n"},
        {"CR alone", "uno\rdos\r", 2, "uno\r\ndos\r\n"},
        {"last line without end", "uno\r\ndos", 2, "uno\r\ndos\r\n"},
        {"LF inside a line", "uno\ndos\r\n", 1, "uno\ndos\r\n"},
        {"empty lines", "\r\n\r\n", 2, "\r\n\r\n"},
        {"code page",
         "Pe\xf1"
         "a\r\n",
         1, QString::fromUtf8("Peña\r\n")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        sim.dir().write(QStringLiteral("answer.txt"), c.bytes);
        EXPECT_EQ(sim.link().LeerArchivo(sim.dir().file(QStringLiteral("answer.txt"))), c.lines);
        sim.link().ResultadoComando = true;
        sim.link().ArchivoRespuesta = sim.dir().file(QStringLiteral("answer.txt"));
        sim.link().VerRespuesta();
        EXPECT_EQ(sim.link().TextoRespuesta, c.text);
    }
    sim.dir().write(QStringLiteral("many.txt"), many);
    EXPECT_EQ(sim.link().LeerArchivo(sim.dir().file(QStringLiteral("many.txt"))), 10001);
    sim.link().ArchivoRespuesta = sim.dir().file(QStringLiteral("many.txt"));
    sim.link().VerRespuesta();
    EXPECT_TRUE(sim.link().TextoRespuesta.endsWith(QStringLiteral("line 10000\r\n")));
    EXPECT_FALSE(sim.link().TextoRespuesta.contains(QStringLiteral("line 10001")));
}

TEST(VerRespuesta, NoAnswerAfterAFailedUploadOrAnUnreadableFile)
{
    SimPrinter sim;
    sim.dir().write(QStringLiteral("answer.txt"), "uno\r\n");
    // A failed upload never reads the file.
    sim.link().ResultadoComando = false;
    sim.link().ArchivoRespuesta = sim.dir().file(QStringLiteral("answer.txt"));
    sim.link().VerRespuesta();
    EXPECT_EQ(sim.link().TextoRespuesta, core::texts::kSinRespuesta);
    // An upload that said yes and left a directory, or nothing, in its place.
    QDir(sim.dir().path()).mkdir(QStringLiteral("adir"));
    for (const QString &name : {QStringLiteral("adir"), QStringLiteral("missing.txt")}) {
        sim.link().ResultadoComando = true;
        sim.link().ArchivoRespuesta = sim.dir().file(name);
        sim.link().VerRespuesta();
        EXPECT_EQ(sim.link().TextoRespuesta, core::texts::kSinRespuesta) << qPrintable(name);
    }
}

TEST(ReporteEtapa, ShortAndLongForms)
{
    SimPrinter sim;
    const struct
    {
        double stage;
        int error;
        int status;
        QString shortForm;
        QString longForm;
    } cases[] = {
        {0, 0, 0, "No se pudo realizar la tarea. Por favor verifique la etapa  0.\rError:  0",
         "No se pudo realizar la tarea. Por favor verifique la etapa  0.\rError:  0\rEstatus: 0"},
        {2.01, 0, 0, "No se pudo realizar la tarea. Por favor verifique la etapa  2.01.\rError:  0",
         "No se pudo realizar la tarea. Por favor verifique la etapa  2.01.\rError:  0\rEstatus: "
         "0"},
        {2.51, 3, 4, "No se pudo realizar la tarea. Por favor verifique la etapa  2.51.\rError:  3",
         "No se pudo realizar la tarea. Por favor verifique la etapa  2.51.\rError:  3\rEstatus: "
         "4"},
        {4.15, -2, -7,
         "No se pudo realizar la tarea. Por favor verifique la etapa  4.15.\rError: -2",
         "No se pudo realizar la tarea. Por favor verifique la etapa  4.15.\rError: -2\rEstatus: "
         "-7"},
    };
    for (const auto &c : cases) {
        sim.link().ErrorImpresora = c.error;
        sim.link().EstatusImpresora = c.status;
        EXPECT_EQ(sim.link().reporteEtapa(c.stage, false), c.shortForm);
        EXPECT_EQ(sim.link().reporteEtapa(c.stage, true), c.longForm);
    }
}

TEST(MostrarEtapa, ShowsTheStageBetweenTwoEventPumps)
{
    SimPrinter sim;
    sim.link().MostrarEtapa(2.02);
    EXPECT_EQ(sim.window().stage(), QStringLiteral("Etapa  2.02"));
    EXPECT_EQ(sim.window().eventPumps, 2);
    sim.link().MostrarEtapa(0);
    EXPECT_EQ(sim.window().stage(), QStringLiteral("Etapa  0"));
}

const Control kFive[] = {Control::Command3, Control::Command4, Control::Command5, Control::Command6,
                         Control::Command7};

TEST(AbrirPuerto, FailureLeavesPollingOffAndCerrarEnabled)
{
    SimPrinter sim("[printer]\nType=HKA\n[faults]\nOpen=fail\n");
    sim.timer().setEnabled(true);
    sim.link().AbrirPuerto();
    EXPECT_EQ(sim.window().messages, QStringList{core::texts::kErrorPuerto});
    EXPECT_FALSE(sim.timer().isEnabled());
    for (Control c : kFive)
        EXPECT_FALSE(sim.window().controlEnabled(c));
    EXPECT_TRUE(sim.window().controlEnabled(Control::Command10));
    // The port was closed after the failure: a command is refused.
    sim.link().EnviarComando(QStringLiteral("I0X"));
    EXPECT_FALSE(sim.link().ResultadoComando);
    const auto journal = sim.journal();
    ASSERT_GE(journal.size(), 2);
    EXPECT_EQ(journal[0].value(0), QStringLiteral("OpenFpctrl"));
    EXPECT_EQ(journal[1].value(0), QStringLiteral("CloseFpctrl"));
}

TEST(AbrirPuerto, SuccessSwitchesPollingOnEvenAfterDetener)
{
    SimPrinter sim;
    // The operator stopped polling: the timer is off and the button reads "Iniciar".
    sim.timer().setEnabled(false);
    sim.window().setCaption(Control::Command3, QStringLiteral("Iniciar"));
    sim.link().AbrirPuerto();
    EXPECT_TRUE(sim.window().messages.isEmpty());
    EXPECT_TRUE(sim.timer().isEnabled());
    EXPECT_EQ(sim.window().caption(Control::Command3), QStringLiteral("Iniciar"));
    for (Control c : kFive)
        EXPECT_TRUE(sim.window().controlEnabled(c));
    EXPECT_FALSE(sim.window().controlEnabled(Control::Command10));
    sim.link().CerrarPuerto();
}

TEST(EnviarComando, SendsInTheCodePageAndKeepsTheDriverWords)
{
    SimPrinter sim;
    sim.link().AbrirPuerto();
    sim.link().EnviarComando(QString::fromUtf8("i01Peña Ñandú"));
    EXPECT_TRUE(sim.link().ResultadoComando);
    EXPECT_EQ(sim.link().Comando, QString::fromUtf8("i01Peña Ñandú"));
    sim.link().EnviarComando(QStringLiteral("XYZ"));
    EXPECT_FALSE(sim.link().ResultadoComando);
    EXPECT_NE(sim.link().ErrorImpresora, 0);
    sim.link().CerrarPuerto();
    EXPECT_EQ(sim.sentCommands(),
              (QStringList{QString::fromUtf8("i01Peña Ñandú"), QStringLiteral("XYZ [refused]")}));
}

TEST(UploadStatusCmd, WritesTheAnswerFileAtANativePath)
{
    SimPrinter sim;
    sim.link().AbrirPuerto();
    // The robot joins its directory and "\Status.txt"; the driver gets a native path.
    sim.link().UploadStatusCmd(QStringLiteral("S1"),
                               sim.dir().path() + QStringLiteral("\\Status.txt"));
    EXPECT_TRUE(sim.link().ResultadoComando);
    sim.link().VerRespuesta();
    EXPECT_GE(sim.link().TextoRespuesta.size(), 51);
    EXPECT_EQ(sim.link().TextoRespuesta.mid(21, 8), QStringLiteral("00000000"));
    bool sawNative = false;
    for (const QStringList &f : sim.journal()) {
        if (f.value(0) == QLatin1String("UploadStatusCmd"))
            sawNative = f.value(2) == QDir(sim.dir().path()).filePath(QStringLiteral("Status.txt"));
    }
    EXPECT_TRUE(sawNative);
    sim.link().CerrarPuerto();
}

} // namespace
