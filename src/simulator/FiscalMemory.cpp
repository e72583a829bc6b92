#include "FiscalMemory.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <numeric>

namespace sim {

namespace {

constexpr int kFormatVersion = 1;

QJsonArray amounts(const std::array<qint64, 4> &a)
{
    QJsonArray out;
    for (qint64 v : a)
        out.append(v);
    return out;
}

std::array<qint64, 4> amountsFrom(const QJsonValue &v)
{
    std::array<qint64, 4> out{};
    const QJsonArray a = v.toArray();
    for (int i = 0; i < 4 && i < a.size(); ++i)
        out[i] = a[i].toInteger();
    return out;
}

QJsonObject dayToJson(const DayTotals &d)
{
    return {{"invoices", d.invoices},           {"creditNotes", d.creditNotes},
            {"cancelled", d.cancelled},         {"salesBase", amounts(d.salesBase)},
            {"salesTax", amounts(d.salesTax)},  {"creditBase", amounts(d.creditBase)},
            {"creditTax", amounts(d.creditTax)}};
}

DayTotals dayFromJson(const QJsonObject &o)
{
    DayTotals d;
    d.invoices = o.value("invoices").toInt();
    d.creditNotes = o.value("creditNotes").toInt();
    d.cancelled = o.value("cancelled").toInt();
    d.salesBase = amountsFrom(o.value("salesBase"));
    d.salesTax = amountsFrom(o.value("salesTax"));
    d.creditBase = amountsFrom(o.value("creditBase"));
    d.creditTax = amountsFrom(o.value("creditTax"));
    return d;
}

QString kindName(DocumentKind k)
{
    switch (k) {
    case DocumentKind::Invoice:
        return QStringLiteral("invoice");
    case DocumentKind::CreditNote:
        return QStringLiteral("creditNote");
    case DocumentKind::None:
        break;
    }
    return QString();
}

DocumentKind kindFrom(const QString &name)
{
    if (name == QLatin1String("invoice"))
        return DocumentKind::Invoice;
    if (name == QLatin1String("creditNote"))
        return DocumentKind::CreditNote;
    return DocumentKind::None;
}

qint64 sum(const std::array<qint64, 4> &a, const std::array<qint64, 4> &b)
{
    return std::accumulate(a.begin(), a.end(), qint64(0)) +
           std::accumulate(b.begin(), b.end(), qint64(0));
}

} // namespace

qint64 DayTotals::salesTotal() const
{
    return sum(salesBase, salesTax);
}

qint64 DayTotals::creditTotal() const
{
    return sum(creditBase, creditTax);
}

QByteArray FiscalMemory::toJson() const
{
    QJsonArray headerLines;
    for (const HeaderLine &h : header)
        headerLines.append(QJsonObject{{"key", h.key}, {"text", h.text}});

    QJsonObject doc;
    if (document.isOpen()) {
        QJsonArray items;
        for (const Item &i : document.items)
            items.append(QJsonObject{{"rate", i.rate},
                                     {"price", i.price},
                                     {"quantity", i.quantity},
                                     {"description", i.description}});
        QJsonArray payments;
        for (const Payment &p : document.payments)
            payments.append(QJsonObject{{"means", p.means}, {"amount", p.amount}});
        doc = {{"kind", kindName(document.kind)},
               {"opened", document.opened.toString(Qt::ISODate)},
               {"items", items},
               {"discount", document.discount},
               {"payments", payments}};
    }

    QJsonArray closureList;
    for (const Closure &c : closures)
        closureList.append(QJsonObject{{"number", c.number},
                                       {"when", c.when.toString(Qt::ISODate)},
                                       {"lastInvoice", c.lastInvoice},
                                       {"lastCreditNote", c.lastCreditNote},
                                       {"totals", dayToJson(c.totals)}});

    const QJsonObject root{{"format", kFormatVersion},
                           {"lastInvoice", lastInvoice},
                           {"lastCreditNote", lastCreditNote},
                           {"lastZ", lastZ},
                           {"header", headerLines},
                           {"document", doc},
                           {"day", dayToJson(day)},
                           {"closures", closureList}};
    return QJsonDocument(root).toJson(QJsonDocument::Compact);
}

bool FiscalMemory::fromJson(const QByteArray &json, FiscalMemory *out)
{
    const QJsonDocument parsed = QJsonDocument::fromJson(json);
    const QJsonObject root = parsed.object();
    if (!parsed.isObject() || root.value("format").toInt() != kFormatVersion)
        return false;

    FiscalMemory m;
    m.lastInvoice = root.value("lastInvoice").toInt();
    m.lastCreditNote = root.value("lastCreditNote").toInt();
    m.lastZ = root.value("lastZ").toInt();
    for (const QJsonValue &v : root.value("header").toArray())
        m.header.append({v["key"].toString(), v["text"].toString()});

    const QJsonObject doc = root.value("document").toObject();
    m.document.kind = kindFrom(doc.value("kind").toString());
    if (m.document.isOpen()) {
        m.document.opened = QDateTime::fromString(doc.value("opened").toString(), Qt::ISODate);
        for (const QJsonValue &v : doc.value("items").toArray())
            m.document.items.append({v["rate"].toInt(), v["price"].toInteger(),
                                     v["quantity"].toInteger(), v["description"].toString()});
        m.document.discount = doc.value("discount").toInt(-1);
        for (const QJsonValue &v : doc.value("payments").toArray())
            m.document.payments.append({v["means"].toString(), v["amount"].toInteger()});
    }

    m.day = dayFromJson(root.value("day").toObject());
    for (const QJsonValue &v : root.value("closures").toArray())
        m.closures.append({v["number"].toInt(),
                           QDateTime::fromString(v["when"].toString(), Qt::ISODate),
                           v["lastInvoice"].toInt(), v["lastCreditNote"].toInt(),
                           dayFromJson(v["totals"].toObject())});
    *out = m;
    return true;
}

} // namespace sim
