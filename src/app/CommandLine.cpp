#include "app/CommandLine.h"

#include "app/WindowMode.h"
#include "core/Texts.h"
#include "robot/ControlCommands.h"

#include <QCommandLineParser>
#include <cstdio>

namespace app {

namespace texts = core::texts;
using core::ExitStatus;

namespace {

// Where the help of a control command starts, after its synopsis.
constexpr qsizetype kHelpColumn = 31;

bool displayAvailable()
{
    return !qEnvironmentVariableIsEmpty("DISPLAY") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
           !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
}

CommandLine answering(const QString &text, ExitStatus status)
{
    CommandLine line;
    line.run = CommandLine::Run::Answer;
    line.answer = text;
    line.status = status;
    return line;
}

QString commandsHelp()
{
    QString text = QLatin1Char('\n') + texts::kCommandsHeading + QLatin1Char('\n');
    for (const robot::ControlCommands::Command &command : robot::ControlCommands::all()) {
        // A synopsis too wide for its column puts the help on a line of its own.
        QString line = QStringLiteral("  ") + command.usage();
        line += line.size() + 2 <= kHelpColumn ? QString(kHelpColumn - line.size(), u' ')
                                               : u'\n' + QString(kHelpColumn, u' ');
        text += line + command.text.help + QLatin1Char('\n');
    }
    return text + QLatin1Char('\n') + texts::kCommandExitStatuses;
}

} // namespace

QString CommandLine::help(const QString &optionsHelp)
{
    // Only the options of the parser's text: its usage line cannot name the program.
    QString options = optionsHelp.mid(optionsHelp.indexOf(QStringLiteral("Options:")));
    options.replace(QStringLiteral("Options:"), texts::kOptionsHeading);
    return texts::kUsage + QLatin1Char('\n') + options + commandsHelp();
}

CommandLine CommandLine::parse(int argc, char *argv[])
{
    QStringList args;
    for (int i = 0; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);

    QCommandLineParser parser;
    const QCommandLineOption dirOption(QStringLiteral("dir"), texts::kDirOption,
                                       QStringLiteral("DIR"));
    const QCommandLineOption headlessOption(QStringLiteral("headless"), texts::kHeadlessOption);
    const QCommandLineOption demoOption(QStringLiteral("create-demo"), texts::kCreateDemoOption,
                                        QStringLiteral("DIR"));
    const QCommandLineOption printerOption(QStringLiteral("printer"), texts::kPrinterOption,
                                           QStringLiteral("TYPE"), QStringLiteral("HKA"));
    const QCommandLineOption databaseOption(QStringLiteral("database"), texts::kDatabaseOption,
                                            QStringLiteral("URL"));
    const QCommandLineOption helpOption(QStringList{QStringLiteral("h"), QStringLiteral("help")},
                                        texts::kHelpOption);
    const QCommandLineOption versionOption(QStringLiteral("version"), texts::kVersionOption);
    parser.addOptions({dirOption, headlessOption, demoOption, printerOption, databaseOption,
                       helpOption, versionOption});
    // "estado --json": what follows the command is the command's.
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
    if (!parser.parse(args))
        return answering(parser.errorText() + QLatin1Char('\n'), ExitStatus::Usage);
    if (parser.isSet(helpOption))
        return answering(help(parser.helpText()), ExitStatus::Done);
    if (parser.isSet(versionOption))
        return answering(QStringLiteral("robot-fiscal " ROBOT_VERSION "\n"), ExitStatus::Done);

    CommandLine line;
    if (parser.isSet(demoOption)) {
        line.run = Run::CreateDemo;
        line.demoDir = parser.value(demoOption);
        line.printerType = parser.value(printerOption);
        line.databaseUrl = parser.value(databaseOption);
        return line;
    }
    if (parser.isSet(printerOption) || parser.isSet(databaseOption))
        return answering(texts::kDemoOptionsAlone + QLatin1Char('\n'), ExitStatus::Usage);
    line.programDir = parser.isSet(dirOption) ? parser.value(dirOption) : QString();
    line.words = parser.positionalArguments();
    if (!line.words.isEmpty()) {
        if (parser.isSet(headlessOption))
            return answering(texts::kHeadlessWithCommand + QLatin1Char('\n'), ExitStatus::Usage);
        line.run = Run::Control;
    } else if (!parser.isSet(headlessOption) && displayAvailable() && WindowMode::built()) {
        line.run = Run::Window;
    } else {
        line.run = Run::Headless;
    }
    return line;
}

ExitStatus CommandLine::printAnswer() const
{
    std::fputs(answer.toUtf8().constData(), status == ExitStatus::Done ? stdout : stderr);
    return status;
}

} // namespace app
