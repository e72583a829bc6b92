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

// The options, in the order --help lists them.
struct Options
{
    QCommandLineOption dir{QStringLiteral("dir"), texts::kDirOption, QStringLiteral("DIR")};
    QCommandLineOption headless{QStringLiteral("headless"), texts::kHeadlessOption};
    QCommandLineOption demo{QStringLiteral("create-demo"), texts::kCreateDemoOption,
                            QStringLiteral("DIR")};
    QCommandLineOption init{QStringLiteral("init"), texts::kInitOption, QStringLiteral("DIR")};
    QCommandLineOption instance{QStringLiteral("instancia"), texts::kInstanceOption,
                                QStringLiteral("NOMBRE")};
    QCommandLineOption printer{QStringLiteral("printer"), texts::kPrinterOption,
                               QStringLiteral("TYPE"), QStringLiteral("HKA")};
    QCommandLineOption database{QStringLiteral("database"), texts::kDatabaseOption,
                                QStringLiteral("URL")};
    QCommandLineOption help{QStringList{QStringLiteral("h"), QStringLiteral("help")},
                            texts::kHelpOption};
    QCommandLineOption version{QStringLiteral("version"), texts::kVersionOption};
};

// --create-demo DIR or --init DIR, with the printer type and the database.
CommandLine installation(const QCommandLineParser &parser, const Options &o)
{
    CommandLine line;
    const bool demo = parser.isSet(o.demo);
    line.run = demo ? CommandLine::Run::CreateDemo : CommandLine::Run::Init;
    line.demoDir = parser.value(demo ? o.demo : o.init);
    line.printerType = parser.value(o.printer);
    line.databaseUrl = parser.value(o.database);
    return line;
}

// A control command, or the robot in its window or without one.
CommandLine robotOrCommand(const QCommandLineParser &parser, const Options &o)
{
    CommandLine line;
    if (parser.isSet(o.dir) && parser.isSet(o.instance))
        return answering(texts::kDirOrInstance + QLatin1Char('\n'), ExitStatus::Usage);
    const QString instance = parser.isSet(o.instance)
                                 ? parser.value(o.instance)
                                 : qEnvironmentVariable("ROBOT_FISCAL_INSTANCIA");
    if (parser.isSet(o.dir)) {
        line.programDir = parser.value(o.dir);
    } else if (!instance.isEmpty()) {
        // A name, never a path out of the instances' directory.
        if (instance.contains(QLatin1Char('/')) || instance.startsWith(QLatin1Char('.')))
            return answering(texts::instanceNotAName(instance) + QLatin1Char('\n'),
                             ExitStatus::Usage);
        line.programDir = CommandLine::instancesDir() + QLatin1Char('/') + instance;
    }
    line.words = parser.positionalArguments();
    const bool headless = parser.isSet(o.headless);
    if (!line.words.isEmpty()) {
        if (headless)
            return answering(texts::kHeadlessWithCommand + QLatin1Char('\n'), ExitStatus::Usage);
        line.run = CommandLine::Run::Control;
        if (line.words.first() == texts::kVerifyCommand.name) {
            if (line.words.size() > 1)
                return answering(
                    texts::wrongArguments(texts::kVerifyCommand.name, texts::kVerifyCommand.name) +
                        QLatin1Char('\n'),
                    ExitStatus::WrongCommand);
            line.run = CommandLine::Run::Verify;
        }
    } else if (!headless && displayAvailable() && WindowMode::built()) {
        line.run = CommandLine::Run::Window;
    } else {
        line.run = CommandLine::Run::Headless;
    }
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
    // Not an order to the robot: it runs whether the robot does or not.
    const QString verify = QStringLiteral("  ") + texts::kVerifyCommand.name;
    text += verify + QString(kHelpColumn - verify.size(), u' ') + texts::kVerifyCommand.help +
            QLatin1Char('\n');
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
    const Options o;
    QCommandLineParser parser;
    parser.addOptions(
        {o.dir, o.instance, o.headless, o.demo, o.init, o.printer, o.database, o.help, o.version});
    // "estado --json": what follows the command is the command's.
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
    if (!parser.parse(args))
        return answering(parser.errorText() + QLatin1Char('\n'), ExitStatus::Usage);
    if (parser.isSet(o.help))
        return answering(help(parser.helpText()), ExitStatus::Done);
    if (parser.isSet(o.version))
        return answering(QStringLiteral("robot-fiscal " ROBOT_VERSION "\n"), ExitStatus::Done);
    if (parser.isSet(o.demo) && parser.isSet(o.init))
        return answering(texts::kDemoOrInit + QLatin1Char('\n'), ExitStatus::Usage);
    if (parser.isSet(o.demo) || parser.isSet(o.init))
        return installation(parser, o);
    if (parser.isSet(o.printer) || parser.isSet(o.database))
        return answering(texts::kDemoOptionsAlone + QLatin1Char('\n'), ExitStatus::Usage);
    return robotOrCommand(parser, o);
}

ExitStatus CommandLine::printAnswer() const
{
    std::fputs(answer.toUtf8().constData(), status == ExitStatus::Done ? stdout : stderr);
    return status;
}

} // namespace app
