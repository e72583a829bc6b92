#include "PaperRoll.h"

#include "Totals.h"

namespace sim {

namespace {

const QString kRule = QString(PaperRoll::kWidth, QLatin1Char('-'));
const QString kEdge = QString(PaperRoll::kWidth, QLatin1Char('='));

QString eightDigits(int n)
{
    return QStringLiteral("%1").arg(n, 8, 10, QLatin1Char('0'));
}

QString referenceLabel(const QString &key)
{
    if (key == QLatin1String("S"))
        return QStringLiteral("RAZON SOCIAL: ");
    if (key == QLatin1String("R"))
        return QStringLiteral("RIF/C.I.: ");
    if (key == QLatin1String("F"))
        return QStringLiteral("FACTURA AFECTADA: ");
    if (key == QLatin1String("I"))
        return QStringLiteral("SERIAL MAQUINA: ");
    if (key == QLatin1String("D"))
        return QStringLiteral("FECHA FACTURA: ");
    return QString();
}

} // namespace

PaperRoll::PaperRoll(const QString &serial, const QList<int> &rates)
    : m_serial(serial), m_rates(rates)
{
}

QString PaperRoll::money(qint64 cents)
{
    const bool negative = cents < 0;
    const qint64 v = negative ? -cents : cents;
    QString units = QString::number(v / 100);
    for (qsizetype i = units.size() - 3; i > 0; i -= 3)
        units.insert(i, QLatin1Char('.'));
    return (negative ? QStringLiteral("-") : QString()) + units + QLatin1Char(',') +
           QStringLiteral("%1").arg(v % 100, 2, 10, QLatin1Char('0'));
}

QString PaperRoll::quantity(qint64 thousandths)
{
    return QString::number(thousandths / 1000) + QLatin1Char(',') +
           QStringLiteral("%1").arg(thousandths % 1000, 3, 10, QLatin1Char('0'));
}

QString PaperRoll::percent(int hundredths)
{
    return money(hundredths) + QLatin1Char('%');
}

QString PaperRoll::row(const QString &left, const QString &right)
{
    const qsizetype gap = kWidth - left.size() - right.size();
    if (gap >= 1)
        return left + QString(gap, QLatin1Char(' ')) + right;
    return left + QLatin1Char('\n') + right.rightJustified(kWidth);
}

QString PaperRoll::text(const QStringList &lines)
{
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

QString PaperRoll::rateName(int rate) const
{
    static const char *const letters[] = {"E", "G", "R", "A"};
    if (rate == 0)
        return QStringLiteral("EXENTO (E)");
    const int hundredths = rate - 1 < m_rates.size() ? m_rates[rate - 1] : 0;
    return QStringLiteral("%1 (%2)").arg(QLatin1String(letters[rate]), percent(hundredths));
}

QStringList PaperRoll::top(const QString &title) const
{
    return {kEdge, QStringLiteral("SERIAL ") + m_serial, title, kRule};
}

QStringList PaperRoll::bottom(const QDateTime &when)
{
    return {QStringLiteral("FECHA ") + when.toString(QStringLiteral("dd/MM/yyyy")) +
                QStringLiteral("   HORA ") + when.toString(QStringLiteral("HH:mm:ss")),
            kEdge, QString()};
}

QStringList PaperRoll::documentBody(const Document &document, const QList<HeaderLine> &header) const
{
    const bool credit = document.kind == DocumentKind::CreditNote;
    QStringList lines = {kEdge, QStringLiteral("SERIAL ") + m_serial};
    for (const HeaderLine &h : header)
        lines << referenceLabel(h.key) + h.text;
    lines << (credit ? QStringLiteral("NOTA DE CREDITO") : QStringLiteral("FACTURA")) << kRule;

    for (const Item &item : document.items) {
        lines << item.description;
        lines << row(QStringLiteral("  %1 x %2 %3")
                         .arg(quantity(item.quantity), money(item.price), rateName(item.rate)),
                     money(Totals::lineAmount(item)));
    }
    lines << kRule;

    const Totals totals(document, m_rates);
    lines << row(QStringLiteral("SUBTOTAL"), money(totals.subtotal()));
    if (document.discount > 0)
        lines << row(QStringLiteral("DESCUENTO ") + percent(document.discount),
                     money(-totals.discountTotal()));
    for (int r = 0; r < 4; ++r) {
        if (totals.gross[r] == 0)
            continue;
        if (r == 0) {
            lines << row(rateName(0), money(totals.base[0]));
            continue;
        }
        lines << row(QStringLiteral("BI ") + rateName(r), money(totals.base[r]));
        lines << row(QStringLiteral("IVA ") + rateName(r), money(totals.tax[r]));
    }
    lines << row(QStringLiteral("TOTAL"), money(totals.total()));
    for (const Payment &p : document.payments)
        lines << row(QStringLiteral("PAGO ") + p.means, money(p.amount));
    if (totals.change() > 0 && !credit)
        lines << row(QStringLiteral("CAMBIO"), money(totals.change()));
    lines << kRule;
    return lines;
}

QString PaperRoll::closedDocument(const Document &document, const QList<HeaderLine> &header,
                                  int number, const QDateTime &when) const
{
    QStringList lines = documentBody(document, header);
    lines << row(document.kind == DocumentKind::CreditNote ? QStringLiteral("NOTA DE CREDITO N.")
                                                           : QStringLiteral("FACTURA N."),
                 eightDigits(number));
    return text(lines + bottom(when));
}

QString PaperRoll::cancelledDocument(const Document &document, const QList<HeaderLine> &header,
                                     const QDateTime &when) const
{
    QStringList lines = documentBody(document, header);
    lines << QStringLiteral("*** DOCUMENTO ANULADO ***");
    return text(lines + bottom(when));
}

QStringList PaperRoll::dayTotals(const DayTotals &totals) const
{
    QStringList lines;
    lines << row(QStringLiteral("FACTURAS"), QString::number(totals.invoices));
    lines << row(QStringLiteral("NOTAS DE CREDITO"), QString::number(totals.creditNotes));
    lines << row(QStringLiteral("DOCUMENTOS ANULADOS"), QString::number(totals.cancelled));
    lines << QStringLiteral("VENTAS");
    for (int r = 0; r < 4; ++r) {
        lines << row(QStringLiteral("  BI ") + rateName(r), money(totals.salesBase[r]));
        if (r > 0)
            lines << row(QStringLiteral("  IVA ") + rateName(r), money(totals.salesTax[r]));
    }
    lines << row(QStringLiteral("TOTAL VENTAS"), money(totals.salesTotal()));
    lines << QStringLiteral("NOTAS DE CREDITO");
    for (int r = 0; r < 4; ++r) {
        lines << row(QStringLiteral("  BI ") + rateName(r), money(totals.creditBase[r]));
        if (r > 0)
            lines << row(QStringLiteral("  IVA ") + rateName(r), money(totals.creditTax[r]));
    }
    lines << row(QStringLiteral("TOTAL NOTAS DE CREDITO"), money(totals.creditTotal()));
    return lines;
}

QString PaperRoll::xReport(const FiscalMemory &memory, const QDateTime &when) const
{
    QStringList lines = top(QStringLiteral("REPORTE X"));
    lines << row(QStringLiteral("ULTIMA FACTURA"), eightDigits(memory.lastInvoice));
    lines << row(QStringLiteral("ULTIMA NOTA DE CREDITO"), eightDigits(memory.lastCreditNote));
    lines << dayTotals(memory.day);
    lines << kRule
          << row(QStringLiteral("PROXIMO Z"),
                 QStringLiteral("%1").arg(memory.lastZ + 1, 4, 10, QLatin1Char('0')));
    return text(lines + bottom(when));
}

QString PaperRoll::zReport(const Closure &closure) const
{
    QStringList lines = top(QStringLiteral("REPORTE Z"));
    lines << row(QStringLiteral("Z N."),
                 QStringLiteral("%1").arg(closure.number, 4, 10, QLatin1Char('0')));
    lines << row(QStringLiteral("ULTIMA FACTURA"), eightDigits(closure.lastInvoice));
    lines << row(QStringLiteral("ULTIMA NOTA DE CREDITO"), eightDigits(closure.lastCreditNote));
    lines << dayTotals(closure.totals) << kRule;
    return text(lines + bottom(closure.when));
}

QString PaperRoll::memoryReport(const QList<Closure> &closures, QDate from, QDate to,
                                const QDateTime &when) const
{
    QStringList lines = top(QStringLiteral("REPORTE DE MEMORIA FISCAL"));
    lines << QStringLiteral("DESDE ") + from.toString(QStringLiteral("dd/MM/yyyy")) +
                 QStringLiteral(" HASTA ") + to.toString(QStringLiteral("dd/MM/yyyy"));
    qint64 sales = 0;
    qint64 credits = 0;
    int found = 0;
    for (const Closure &c : closures) {
        const QDate day = c.when.date();
        if (day < from || day > to)
            continue;
        ++found;
        sales += c.totals.salesTotal();
        credits += c.totals.creditTotal();
        lines << row(QStringLiteral("Z %1").arg(c.number, 4, 10, QLatin1Char('0')),
                     c.when.toString(QStringLiteral("dd/MM/yyyy")));
        lines << row(QStringLiteral("  ULTIMA FACTURA"), eightDigits(c.lastInvoice));
        lines << row(QStringLiteral("  VENTAS"), money(c.totals.salesTotal()));
        lines << row(QStringLiteral("  NOTAS DE CREDITO"), money(c.totals.creditTotal()));
    }
    if (found == 0)
        lines << QStringLiteral("SIN CIERRES EN EL PERIODO");
    lines << kRule << row(QStringLiteral("TOTAL VENTAS"), money(sales))
          << row(QStringLiteral("TOTAL NOTAS DE CREDITO"), money(credits));
    return text(lines + bottom(when));
}

} // namespace sim
