#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <array>

namespace sim {

// Amounts are integer cents, quantities thousandths, percentages hundredths
// of a per cent, as the command fields carry them.

// A header line: key "01".."09" for the free lines, "S", "R", "F", "I" or
// "D" for the credit-note references.
struct HeaderLine
{
    QString key;
    QString text;
};

struct Item
{
    int rate = 0; // 0 exempt, 1 to 3 the printer's rates
    qint64 price = 0;
    qint64 quantity = 0;
    QString description;
};

struct Payment
{
    QString means; // two-digit means code
    qint64 amount = 0;
};

enum class DocumentKind { None, Invoice, CreditNote };

struct Document
{
    DocumentKind kind = DocumentKind::None;
    QDateTime opened;
    QList<Item> items;
    int discount = -1; // none
    QList<Payment> payments;

    bool isOpen() const { return kind != DocumentKind::None; }
};

// What the fiscal memory adds up between two Z reports.
struct DayTotals
{
    int invoices = 0;
    int creditNotes = 0;
    int cancelled = 0;
    std::array<qint64, 4> salesBase{};
    std::array<qint64, 4> salesTax{};
    std::array<qint64, 4> creditBase{};
    std::array<qint64, 4> creditTax{};

    qint64 salesTotal() const;
    qint64 creditTotal() const;
};

// One Z report as the fiscal memory keeps it for the memory report.
struct Closure
{
    int number = 0;
    QDateTime when;
    int lastInvoice = 0;
    int lastCreditNote = 0;
    DayTotals totals;
};

// Everything the printer keeps across power cuts.
class FiscalMemory
{
public:
    int lastInvoice = 0;
    int lastCreditNote = 0;
    int lastZ = 0;
    QList<HeaderLine> header;
    Document document;
    DayTotals day;
    QList<Closure> closures;

    QByteArray toJson() const;
    // False when the text is not a fiscal memory; `out` is then untouched.
    static bool fromJson(const QByteArray &json, FiscalMemory *out);
};

} // namespace sim
