#include "core/Texts.h"
#include "support/Installation.h"
#include "support/RobotProcess.h"

#include <QDir>
#include <QFile>
#include <functional>
#include <gtest/gtest.h>

using testsupport::Installation;
using testsupport::RobotProcess;
namespace texts = core::texts;

namespace {

// What headless mode writes for a message box: the title, the text's lines, an empty line.
QString boxed(const QString &text)
{
    return texts::kAppTitle + '\n' + QString(text).replace(u'\r', u'\n') + "\n\n";
}

TEST(StartupStops, EachStopShowsItsMessageAndEndsWithItsStatus)
{
    // Each spoils a complete installation and returns its message; `dir` is
    // the program directory the robot is given.
    using Spoil = std::function<QString(Installation &, QString & dir)>;
    const auto configuration = [](Installation &i) {
        return QDir::cleanPath(i.path()) + "\\Vextora.inf";
    };
    const struct
    {
        const char *name;
        QByteArray robotIni;
        Spoil spoil;
        int status;
        bool whole; // the message is the whole of standard error
    } cases[] = {
        {"lower-case printer type", "",
         [](Installation &i, QString &) {
             i.dir().writeInstallation("hka");
             return texts::kTipoImpresora;
         },
         2, true},
        {"Caja not a whole number", "",
         [&](Installation &i, QString &) {
             i.dir().write("Vextora.inf",
                           "Datos:" + i.path().toUtf8() + "/\r\n\r\n\r\n\r\n\r\nCaja:x\r\n");
             return texts::cajaNoNumerica("x", configuration(i));
         },
         2, true},
        {"configuration missing", "",
         [&](Installation &i, QString &) {
             QFile::remove(i.file("Vextora.inf"));
             return texts::configuracionIlegible(configuration(i));
         },
         2, true},
        {"configuration is a directory", "",
         [&](Installation &i, QString &) {
             QFile::remove(i.file("Vextora.inf"));
             QDir(i.path()).mkdir("Vextora.inf");
             return texts::configuracionIlegible(configuration(i));
         },
         2, true},
        {"unknown code page", "[regional]\nCodePage=no-such-page\n",
         [](Installation &, QString &) { return texts::codigoPaginaDesconocido("no-such-page"); },
         2, true},
        {"maintenance marker missing", "",
         [](Installation &i, QString &) {
             QFile::remove(i.file("KardolenTerminalUpd.inf"));
             return texts::kMantenimiento;
         },
         3, true},
        {"empty configuration", "",
         [](Installation &i, QString &) {
             i.dir().write("Vextora.inf", "");
             return texts::kMantenimiento;
         },
         3, true},
        {"driver library missing", "[driver]\nLibrary=/nowhere/libnada.so\n",
         [](Installation &, QString &) {
             return texts::bibliotecaNoCargada("/nowhere/libnada.so", "").chopped(1);
         },
         5, false},
        {"program directory missing", "",
         [](Installation &i, QString &dir) {
             dir = i.file("nowhere");
             return texts::configuracionIlegible(dir + "\\Vextora.inf");
         },
         6, true},
        {"journal cannot be opened", "",
         [](Installation &i, QString &) {
             QDir(i.path()).mkdir("robot-fiscal-journal.db");
             return texts::diarioNoDisponible("");
         },
         8, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        Installation inst({.robotIni = c.robotIni});
        QString dir = inst.path();
        const QString message = c.spoil(inst, dir);
        RobotProcess robot(dir);
        ASSERT_TRUE(robot.waitForExit());
        EXPECT_EQ(robot.exitCode(), c.status) << robot.err().toStdString();
        if (c.whole)
            EXPECT_EQ(robot.err(), boxed(message));
        else
            EXPECT_TRUE(robot.err().startsWith(texts::kAppTitle + '\n' + message))
                << robot.err().toStdString();
        EXPECT_EQ(robot.out(), QString());
    }
}

TEST(StartupStops, SecondCopyOnTheSameDirectoryEndsSilently)
{
    Installation inst;
    inst.db().addItem(inst.db().addSale({}), {});
    RobotProcess first(inst.path());
    ASSERT_TRUE(first.waitForOutput({"impresa factura"}));
    RobotProcess second(inst.path());
    ASSERT_TRUE(second.waitForExit());
    EXPECT_EQ(second.exitCode(), 4);
    EXPECT_EQ(second.err() + second.out(), QString());
}

TEST(CommandLine, HelpVersionAndWrongArguments)
{
    const struct
    {
        QStringList args;
        int status;
        QString out;
    } cases[] = {
        {{"--version"}, 0, "robot-fiscal "},
        {{"--help"}, 0, "[--dir DIR] [--headless]"},
        {{"--no-such-option"}, 64, ""},
        {{"--headless", "--printer", "DASCOM"}, 64, ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        RobotProcess robot({}, c.args);
        ASSERT_TRUE(robot.waitForExit());
        EXPECT_EQ(robot.exitCode(), c.status);
        EXPECT_TRUE(robot.out().contains(c.out)) << robot.out().toStdString();
    }
}

} // namespace
