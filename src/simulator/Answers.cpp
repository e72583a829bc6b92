#include "Answers.h"

#include <QStringList>
#include <numeric>

namespace sim {

namespace {

// A counter or an amount in a fixed field; a value too wide keeps its
// lower digits, as the printer's registers roll over.
QString field(qint64 value, int width)
{
    qint64 limit = 1;
    for (int i = 0; i < width; ++i)
        limit *= 10;
    return QStringLiteral("%1").arg(value % limit, width, 10, QLatin1Char('0'));
}

QString serialField(const QString &serial)
{
    return serial.left(10).leftJustified(10, QLatin1Char(' '));
}

QString stamp(const QDateTime &now)
{
    return now.toString(QStringLiteral("ddMMyyHHmmss"));
}

qint64 sum(const std::array<qint64, 4> &a)
{
    return std::accumulate(a.begin(), a.end(), qint64(0));
}

QString lines(const QStringList &l)
{
    QString out;
    for (const QString &s : l)
        out += s + QStringLiteral("\r\n");
    return out;
}

} // namespace

QString Answers::status(const FiscalMemory &memory, const Settings &settings, const QDateTime &now)
{
    const DayTotals &day = memory.day;
    return lines({QStringLiteral("S1") + QStringLiteral("01") + field(day.salesTotal(), 17) +
                  field(memory.lastInvoice, 8) + field(day.invoices, 5) +
                  field(memory.lastCreditNote, 8) + field(day.creditNotes, 5) +
                  field(memory.lastZ, 4) + stamp(now) + serialField(settings.serial)});
}

QString Answers::xReport(const FiscalMemory &memory, const Settings &settings, const QDateTime &now)
{
    const DayTotals &day = memory.day;
    const QString nextZ = field(memory.lastZ % 9999 + 1, 4);
    if (settings.layout == Settings::AnswerLayout::Dascom)
        return lines(
            {serialField(settings.serial) + stamp(now) + nextZ + field(memory.lastInvoice, 8) +
                 field(day.invoices, 4),
             field(memory.lastCreditNote, 8) + field(day.creditNotes, 4) + field(day.cancelled, 4),
             field(day.salesTotal(), 12) + field(sum(day.salesTax), 12),
             field(day.creditTotal(), 12) + field(sum(day.creditTax), 12)});
    return lines({serialField(settings.serial) + stamp(now) + nextZ + field(memory.lastInvoice, 8) +
                      field(day.invoices, 6),
                  field(day.salesBase[0], 10) + field(day.salesBase[1], 10) +
                      field(day.salesTax[1], 10) + field(day.salesBase[2], 10),
                  field(day.salesTax[2], 10) + field(day.salesBase[3], 10) +
                      field(day.salesTax[3], 10) + field(day.salesTotal(), 10),
                  field(sum(day.creditBase), 10) + field(sum(day.creditTax), 10) +
                      field(day.creditTotal(), 10) + field(day.cancelled, 10),
                  field(memory.lastCreditNote, 8) + field(day.creditNotes, 6)});
}

} // namespace sim
