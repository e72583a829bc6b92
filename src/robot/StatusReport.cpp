#include "robot/StatusReport.h"

#include "core/Texts.h"
#include "db/DataError.h"
#include "db/ListSource.h"
#include "documents/HeldDocuments.h"
#include "documents/JobContext.h"
#include "documents/Recovery.h"
#include "robot/Robot.h"

#include <QJsonArray>
#include <QStringList>

namespace robot {

namespace texts = core::texts;

namespace {

QString kindWord(core::DocumentKind kind)
{
    return kind == core::DocumentKind::CreditNote ? QStringLiteral("nota")
                                                  : QStringLiteral("factura");
}

QJsonObject document(core::DocumentKind kind, qint64 codigo)
{
    return {{QStringLiteral("documento"), kindWord(kind)}, {QStringLiteral("codigo"), codigo}};
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

} // namespace

QJsonObject StatusReport::json(Robot &robot)
{
    refresh(robot);
    const documents::JobContext &jobs = robot.jobContext();
    QJsonValue imprimiendo = QJsonValue::Null;
    if (jobs.inProgress) {
        QJsonObject o = document(jobs.inProgress->kind, jobs.inProgress->code);
        o.insert(QStringLiteral("etapa"), jobs.inProgress->stage ? *jobs.inProgress->stage : 0.0);
        imprimiendo = o;
    }

    // The held documents still pending, but the one being printed again now.
    QJsonArray retenidos;
    const auto add = [&](const documents::HeldDocuments::Entry &e) {
        if (jobs.inProgress && jobs.inProgress->kind == e.kind && jobs.inProgress->code == e.code)
            return;
        QJsonObject o = document(e.kind, e.code);
        o.insert(QStringLiteral("motivo"), e.reason);
        retenidos.append(o);
    };
    if (jobs.recovery && jobs.recovery->held())
        add(*jobs.recovery->held());
    if (jobs.held) {
        const QList<qint64> facturas = pendingCodes(jobs.Data5);
        const QList<qint64> notas = pendingCodes(jobs.Data6);
        for (const auto &e : jobs.held->entries()) {
            if ((e.kind == core::DocumentKind::CreditNote ? notas : facturas).contains(e.code))
                add(e);
        }
    }

    QJsonValue ultimo = QJsonValue::Null;
    if (jobs.lastPrinted) {
        QJsonObject o = document(jobs.lastPrinted->document, jobs.lastPrinted->code);
        o.insert(QStringLiteral("numero"), jobs.lastPrinted->number);
        o.insert(QStringLiteral("hora"),
                 jobs.lastPrinted->time.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")));
        ultimo = o;
    }

    return {
        {QStringLiteral("sondeo"), robot.polling()},
        {QStringLiteral("imprimiendo"), imprimiendo},
        {QStringLiteral("pendientes"),
         QJsonObject{{QStringLiteral("facturas"), jobs.Data5.recordCount()},
                     {QStringLiteral("notas"), jobs.Data6.recordCount()}}},
        {QStringLiteral("retenidos"), retenidos},
        {QStringLiteral("ultimo"), ultimo},
    };
}

QString StatusReport::text(Robot &robot)
{
    const QJsonObject s = json(robot);
    const auto name = [](const QJsonObject &d) {
        return d.value(QStringLiteral("documento")).toString() + QLatin1Char(' ') +
               QString::number(d.value(QStringLiteral("codigo")).toInteger());
    };
    QStringList lines;
    lines << texts::kPollingLine + (s.value(QStringLiteral("sondeo")).toBool()
                                        ? texts::kPollingRuns
                                        : texts::kPollingStopped);
    const QJsonObject imprimiendo = s.value(QStringLiteral("imprimiendo")).toObject();
    lines << texts::kPrintingLine +
                 (imprimiendo.isEmpty()
                      ? texts::kNothing
                      : name(imprimiendo) +
                            texts::atStage(imprimiendo.value(QStringLiteral("etapa")).toDouble()));
    const QJsonObject pendientes = s.value(QStringLiteral("pendientes")).toObject();
    lines << texts::pendingLine(pendientes.value(QStringLiteral("facturas")).toInt(),
                                pendientes.value(QStringLiteral("notas")).toInt());
    QStringList retenidos;
    for (const QJsonValue &v : s.value(QStringLiteral("retenidos")).toArray())
        retenidos << name(v.toObject()) + QStringLiteral(" (") +
                         v.toObject().value(QStringLiteral("motivo")).toString() + QLatin1Char(')');
    lines << texts::kHeldLine +
                 (retenidos.isEmpty() ? texts::kNone : retenidos.join(QStringLiteral("; ")));
    const QJsonObject ultimo = s.value(QStringLiteral("ultimo")).toObject();
    lines << texts::kLastPrintedLine +
                 (ultimo.isEmpty()
                      ? texts::kNone
                      : name(ultimo) +
                            texts::numberAt(ultimo.value(QStringLiteral("numero")).toString(),
                                            ultimo.value(QStringLiteral("hora")).toString()));
    return lines.join(QLatin1Char('\n'));
}

} // namespace robot
