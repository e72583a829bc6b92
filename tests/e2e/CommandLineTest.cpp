#include "core/Texts.h"
#include "support/RobotProcess.h"

#include <gtest/gtest.h>

using testsupport::RobotProcess;
namespace texts = core::texts;

namespace {

// --help: the synopsis, each option, and each command with its help in one
// column, or on a line of its own under a synopsis too wide for it.
const QString kHelp = texts::kUsage + "\nOpciones:\n  --dir <DIR>           " + texts::kDirOption;
const QString kHelpCommands[] = {
    "\n\nÓrdenes al robot en marcha sobre DIR:\n  estado [--json | --check]    sondeo,",
    "\n  reintentar factura|nota CODIGO\n                               vuelve a tomar",
    "\n  verificar                    revisa la instalación, con el robot en marcha o sin él\n",
    "\n\n" + texts::kCommandExitStatuses};

TEST(CommandLine, HelpVersionAndWrongArguments)
{
    const struct
    {
        QStringList args;
        int status;
        QString out;
    } cases[] = {
        // clang-format off
        {{"--version"}, 0, "robot-fiscal "},
        {{"--help"}, 0, kHelp},
        {{"--no-such-option"}, 64, ""},
        {{"--headless", "--printer", "DASCOM"}, 64, ""},
        {{"--headless", "estado"}, 64, ""},
        // clang-format on
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        RobotProcess robot({}, c.args);
        ASSERT_TRUE(robot.waitForExit());
        EXPECT_EQ(robot.exitCode(), c.status);
        EXPECT_EQ(robot.out().left(c.out.size()), c.out);
    }
    const QString help = RobotProcess::ask({}, {"--help"}).out;
    for (const char *option : {"instancia <NOMBRE>", "headless", "create-demo <DIR>", "init <DIR>",
                               "printer <TYPE>", "database <URL>", "version"})
        EXPECT_TRUE(help.contains(QStringLiteral("\n  --") + option)) << option;
    for (const QString &part : kHelpCommands)
        EXPECT_TRUE(help.contains(part)) << part.toStdString();
}

} // namespace
