#include "core/Texts.h"
#include "support/RobotProcess.h"
#include "support/TestDir.h"

#include <QFile>
#include <QProcess>
#include <gtest/gtest.h>

using testsupport::RobotProcess;
using testsupport::TestDir;

namespace {

// What headless mode writes for a message box: the title, the text's lines,
// an empty line.
QString boxed(const QString &text)
{
    return core::texts::kAppTitle + QLatin1Char('\n') + text + QStringLiteral("\n\n");
}

TEST(StartupStops, HeadlessBinaryShowsEachStopOnStandardErrorAndFails)
{
    const struct
    {
        const char *name;
        QByteArray configuration;
        bool marker;
        QString expected; // empty: any text naming the file
    } cases[] = {
        {"printer type", "Datos:./\r\nImpresora:hka\r\n", true, core::texts::kTipoImpresora},
        {"maintenance", "Datos:./nowhere/\r\nImpresora:HKA\r\n", false,
         core::texts::kMantenimiento},
        {"empty configuration", "", true, core::texts::kMantenimiento},
        {"caja", "Datos:./\r\nImpresora:HKA\r\n\r\n\r\n\r\nCaja:x\r\n", true, QString()},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        TestDir dir;
        dir.write(QStringLiteral("Vextora.inf"), c.configuration);
        if (c.marker)
            dir.write(QStringLiteral("KardolenTerminalUpd.inf"), QByteArray());
        QString err;
        const int code = RobotProcess::run(dir.path(), &err);
        EXPECT_NE(code, 0);
        EXPECT_NE(code, -1) << "crashed: " << qPrintable(err);
        if (!c.expected.isEmpty())
            EXPECT_EQ(err, boxed(c.expected));
        else
            EXPECT_TRUE(err.contains(QStringLiteral("Caja"))) << qPrintable(err);
    }
}

TEST(StartupStops, MissingConfigurationFileIsNamed)
{
    TestDir dir;
    QString err;
    const int code = RobotProcess::run(dir.path(), &err);
    EXPECT_GT(code, 0);
    EXPECT_TRUE(err.contains(QStringLiteral("Vextora.inf"))) << qPrintable(err);
}

TEST(CommandLine, HelpAndVersion)
{
    QProcess p;
    p.start(QStringLiteral(ROBOT_BINARY), {QStringLiteral("--version")});
    ASSERT_TRUE(p.waitForFinished(10000));
    EXPECT_EQ(p.exitCode(), 0);
    EXPECT_TRUE(p.readAllStandardOutput().startsWith("robot-fiscal "));
    p.start(QStringLiteral(ROBOT_BINARY), {QStringLiteral("--help")});
    ASSERT_TRUE(p.waitForFinished(10000));
    EXPECT_EQ(p.exitCode(), 0);
    const QByteArray help = p.readAllStandardOutput();
    EXPECT_TRUE(help.contains("--dir")) << help.constData();
    EXPECT_TRUE(help.contains("--headless"));
    p.start(QStringLiteral(ROBOT_BINARY), {QStringLiteral("--no-such-option")});
    ASSERT_TRUE(p.waitForFinished(10000));
    EXPECT_NE(p.exitCode(), 0);
}

} // namespace
