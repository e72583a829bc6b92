#include "core/Texts.h"
#include "support/Installation.h"
#include "support/RobotProcess.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using testsupport::Installation;
using testsupport::RobotProcess;
namespace texts = core::texts;

namespace {

TEST(StartupStops, EachStopShowsItsMessageAndEndsWithItsStatus)
{
    // A complete installation spoilt: a file removed, a directory made in its
    // place, robot-fiscal.ini added to, Vextora.inf rewritten. "%1" stands for
    // the program directory.
    const QString vextora = texts::unreadableConfiguration(QStringLiteral("%1/Vextora.inf"));
    const QString url = QStringLiteral("[database] Url");
    const auto cp = [](const char *v, const QString &why) {
        return texts::unusableValue("[regional] CodePage", v, why);
    };
    const auto scale = [](const char *v) {
        return texts::unusableValue("[timing] Scale", v, texts::kUnusableScale);
    };
    const struct
    {
        const char *name;
        int status;
        QString message; // all of standard error but the box's title; "..." ends a start
        QString remove = {}, mkdir = {};
        QByteArray ini = {}, inf = {};
    } cases[] = {
        // clang-format off
        {"lower-case printer type", 2, texts::kPrinterTypeMissing, "", "", "", "Datos:%1/\r\nImpresora:hka\r\n"},
        {"Caja not a whole number", 2, texts::machineNotANumber("x", "%1/Vextora.inf"), "", "", "",
         "Datos:%1/\r\n\r\n\r\n\r\n\r\nCaja:x\r\n"},
        {"configuration missing", 2, vextora, "Vextora.inf"},
        {"configuration is a directory", 2, vextora, "Vextora.inf", "Vextora.inf"},
        {"unknown code page", 2, cp("cp-nada", texts::kUnknownCodePage), "", "", "[regional]\nCodePage=cp-nada\n"},
        {"password in the Url", 2, texts::unusableValue(url, "postgresql://caja:***@db/ventas", "..."), "", "",
         "[database]\nUrl=\"postgresql://caja:secreto@db/ventas\"\n"},
        {"UTF-8 code page", 2, cp("UTF-8", texts::kCodePageNotEightBit), "", "", "[regional]\nCodePage=UTF-8\n"},
        {"Scale 0: a busy loop", 2, scale("0"), "", "", "[timing]\nScale=0\n"},
        {"Scale nan", 2, scale("nan"), "", "", "[timing]\nScale=nan\n"},
        {"Scale that never prints", 2, scale("1e9"), "", "", "[timing]\nScale=1e9\n"},
        {"probe interval below 0", 2, texts::unusableValue("[timing] PrinterProbe", "-1", texts::kUnusableProbe), "", "", "[timing]\nPrinterProbe=-1\n"},
        {"maintenance marker missing", 3, texts::kMaintenance, "KardolenTerminalUpd.inf"},
        {"empty configuration", 3, texts::kMaintenance, "", "", "", ""},
        {"driver library missing", 5, texts::libraryNotLoaded("/nada/libnada.so", "..."), "", "",
         "[driver]\nLibrary=/nada/libnada.so\n"},
        {"program directory missing", 6, texts::directoryMissing("%1/nada")},
        {"journal cannot be opened", 8, texts::journalUnavailable("..."), "", "robot-fiscal-journal.db"},
        // clang-format on
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        Installation inst({.robotIni = c.ini});
        if (!c.remove.isEmpty())
            QFile::remove(inst.file(c.remove));
        if (!c.mkdir.isEmpty())
            QDir(inst.path()).mkdir(c.mkdir);
        if (!c.inf.isNull())
            inst.write("Vextora.inf", QByteArray(c.inf).replace("%1", inst.path().toUtf8()));
        const bool missingDir = c.status == 6;
        RobotProcess robot(missingDir ? inst.file("nada") : inst.path());
        ASSERT_TRUE(robot.waitForExit());
        EXPECT_EQ(robot.exitCode(), c.status) << robot.err().toStdString();
        // A message box when headless: the title, the text's lines, an empty line.
        const QString box = texts::kAppTitle + '\n' +
                            QString(c.message).replace("%1", inst.path()).replace(u'\r', u'\n');
        if (box.endsWith("..."))
            EXPECT_TRUE(robot.err().startsWith(box.chopped(3))) << robot.err().toStdString();
        else
            EXPECT_EQ(robot.err(), box + "\n\n");
        EXPECT_EQ(robot.out(), QString());
        EXPECT_FALSE(robot.err().contains("secreto"));
    }
}

// A second robot for the fiscal machine that a running robot holds, on the
// same main database, stops its start-up with status 9; a second copy on the
// same program directory still ends silently with 4.
using StartupStops = testsupport::OnEngine;
RUN_ON_BOTH_ENGINES(StartupStops);

TEST_P(StartupStops, SecondRobotForTheMachineStopsWith9AndASecondCopyEndsSilentlyWith4)
{
    Installation first({.engine = GetParam()});
    const Installation second({.sharing = &first});
    first.db().addItem(first.db().addSale({}), {});
    RobotProcess running(first.path());
    ASSERT_TRUE(running.waitForOutput({"impresa factura"}));
    for (const QString &dir : {second.path(), first.path()}) {
        RobotProcess another(dir);
        ASSERT_TRUE(another.waitForExit());
        const bool copy = dir == first.path();
        EXPECT_EQ(another.exitCode(), copy ? 4 : 9);
        EXPECT_EQ(another.err() + another.out(),
                  copy ? QString()
                       : texts::kAppTitle + '\n' + texts::fiscalMachineBusy(1) + "\n\n");
    }
}

} // namespace
