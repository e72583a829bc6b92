#include "robot/ControlCommands.h"

#include "core/DocumentKind.h"
#include "robot/PrinterActions.h"
#include "robot/Robot.h"
#include "robot/StatusReport.h"

#include <QJsonDocument>

namespace robot {

namespace texts = core::texts;

namespace {

using Command = ControlCommands::Command;

bool none(const QStringList &args)
{
    return args.isEmpty();
}

bool statusOptions(const QStringList &args)
{
    return args.isEmpty() || args == QStringList{QStringLiteral("--json")} ||
           args == QStringList{texts::kCheckOption};
}

bool twoDates(const QStringList &args)
{
    return args.size() == 2;
}

bool heldDocument(const QStringList &args)
{
    bool ok = false;
    const qint64 code = args.value(1).toLongLong(&ok);
    const bool kind =
        args.value(0) == texts::kInvoiceWord || args.value(0) == texts::kCreditNoteWord;
    return args.size() == 2 && kind && ok && code > 0;
}

Outcome status(Robot &robot, PrinterActions &, const QStringList &args)
{
    if (args.isEmpty())
        return {Outcome::Result::Done, StatusReport::text(robot)};
    if (args.first() == texts::kCheckOption)
        return StatusReport::check(robot);
    return {
        Outcome::Result::Done,
        QString::fromUtf8(QJsonDocument(StatusReport::json(robot)).toJson(QJsonDocument::Compact))};
}

} // namespace

QString ControlCommands::Command::usage() const
{
    return text.arguments.isEmpty() ? text.name : text.name + QLatin1Char(' ') + text.arguments;
}

std::span<const Command> ControlCommands::all()
{
    static const Command commands[] = {
        {texts::kStatusCommand, statusOptions, status},
        {texts::kXReportCommand, none,
         [](Robot &, PrinterActions &actions, const QStringList &) {
             return actions.printXReport();
         }},
        {texts::kZReportCommand, none,
         [](Robot &, PrinterActions &actions, const QStringList &) {
             return actions.printZReport();
         }},
        {texts::kOpenDrawerCommand, none,
         [](Robot &, PrinterActions &actions, const QStringList &) {
             return actions.openDrawer();
         }},
        {texts::kCancelCommand, none,
         [](Robot &, PrinterActions &actions, const QStringList &) {
             return actions.cancelDocument();
         }},
        {texts::kFiscalMemoryCommand, twoDates,
         [](Robot &, PrinterActions &actions, const QStringList &args) {
             return actions.printFiscalMemory(args[0], args[1]);
         }},
        {texts::kStopCommand, none,
         [](Robot &, PrinterActions &actions, const QStringList &) {
             return actions.stopPolling();
         },
         true},
        {texts::kStartCommand, none,
         [](Robot &, PrinterActions &actions, const QStringList &) {
             return actions.startPolling();
         },
         true},
        {texts::kRetryCommand, heldDocument,
         [](Robot &, PrinterActions &actions, const QStringList &args) {
             return actions.retry(args[0] == texts::kCreditNoteWord ? core::DocumentKind::CreditNote
                                                                    : core::DocumentKind::Invoice,
                                  args[1].toLongLong());
         }},
        {texts::kAcceptNumbersCommand, none,
         [](Robot &, PrinterActions &actions, const QStringList &) {
             return actions.acceptNumbers();
         },
         true},
    };
    return commands;
}

const Command *ControlCommands::find(const QString &name)
{
    for (const Command &command : all()) {
        if (command.text.name == name)
            return &command;
    }
    return nullptr;
}

QString ControlCommands::usageError(const QStringList &words)
{
    const QString name = words.value(0);
    const Command *command = find(name);
    if (!command)
        return name.isEmpty() ? texts::kMissingCommand : texts::unknownCommand(name);
    return command->takes(words.mid(1)) ? QString() : texts::wrongArguments(name, command->usage());
}

} // namespace robot
