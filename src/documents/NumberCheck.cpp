#include "documents/NumberCheck.h"

#include "core/RobotState.h"
#include "core/Settings.h"
#include "core/Texts.h"
#include "db/Database.h"
#include "db/PrintJournal.h"
#include "db/SqlTexts.h"
#include "documents/JobContext.h"
#include "printer/PrinterNumbers.h"

#include <QStringList>

namespace documents {

using printer::PrinterNumbers;

namespace {
QString eightDigits(qint64 n)
{
    return QStringLiteral("%1").arg(n, 8, 10, QLatin1Char('0'));
}
} // namespace

std::optional<qint64> &NumberCheck::known(core::DocumentKind kind)
{
    return m_known[kind == core::DocumentKind::CreditNote ? 1 : 0];
}

NumberCheck::Result NumberCheck::check(core::DocumentKind kind, const QString &number)
{
    QList<Range> found;
    if (const auto range = compare(kind, number))
        found << *range;
    if (!m_bothChecked) {
        const core::DocumentKind other = kind == core::DocumentKind::Invoice
                                             ? core::DocumentKind::CreditNote
                                             : core::DocumentKind::Invoice;
        QString otherNumber, zCounter;
        if (!PrinterNumbers::readTrusted(m_ctx.link, m_ctx.state.RutaPrograma,
                                         m_ctx.state.TipoImpresora, other, m_ctx.clock,
                                         PrinterNumbers::kReadings, &otherNumber, &zCounter))
            return Result::Unreadable;
        if (const auto range = compare(other, otherNumber))
            found << *range;
    }
    if (found.isEmpty()) {
        m_bothChecked = true;
        return Result::Accounted;
    }
    if (found != m_unaccounted) {
        m_unaccounted = found;
        QStringList numbers;
        for (const Range &r : found)
            numbers << core::texts::unaccountedNumbers(r.kind, r.first, r.last);
        const QString text = core::texts::numbersNotAccounted(numbers);
        m_ctx.window.messageBox(text);
        m_ctx.window.setLog(text);
        m_ctx.window.setControlEnabled(core::Control::AcceptNumbers, true);
    }
    return Result::NotAccounted;
}

std::optional<NumberCheck::Range> NumberCheck::compare(core::DocumentKind kind,
                                                       const QString &number)
{
    const qint64 printer = number.toLongLong();
    std::optional<qint64> &highestKnown = known(kind);
    // Looked up again only when the printer is ahead: someone may have
    // recorded the document by hand meanwhile.
    if (!highestKnown || printer > *highestKnown)
        highestKnown = highest(kind);
    const qint64 accounted = highestKnown.value_or(0);
    if (printer <= accounted) {
        highestKnown = accounted;
        return std::nullopt;
    }
    return Range{kind, eightDigits(accounted + 1), eightDigits(printer)};
}

std::optional<qint64> NumberCheck::highest(core::DocumentKind kind)
{
    std::optional<qint64> best = m_ctx.journal ? m_ctx.journal->highestNumber(kind) : std::nullopt;
    auto db = db::Database::open(m_ctx.state.RutaBaseDatos, m_ctx.settings.shortDateFormat);
    const db::RecordSet last = db->openRecordset(
        kind == core::DocumentKind::Invoice ? db::SqlTexts::lastInvoiceNumber(m_ctx.state.Caja)
                                            : db::SqlTexts::lastCreditNoteNumber(m_ctx.state.Caja));
    db->close();
    bool ok = false;
    const qint64 recorded =
        last.field(QStringLiteral("Ultimo")).toString().trimmed().toLongLong(&ok);
    if (ok && (!best || recorded > *best))
        best = recorded;
    return best;
}

void NumberCheck::accountFor(core::DocumentKind kind, const QString &number)
{
    if (!PrinterNumbers::isTrusted(number))
        return;
    std::optional<qint64> &highestKnown = known(kind);
    highestKnown = std::max(highestKnown.value_or(0), number.toLongLong());
}

bool NumberCheck::accept()
{
    if (m_unaccounted.isEmpty())
        return false;
    for (const Range &r : m_unaccounted) {
        if (m_ctx.journal)
            m_ctx.journal->acceptNumber(r.kind, r.last);
        known(r.kind) = r.last.toLongLong();
    }
    m_unaccounted.clear();
    m_ctx.window.setControlEnabled(core::Control::AcceptNumbers, false);
    return true;
}

} // namespace documents
