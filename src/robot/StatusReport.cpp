#include "robot/StatusReport.h"

#include "core/Texts.h"
#include "db/ChangeWatch.h"
#include "db/DataError.h"
#include "db/ListSource.h"
#include "documents/HeldDocuments.h"
#include "documents/JobContext.h"
#include "documents/NumberCheck.h"
#include "documents/Recovery.h"
#include "robot/PollingCycle.h"
#include "robot/Robot.h"

#include <QJsonArray>
#include <QStringList>
#include <algorithm>

namespace robot {

namespace texts = core::texts;

namespace {

QJsonObject document(core::DocumentKind kind, qint64 code)
{
    return {{texts::kJsonDocument, texts::documentWord(kind)}, {texts::kJsonCode, code}};
}

QList<qint64> pendingCodes(const db::ListSource &list)
{
    QList<qint64> codes;
    if (list.recordCount() == 0)
        return codes;
    try {
        for (const QString &code : list.recordset().columnTexts(QStringLiteral("Código")))
            codes << code.toLongLong();
    } catch (const db::DataError &) {
    }
    return codes;
}

QString timeText(const QDateTime &time)
{
    return time.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss"));
}

void refresh(Robot &robot)
{
    // In the middle of a job its list is being walked: what was read stays.
    if (robot.busy())
        return;
    const struct
    {
        db::ListSource &source;
        core::ListDisplay display;
    } lists[] = {{robot.lists().Data5, core::ListDisplay::DBList2},
                 {robot.lists().Data6, core::ListDisplay::DBList1}};
    for (const auto &l : lists) {
        try {
            l.source.refresh();
            robot.window().setListRows(l.display, l.source.displayLines());
        } catch (const db::DataError &) {
        }
    }
}

QJsonValue timeOrNull(const QDateTime &time)
{
    return time.isValid() ? QJsonValue(timeText(time)) : QJsonValue(QJsonValue::Null);
}

QString lockWord(Robot::MachineLockState state)
{
    switch (state) {
    case Robot::MachineLockState::Held:
        return texts::kLockHeld;
    case Robot::MachineLockState::Lost:
        return texts::kLockLost;
    case Robot::MachineLockState::Awaited:
        break;
    }
    return texts::kLockAwaited;
}

QString wakeWord(const db::ChangeWatch *watch)
{
    switch (watch ? watch->way() : db::ChangeWatch::Way::Ticks) {
    case db::ChangeWatch::Way::Changes:
        return texts::kWakeChanges;
    case db::ChangeWatch::Way::Notifications:
        return texts::kWakeNotifications;
    case db::ChangeWatch::Way::Ticks:
        break;
    }
    return texts::kWakeTicks;
}

} // namespace

QJsonObject StatusReport::json(Robot &robot)
{
    refresh(robot);
    const documents::JobContext &jobs = robot.jobContext();
    QJsonValue printing = QJsonValue::Null;
    if (jobs.inProgress) {
        QJsonObject o = document(jobs.inProgress->kind, jobs.inProgress->code);
        o.insert(texts::kJsonStage, jobs.inProgress->stage ? *jobs.inProgress->stage : 0.0);
        printing = o;
    }

    // The held documents still pending, but the one being printed again now.
    QJsonArray held;
    const auto add = [&](const documents::HeldDocuments::Entry &e) {
        if (jobs.inProgress && jobs.inProgress->kind == e.kind && jobs.inProgress->code == e.code)
            return;
        QJsonObject o = document(e.kind, e.code);
        o.insert(texts::kJsonReason, e.reason);
        // Recovery's document is tried at every tick; a job's waits out its pause.
        if (e.attempts > 0) {
            const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(
                jobs.held->nextTry(e) - robot.clock().monotonic());
            o.insert(texts::kJsonAttempts, e.attempts);
            o.insert(texts::kJsonNextTry,
                     timeText(robot.clock().now().addMSecs(std::max<qint64>(wait.count(), 0))));
        }
        held.append(o);
    };
    if (jobs.recovery && jobs.recovery->held())
        add(*jobs.recovery->held());
    if (jobs.held) {
        const QList<qint64> invoices = pendingCodes(jobs.Data5);
        const QList<qint64> creditNotes = pendingCodes(jobs.Data6);
        for (const auto &e : jobs.held->entries()) {
            if ((e.kind == core::DocumentKind::CreditNote ? creditNotes : invoices)
                    .contains(e.code))
                add(e);
        }
    }

    QJsonValue last = QJsonValue::Null;
    if (jobs.lastPrinted) {
        QJsonObject o = document(jobs.lastPrinted->document, jobs.lastPrinted->code);
        o.insert(texts::kJsonNumber, jobs.lastPrinted->number);
        o.insert(texts::kJsonTime, timeText(jobs.lastPrinted->time));
        last = o;
    }

    QJsonArray unaccounted;
    if (jobs.numbers) {
        for (const auto &r : jobs.numbers->unaccounted())
            unaccounted.append(QJsonObject{{texts::kJsonDocument, texts::documentWord(r.kind)},
                                           {texts::kJsonFrom, r.first},
                                           {texts::kJsonTo, r.last}});
    }

    const printer::PrinterHealth &health = robot.printerHealth();
    const QJsonObject printer{
        {texts::kJsonAnswers,
         health.answering() ? QJsonValue(*health.answering()) : QJsonValue(QJsonValue::Null)},
        {texts::kJsonFrom, timeOrNull(health.since())},
        {texts::kJsonLastAnswer, timeOrNull(health.lastAnswer())},
        {texts::kJsonStatusWord, health.status()},
        {texts::kJsonErrorWord, health.error()},
    };

    return {
        {texts::kJsonPolling, robot.polling()},
        {texts::kJsonPrinting, printing},
        {texts::kJsonPending, QJsonObject{{texts::kJsonInvoices, jobs.Data5.recordCount()},
                                          {texts::kJsonCreditNotes, jobs.Data6.recordCount()}}},
        {texts::kJsonHeld, held},
        {texts::kJsonLastPrinted, last},
        {texts::kJsonUnaccounted, unaccounted},
        {texts::kJsonWake, wakeWord(robot.changeWatch())},
        {texts::kJsonVersion, QStringLiteral(ROBOT_VERSION)},
        {texts::kJsonFrom, timeOrNull(robot.startedAt())},
        {texts::kJsonLastTick, timeOrNull(robot.lastTick())},
        {texts::kJsonDatabase,
         QJsonObject{{texts::kJsonAvailable, robot.pollingCycle().databaseAvailable()},
                     {texts::kJsonFrom, timeOrNull(robot.pollingCycle().databaseSince())}}},
        {texts::kJsonMachine, QJsonObject{{texts::kJsonLock, lockWord(robot.machineLock())}}},
        {texts::kJsonPrinter, printer},
    };
}

QString StatusReport::text(Robot &robot)
{
    const QJsonObject s = json(robot);
    const auto name = [](const QJsonObject &d) {
        return d.value(texts::kJsonDocument).toString() + QLatin1Char(' ') +
               QString::number(d.value(texts::kJsonCode).toInteger());
    };
    QStringList lines;
    lines << texts::kPollingLine + (s.value(texts::kJsonPolling).toBool() ? texts::kPollingRuns
                                                                          : texts::kPollingStopped);
    const QJsonObject printing = s.value(texts::kJsonPrinting).toObject();
    lines << texts::kPrintingLine +
                 (printing.isEmpty()
                      ? texts::kNothing
                      : name(printing) +
                            texts::atStage(printing.value(texts::kJsonStage).toDouble()));
    const QJsonObject pending = s.value(texts::kJsonPending).toObject();
    lines << texts::pendingLine(pending.value(texts::kJsonInvoices).toInt(),
                                pending.value(texts::kJsonCreditNotes).toInt());
    QStringList held;
    for (const QJsonValue &v : s.value(texts::kJsonHeld).toArray()) {
        const QJsonObject d = v.toObject();
        held << name(d) + QStringLiteral(" (") + d.value(texts::kJsonReason).toString() +
                    QLatin1Char(')') +
                    (d.contains(texts::kJsonAttempts)
                         ? texts::attemptsAndNextTry(d.value(texts::kJsonAttempts).toInt(),
                                                     d.value(texts::kJsonNextTry).toString())
                         : QString());
    }
    lines << texts::kHeldLine + (held.isEmpty() ? texts::kNone : held.join(QStringLiteral("; ")));
    const QJsonObject last = s.value(texts::kJsonLastPrinted).toObject();
    lines << texts::kLastPrintedLine +
                 (last.isEmpty()
                      ? texts::kNone
                      : name(last) + texts::numberAt(last.value(texts::kJsonNumber).toString(),
                                                     last.value(texts::kJsonTime).toString()));
    QStringList unaccounted;
    for (const QJsonValue &v : s.value(texts::kJsonUnaccounted).toArray()) {
        const QJsonObject r = v.toObject();
        unaccounted << texts::numberRange(r.value(texts::kJsonDocument).toString(),
                                          r.value(texts::kJsonFrom).toString(),
                                          r.value(texts::kJsonTo).toString());
    }
    lines << texts::kUnaccountedLine +
                 (unaccounted.isEmpty() ? texts::kNone : unaccounted.join(QStringLiteral("; ")));

    lines << texts::robotLine(s.value(texts::kJsonVersion).toString(),
                              s.value(texts::kJsonFrom).toString(),
                              s.value(texts::kJsonLastTick).toString());
    const QJsonObject database = s.value(texts::kJsonDatabase).toObject();
    lines << texts::databaseLine(database.value(texts::kJsonAvailable).toBool(),
                                 database.value(texts::kJsonFrom).toString());
    lines << texts::machineLine(
        robot.state().Caja,
        s.value(texts::kJsonMachine).toObject().value(texts::kJsonLock).toString());
    const QJsonObject printer = s.value(texts::kJsonPrinter).toObject();
    const QJsonValue answers = printer.value(texts::kJsonAnswers);
    lines << texts::printerLine(answers.isBool() ? std::optional<bool>(answers.toBool())
                                                 : std::nullopt,
                                printer.value(texts::kJsonFrom).toString(),
                                printer.value(texts::kJsonLastAnswer).toString(),
                                printer.value(texts::kJsonStatusWord).toInt(),
                                printer.value(texts::kJsonErrorWord).toInt());
    return lines.join(QLatin1Char('\n'));
}

Outcome StatusReport::check(Robot &robot)
{
    const QJsonObject s = json(robot);
    QStringList critical, warning;
    const QJsonObject database = s.value(texts::kJsonDatabase).toObject();
    if (!database.value(texts::kJsonAvailable).toBool())
        critical << texts::checkDatabaseAway(database.value(texts::kJsonFrom).toString());
    switch (robot.machineLock()) {
    case Robot::MachineLockState::Lost:
        critical << texts::checkMachineLock(robot.state().Caja, texts::kLockLost);
        break;
    case Robot::MachineLockState::Awaited:
        warning << texts::checkMachineLock(robot.state().Caja, texts::kLockAwaited);
        break;
    case Robot::MachineLockState::Held:
        break;
    }
    if (robot.stoppedByFault())
        critical << texts::kCheckStoppedByFault;
    else if (!robot.polling())
        warning << texts::kCheckStoppedByOperator;
    QStringList ranges;
    for (const QJsonValue &v : s.value(texts::kJsonUnaccounted).toArray()) {
        const QJsonObject r = v.toObject();
        ranges << texts::numberRange(r.value(texts::kJsonDocument).toString(),
                                     r.value(texts::kJsonFrom).toString(),
                                     r.value(texts::kJsonTo).toString());
    }
    if (!ranges.isEmpty())
        critical << texts::checkUnaccounted(ranges);
    const documents::JobContext &jobs = robot.jobContext();
    const std::optional<documents::HeldDocuments::Entry> recovering =
        jobs.recovery ? jobs.recovery->held() : std::nullopt;
    QStringList held;
    for (const QJsonValue &v : s.value(texts::kJsonHeld).toArray()) {
        const QJsonObject d = v.toObject();
        const QString name = d.value(texts::kJsonDocument).toString() + QLatin1Char(' ') +
                             QString::number(d.value(texts::kJsonCode).toInteger());
        if (recovering && d.value(texts::kJsonCode).toInteger() == recovering->code &&
            d.value(texts::kJsonDocument).toString() == texts::documentWord(recovering->kind))
            critical << texts::checkRecoveryHeld(name);
        else
            held << name;
    }
    if (!held.isEmpty())
        warning << texts::checkHeld(held);
    const QJsonObject printer = s.value(texts::kJsonPrinter).toObject();
    if (printer.value(texts::kJsonAnswers) == QJsonValue(false))
        warning << texts::checkPrinterSilent(printer.value(texts::kJsonFrom).toString());

    if (!critical.isEmpty())
        return {Outcome::Result::Critical,
                texts::checkLine(texts::kCheckCritical, critical + warning)};
    if (!warning.isEmpty())
        return {Outcome::Result::Warning, texts::checkLine(texts::kCheckWarning, warning)};
    const QJsonObject pending = s.value(texts::kJsonPending).toObject();
    return {
        Outcome::Result::Done,
        texts::checkLine(texts::kCheckOk,
                         {texts::checkAllWell(pending.value(texts::kJsonInvoices).toInt(),
                                              pending.value(texts::kJsonCreditNotes).toInt())})};
}

} // namespace robot
