#include "support/ShopDayPaper.h"

#include <QRegularExpression>

namespace testsupport {

namespace {

// "1.234,56" as the roll prints amounts, in units of 1/scale.
qint64 amount(QString text, int scale)
{
    return qRound64(text.remove(u'.').replace(u',', u'.').toDouble() * scale);
}

} // namespace

QString PaperDocument::describe() const
{
    QStringList items;
    for (const Line &l : lines)
        items << QStringLiteral("%1 %2x%3%4")
                     .arg(l.description)
                     .arg(l.quantity)
                     .arg(l.price)
                     .arg(l.rate);
    return QStringLiteral("%1%2 [%3] {%4} discount %5")
        .arg(kind == core::DocumentKind::CreditNote ? "nota" : "factura",
             number.isEmpty() ? QString() : u' ' + number, header.join(" | "), items.join("; "))
        .arg(discount);
}

PaperRoll::PaperRoll(const QString &text)
{
    static const QRegularExpression item(
        QStringLiteral("^ +([\\d.,]+) x ([\\d.,]+) (?:EXENTO \\()?([EGRA])"));
    static const QRegularExpression discount(QStringLiteral("^DESCUENTO ([\\d.,]+)%"));
    static const QRegularExpression closed(
        QStringLiteral("^(?:FACTURA|NOTA DE CREDITO) N\\. +(\\d+)$"));
    const QString edge(40, u'='), rule(40, u'-');
    const QStringList all = text.split(u'\n');
    for (qsizetype at = all.indexOf(edge); at >= 0; at = all.indexOf(edge, at + 1)) {
        const qsizetype end = all.indexOf(edge, at + 1);
        if (end < 0)
            break;
        const QStringList block = all.mid(at + 1, end - at - 1);
        at = end;
        const qsizetype firstRule = block.indexOf(rule);
        const QString title = block.value(firstRule - 1);
        if (title == QLatin1String("REPORTE Z"))
            ++zReports;
        if (firstRule < 2 ||
            (title != QLatin1String("FACTURA") && title != QLatin1String("NOTA DE CREDITO")))
            continue;
        PaperDocument d;
        d.kind = title == QLatin1String("FACTURA") ? core::DocumentKind::Invoice
                                                   : core::DocumentKind::CreditNote;
        d.header = block.mid(1, firstRule - 2);
        d.zBefore = zReports;
        qsizetype k = firstRule + 1;
        for (; k + 1 < block.size() && block[k] != rule; k += 2) {
            const auto m = item.match(block[k + 1]);
            const QString rate = m.captured(3);
            d.lines << PaperDocument::Line{block[k], amount(m.captured(2), 100),
                                           amount(m.captured(1), 1000),
                                           rate.isEmpty() ? QChar() : rate[0]};
        }
        for (; k < block.size(); ++k) {
            if (const auto m = discount.match(block[k]); m.hasMatch())
                d.discount = int(amount(m.captured(1), 100));
            if (const auto m = closed.match(block[k]); m.hasMatch())
                d.number = m.captured(1);
        }
        documents << d;
    }
}

} // namespace testsupport
