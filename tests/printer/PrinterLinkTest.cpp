#include "printer/PrinterLink.h"
#include "core/Clock.h"
#include "core/CodePage.h"
#include "core/PollingTimer.h"
#include "printer/DriverLibrary.h"
#include "support/QtPrinters.h"
#include "support/RecordingWindow.h"
#include "support/TestDir.h"

#include <QDir>
#include <QFile>
#include <functional>
#include <gtest/gtest.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

using core::Control;
using printer::DriverLibrary;

namespace {

const QString kNoAnswer = QStringLiteral("Sin respuesta");

// The built simulator loaded through the robot's loader, in a fresh program
// directory made current as the robot's is.
class PrinterLink : public ::testing::Test
{
protected:
    PrinterLink() : previous(QDir::currentPath()) { QDir::setCurrent(dir.path()); }
    ~PrinterLink() override
    {
        driver->CloseFpctrl();
        QDir::setCurrent(previous);
    }
    // fiscalsim.log, one entry per call.
    QStringList log() const
    {
        QFile f(dir.file(QStringLiteral("fiscalsim.log")));
        f.open(QIODevice::ReadOnly);
        return QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }

    testsupport::TestDir dir;
    QString previous;
    testsupport::RecordingWindow window;
    core::Clock clock{0.0};
    core::PollingTimer timer{clock};
    core::CodePage codePage;
    std::unique_ptr<DriverLibrary> driver =
        DriverLibrary::load(QStringLiteral(FISCALSIM_LIBRARY), QString(), nullptr);
    printer::PrinterLink link{*driver, window, timer, codePage, QStringLiteral("COM1")};
};

TEST_F(PrinterLink, AbrirPuertoSwitchesPollingAndControlsByTheOutcome)
{
    const Control five[] = {Control::Command3, Control::Command4, Control::Command5,
                            Control::Command6, Control::Command7};
    // Opened: polling goes on even when the operator had stopped it. Refused:
    // the port is closed again and only Cerrar (Command10) is left to the operator.
    for (const bool opens : {true, false}) {
        SCOPED_TRACE(opens ? "opened" : "refused");
        dir.write(QStringLiteral("fiscalsim.ini"), opens ? "" : "[faults]\nOpen=fail\n");
        QFile::remove(dir.file(QStringLiteral("fiscalsim.log")));
        timer.setEnabled(!opens);
        link.AbrirPuerto();
        EXPECT_EQ(timer.isEnabled(), opens);
        for (Control c : five)
            EXPECT_EQ(window.controlEnabled(c), opens);
        EXPECT_EQ(window.controlEnabled(Control::Command10), !opens);
        EXPECT_EQ(log(), (opens ? QStringList{"OpenFpctrl\tCOM1\t1"}
                                : QStringList{"OpenFpctrl\tCOM1\t0", "CloseFpctrl"}));
    }
}

TEST_F(PrinterLink, VerRespuestaSplitsLinesAtCrAndGivesSinRespuestaWithoutAnAnswer)
{
    QDir(dir.path()).mkdir(QStringLiteral("adir"));
    // What the upload said, the file named, the bytes written to "a", the answer.
    const std::tuple<const char *, bool, const char *, QByteArray, QString> cases[] = {
        {"CR LF", true, "a", "uno\r\ndos\r\n", "uno\r\ndos\r\n"},
        {"CR alone", true, "a", "uno\rdos\r", "uno\r\ndos\r\n"},
        {"last line without end", true, "a", "uno\r\ndos", "uno\r\ndos\r\n"},
        {"LF inside a line", true, "a", "uno\ndos\r\n", "uno\ndos\r\n"},
        {"empty lines", true, "a", "\r\n\r\n", "\r\n\r\n"},
        {"empty file", true, "a", "", ""},
        {"code page", true, "a", "Pe\xf1\x61\r\n", QString::fromUtf8("Peña\r\n")},
        {"failed upload: the file is not read", false, "a", "uno\r\n", kNoAnswer},
        {"a folder in its place", true, "adir", "uno\r\n", kNoAnswer},
        {"no file", true, "missing.txt", "uno\r\n", kNoAnswer}};
    for (const auto &[name, uploaded, file, bytes, text] : cases) {
        dir.write(QStringLiteral("a"), bytes);
        link.ResultadoComando = uploaded;
        link.ArchivoRespuesta = dir.file(QString::fromUtf8(file));
        link.VerRespuesta();
        EXPECT_EQ(link.TextoRespuesta, text) << name;
    }

    // Only a regular file of this user, by its one name, that nobody else may
    // write is an answer: anyone else's would decide a fiscal number.
    const QByteArray good = dir.file(QStringLiteral("good")).toLocal8Bit();
    const QByteArray a = dir.file(QStringLiteral("a")).toLocal8Bit();
    dir.write(QStringLiteral("good"), "00000152\r\n");
    // Each row spoils a file that holds a forged number.
    const std::pair<const char *, std::function<bool()>> forged[] = {
        {"group may write", [&] { return ::chmod(a, 0664) == 0; }},
        {"others may write", [&] { return ::chmod(a, 0646) == 0; }},
        {"a link to a good one", [&] { return ::unlink(a) == 0 && ::symlink(good, a) == 0; }},
        {"a second name of one", [&] { return ::unlink(a) == 0 && ::link(good, a) == 0; }},
        {"a pipe, never ended", [&] { return ::unlink(a) == 0 && ::mkfifo(a, 0600) == 0; }},
        {"another user's", [&] { return ::geteuid() != 0 || ::chown(a, 65534, 65534) == 0; }},
    };
    for (const auto &[name, forge] : forged) {
        SCOPED_TRACE(name);
        ::unlink(a);
        dir.write(QStringLiteral("a"), "00000777\r\n");
        ASSERT_TRUE(forge());
        link.ResultadoComando = true;
        link.ArchivoRespuesta = QString::fromLocal8Bit(a);
        link.VerRespuesta();
        // Not root, nobody else's file could be made: this user's own is read.
        if (::geteuid() == 0 || std::string_view(name) != "another user's") {
            EXPECT_EQ(link.TextoRespuesta, kNoAnswer);
        }
    }
}

TEST_F(PrinterLink, StageDisplayAndFailureReport)
{
    link.MostrarEtapa(2.02);
    EXPECT_EQ(window.stage(), QStringLiteral("Etapa  2.02"));
    link.ErrorImpresora = -2;
    link.EstatusImpresora = -7;
    EXPECT_EQ(link.stageReport(4.15, true),
              "No se pudo realizar la tarea. Por favor verifique la etapa  4.15.\rError: -2\r"
              "Estatus: -7");
    link.ErrorImpresora = 3;
    EXPECT_EQ(link.stageReport(0, false),
              "No se pudo realizar la tarea. Por favor verifique la etapa  0.\rError:  3");
}

} // namespace
