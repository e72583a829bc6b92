#include "Interpreter.h"

#include "Totals.h"

#include <QDate>
#include <QRegularExpression>

namespace sim {

namespace {

constexpr int kLastDocumentNumber = 99999999;
constexpr int kLastZNumber = 9999;
constexpr int kDescriptionWidth = 40;

bool allDigits(QStringView s)
{
    if (s.isEmpty())
        return false;
    for (QChar c : s)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    return true;
}

// The field, when it is all digits; -1 otherwise.
qint64 number(QStringView command, qsizetype from, qsizetype count)
{
    if (command.size() < from + count)
        return -1;
    const QStringView field = command.mid(from, count);
    return allDigits(field) ? field.toLongLong() : -1;
}

int next(int n, int last)
{
    return n >= last ? 1 : n + 1;
}

Interpreter::Outcome refused(int error)
{
    Interpreter::Outcome o;
    o.error = error;
    return o;
}

Interpreter::Outcome changed(const QString &printed = QString())
{
    Interpreter::Outcome o;
    o.changed = true;
    o.printed = printed;
    return o;
}

// ddmmyy, years read as 20yy as the printer's clock does.
QDate shortDate(QStringView s)
{
    return QDate(2000 + s.mid(4, 2).toInt(), s.mid(2, 2).toInt(), s.mid(0, 2).toInt());
}

} // namespace

Interpreter::Interpreter(FiscalMemory &memory, const PaperRoll &paper, const QList<int> &rates)
    : m_memory(memory), m_paper(paper), m_rates(rates)
{
}

int Interpreter::documentStatus(const FiscalMemory &memory)
{
    const Document &d = memory.document;
    int bits = 0;
    if (d.kind == DocumentKind::Invoice)
        bits |= InvoiceOpen;
    if (d.kind == DocumentKind::CreditNote)
        bits |= CreditNoteOpen;
    if (!d.payments.isEmpty())
        bits |= PaymentStarted;
    if (d.discount > 0)
        bits |= DiscountGiven;
    if (!d.isOpen() && !memory.header.isEmpty())
        bits |= HeaderPending;
    return bits;
}

Interpreter::Outcome Interpreter::execute(const QString &command, const QDateTime &now)
{
    static const QRegularExpression freeHeader(QStringLiteral("^i0([1-9])"));
    static const QRegularExpression referenceHeader(QStringLiteral("^i([SRFID])\\*"));
    static const QRegularExpression payment(QStringLiteral("^[12f]\\d\\d"));

    if (command.isEmpty())
        return refused(Syntax);
    const QChar first = command.front();

    if (first == QLatin1Char('i')) {
        if (const auto m = freeHeader.match(command); m.hasMatch())
            return headerLine(QStringLiteral("0") + m.captured(1), command.mid(3));
        if (const auto m = referenceHeader.match(command); m.hasMatch())
            return headerLine(m.captured(1), command.mid(3));
        return refused(Syntax);
    }
    if (QStringLiteral(" !\"#").contains(first))
        return line(DocumentKind::Invoice, command, now);
    if (first == QLatin1Char('d') && command.size() > 1 && command[1] >= QLatin1Char('0') &&
        command[1] <= QLatin1Char('3'))
        return line(DocumentKind::CreditNote, command, now);
    if (command == QLatin1String("3"))
        return subtotal();
    if (command.startsWith(QLatin1String("p-")))
        return discount(command.mid(2));
    if (payment.match(command).hasMatch()) {
        if (first == QLatin1Char('1') && command.size() == 3)
            return payWhole(command.mid(1, 2), now);
        if (first == QLatin1Char('2') && command.size() == 15)
            return payPart(command, now);
        if (first == QLatin1Char('f') && command.size() == 15)
            return closeCreditNote(command, now);
        return refused(Syntax);
    }
    if (command == QLatin1String("7"))
        return cancel(now);
    if (command == QLatin1String("I0X"))
        return xReport(now);
    if (command == QLatin1String("I0Z"))
        return zReport(now);
    if (command.startsWith(QLatin1String("I2A")) && command.size() == 15 &&
        allDigits(QStringView(command).mid(3)))
        return memoryReport(command.mid(3), now);
    if (command == QLatin1String("0") || command == QLatin1String("w"))
        return Outcome(); // the drawer opens; nothing is printed or kept
    return refused(Syntax);
}

Interpreter::Outcome Interpreter::headerLine(const QString &key, const QString &text)
{
    if (m_memory.document.isOpen())
        return refused(NotAllowedNow);
    // A line sent again replaces the earlier one, as on the printer's buffer.
    for (HeaderLine &h : m_memory.header)
        if (h.key == key) {
            h.text = text;
            return changed();
        }
    m_memory.header.append({key, text});
    return changed();
}

bool Interpreter::takesItems() const
{
    // Once the subtotal discount is fixed or payment has begun, a further
    // item would escape the discount or the sum already paid.
    const Document &d = m_memory.document;
    return d.payments.isEmpty() && d.discount <= 0;
}

Interpreter::Outcome Interpreter::line(DocumentKind kind, const QString &command,
                                       const QDateTime &now)
{
    // Tax character (or "d" and a digit), price 10 digits, quantity 8.
    const qsizetype prefix = kind == DocumentKind::Invoice ? 1 : 2;
    const qint64 price = number(command, prefix, 10);
    const qint64 quantity = number(command, prefix + 10, 8);
    const QString description = command.mid(prefix + 18);
    if (price < 0 || quantity < 0 || description.size() > kDescriptionWidth)
        return refused(Syntax);
    if (price == 0 || quantity == 0)
        return refused(BadValue);

    Document &d = m_memory.document;
    if (d.isOpen() && (d.kind != kind || !takesItems()))
        return refused(NotAllowedNow);
    if (!d.isOpen()) {
        d = Document();
        d.kind = kind;
        d.opened = now;
    }
    const int rate =
        kind == DocumentKind::Invoice ? command[0].unicode() - ' ' : command[1].unicode() - '0';
    d.items.append({rate, price, quantity, description});
    return changed();
}

Interpreter::Outcome Interpreter::subtotal() const
{
    return m_memory.document.isOpen() ? Outcome() : refused(NotAllowedNow);
}

Interpreter::Outcome Interpreter::discount(const QString &digits)
{
    if (digits.size() < 4 || !allDigits(digits))
        return refused(Syntax);
    const qint64 hundredths = digits.toLongLong();
    if (hundredths <= 0 || hundredths > 10000)
        return refused(BadValue);
    Document &d = m_memory.document;
    if (!d.isOpen() || !takesItems())
        return refused(NotAllowedNow);
    d.discount = int(hundredths);
    return changed();
}

Interpreter::Outcome Interpreter::payWhole(const QString &means, const QDateTime &now)
{
    Document &d = m_memory.document;
    // A credit note closes only with its own closing command.
    if (d.kind != DocumentKind::Invoice)
        return refused(NotAllowedNow);
    const Totals totals(d, m_rates);
    d.payments.append({means, totals.due()});
    return changed(closeDocument(now));
}

Interpreter::Outcome Interpreter::payPart(const QString &command, const QDateTime &now)
{
    const qint64 amount = number(command, 3, 12);
    if (amount < 0)
        return refused(Syntax);
    if (amount == 0)
        return refused(BadValue);
    Document &d = m_memory.document;
    if (!d.isOpen())
        return refused(NotAllowedNow);
    d.payments.append({command.mid(1, 2), amount});
    if (d.kind == DocumentKind::Invoice) {
        const Totals totals(d, m_rates);
        if (totals.due() == 0)
            return changed(closeDocument(now));
    }
    return changed();
}

Interpreter::Outcome Interpreter::closeCreditNote(const QString &command, const QDateTime &now)
{
    const qint64 amount = number(command, 3, 12);
    if (amount < 0)
        return refused(Syntax);
    Document &d = m_memory.document;
    if (d.kind != DocumentKind::CreditNote)
        return refused(NotAllowedNow);
    // An amount of zero pays what is still due.
    const qint64 paid = amount > 0 ? amount : Totals(d, m_rates).due();
    if (paid > 0)
        d.payments.append({command.mid(1, 2), paid});
    return changed(closeDocument(now));
}

QString Interpreter::closeDocument(const QDateTime &now)
{
    const Document d = m_memory.document;
    const Totals totals(d, m_rates);
    int number = 0;
    if (d.kind == DocumentKind::Invoice) {
        number = m_memory.lastInvoice = next(m_memory.lastInvoice, kLastDocumentNumber);
        ++m_memory.day.invoices;
        for (int r = 0; r < 4; ++r) {
            m_memory.day.salesBase[r] += totals.base[r];
            m_memory.day.salesTax[r] += totals.tax[r];
        }
    } else {
        number = m_memory.lastCreditNote = next(m_memory.lastCreditNote, kLastDocumentNumber);
        ++m_memory.day.creditNotes;
        for (int r = 0; r < 4; ++r) {
            m_memory.day.creditBase[r] += totals.base[r];
            m_memory.day.creditTax[r] += totals.tax[r];
        }
    }
    const QString printed = m_paper.closedDocument(d, m_memory.header, number, now);
    m_memory.document = Document();
    m_memory.header.clear();
    return printed;
}

Interpreter::Outcome Interpreter::cancel(const QDateTime &now)
{
    // Accepted with nothing open, as the operator's "Anular" is pressed
    // blindly; it then only drops header lines that wait for a document.
    if (!m_memory.document.isOpen()) {
        if (m_memory.header.isEmpty())
            return Outcome();
        m_memory.header.clear();
        return changed();
    }
    const QString printed = m_paper.cancelledDocument(m_memory.document, m_memory.header, now);
    ++m_memory.day.cancelled;
    m_memory.document = Document();
    m_memory.header.clear();
    return changed(printed);
}

Interpreter::Outcome Interpreter::xReport(const QDateTime &now) const
{
    if (m_memory.document.isOpen())
        return refused(NotAllowedNow);
    Outcome o;
    o.printed = m_paper.xReport(m_memory, now);
    return o;
}

Interpreter::Outcome Interpreter::zReport(const QDateTime &now)
{
    if (m_memory.document.isOpen())
        return refused(NotAllowedNow);
    m_memory.lastZ = next(m_memory.lastZ, kLastZNumber);
    const Closure closure{m_memory.lastZ, now, m_memory.lastInvoice, m_memory.lastCreditNote,
                          m_memory.day};
    m_memory.closures.append(closure);
    m_memory.day = DayTotals();
    return changed(m_paper.zReport(closure));
}

Interpreter::Outcome Interpreter::memoryReport(const QString &dates, const QDateTime &now) const
{
    // The paper cannot take a report in the middle of a document.
    if (m_memory.document.isOpen())
        return refused(NotAllowedNow);
    const QDate from = shortDate(QStringView(dates).mid(0, 6));
    const QDate to = shortDate(QStringView(dates).mid(6, 6));
    if (!from.isValid() || !to.isValid() || from > to)
        return refused(BadValue);
    Outcome o;
    o.printed = m_paper.memoryReport(m_memory.closures, from, to, now);
    return o;
}

} // namespace sim
