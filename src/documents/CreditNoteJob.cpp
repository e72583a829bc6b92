#include "documents/CreditNoteJob.h"

#include "core/Formatting.h"
#include "core/PollingTimer.h"
#include "core/RobotState.h"
#include "core/Settings.h"
#include "core/Texts.h"
#include "db/DataError.h"
#include "db/Database.h"
#include "db/SqlTexts.h"
#include "printer/PrinterLink.h"
#include "printer/PrinterRules.h"

#include <QDateTime>

namespace documents {

using printer::PrinterRules;

namespace {
const QString kClosing = QStringLiteral("f09000000000000");

// A number column written in plain decimal, a text column as stored.
QString plain(const QVariant &v)
{
    if (v.isNull())
        return QString();
    if (v.typeId() == QMetaType::Double) {
        const double d = v.toDouble();
        return QString::number(d, 'f', d == static_cast<qint64>(d) ? 0 : -1);
    }
    return v.toString();
}
} // namespace

CreditNoteJob::CreditNoteJob(JobContext &ctx) : DocumentJob(ctx, core::DocumentKind::CreditNote) {}

CreditNoteJob::~CreditNoteJob() = default;

void CreditNoteJob::showStage(double stage)
{
    m_stage = stage;
    m_ctx.link.MostrarEtapa(stage);
}

bool CreditNoteJob::testedAt(double stage, bool taken)
{
    showStage(stage);
    if (!taken)
        failAtStage();
    return taken;
}

void CreditNoteJob::logCommand(const QString &command)
{
    m_ctx.window.setLog(m_ctx.window.log() + QStringLiteral(" ! ") +
                        core::Formatting::printableText(command));
}

QString CreditNoteJob::dateText(const QVariant &date) const
{
    if (date.isNull())
        return QString();
    QDateTime dt = date.toDateTime();
    if (!dt.isValid())
        dt = QDateTime(QDate::fromString(date.toString().left(10), Qt::ISODate), QTime(0, 0));
    if (!dt.isValid())
        return date.toString();
    QString text = dt.date().toString(m_ctx.settings.shortDateFormat);
    if (dt.time() != QTime(0, 0))
        text += QLatin1Char(' ') + dt.time().toString(QStringLiteral("HH:mm:ss"));
    return text;
}

bool CreditNoteJob::ImprimirNotaCredito()
{
    m_ctx.window.setStage(QString());
    m_ctx.Timer1.setEnabled(false);

    if (!takeUp())
        return false;

    try {
        showStage(1);
        openPort();
        if (!beginDocument())
            return true;
        showStage(2);
        const bool header =
            core::usesDascomForm(m_ctx.state.TipoImpresora) ? headerDascom() : headerHka();
        if (!header || !overwriteHeldHeader())
            return true;
        showStage(3);
        keepRates();
        PrinterRules::number(m_header.field(QStringLiteral("Monto")), &m_amount);
        PrinterRules::number(m_header.field(QStringLiteral("MontoExcento")), &m_exemptAmount);
        m_header.close();
        const bool lines = m_detail.recordCount() > 0 ? detailLines() : amountLines();
        if (!lines || !discountAndPayments() || !closeAndRecord())
            return true;
    } catch (const db::DataError &e) {
        failOnDatabase(e, m_closingSent);
        return true;
    }
    m_db->close();
    finish();
    return true;
}

bool CreditNoteJob::read()
{
    showStage(0);
    m_db = db::Database::open(m_ctx.state.RutaBaseDatos, m_ctx.settings.shortDateFormat);
    // Read afresh with its pending condition; the sale it corrects comes with
    // it, never from the list's current row, which a click moves.
    m_header = m_db->openRecordset(db::SqlTexts::creditNoteHeader(m_code, m_ctx.state.Caja));
    if (m_header.recordCount() == 0) {
        m_db->close();
        return false;
    }
    m_sale = m_header.field(QStringLiteral("Venta")).toLongLong();
    m_detail = m_db->openRecordset(db::SqlTexts::creditNoteItems(m_code));
    if (core::usesDascomForm(m_ctx.state.TipoImpresora))
        m_payments = m_db->openRecordset(db::SqlTexts::salePayments(m_sale));
    return true;
}

bool CreditNoteJob::validate()
{
    const db::RecordSet &h = m_header;
    // Every column the commands carry is read now: a missing one stops the job
    // before its first command.
    for (const char *column : {"NombreCliente", "Rif", "Dirección", "FechaVenta"})
        h.field(QString::fromUtf8(column));
    // A credit note must name the invoice it corrects.
    if (trimmed(h.field(QStringLiteral("Factura"))).isEmpty())
        return holdColumn(QStringLiteral("Factura"));
    // Only the DASCOM form sends the discount.
    if (!discountPrintable(core::usesDascomForm(m_ctx.state.TipoImpresora)))
        return holdColumn(QStringLiteral("Desc01"));
    // Without a rate, detail lines would go out as exempt ones.
    double taxRate = 0;
    if (!PrinterRules::number(h.field(QStringLiteral("PorcentImpuesto")), &taxRate))
        return holdColumn(QStringLiteral("PorcentImpuesto"));
    if (m_detail.recordCount() > 0)
        return detailPrintable(taxRate) && paymentsPrintable();

    double amount = 0, exempt = 0;
    for (const auto &[column, value] : {std::pair{"Monto", &amount}, {"MontoExcento", &exempt}}) {
        if (!PrinterRules::number(h.field(QLatin1String(column)), value) || *value < 0)
            return holdColumn(QLatin1String(column));
    }
    if (taxRate < 0)
        return holdColumn(QStringLiteral("PorcentImpuesto"));
    const auto price = [](double x) {
        return PrinterRules::fits(x, PrinterRules::kPriceWidth, 2) && !PrinterRules::isZero(x, 2);
    };
    // The lines a note without detail rows is printed as: the taxed and the
    // exempt amount, or their sum at no rate; at least one, each of some value.
    if (taxRate > 0) {
        if (amount > 0 && (!price(amount) || !hasRate(taxRate)))
            return holdColumn(price(amount) ? QStringLiteral("PorcentImpuesto")
                                            : QStringLiteral("Monto"));
        if (exempt > 0 && !price(exempt))
            return holdColumn(QStringLiteral("MontoExcento"));
        if (!(amount > 0) && !(exempt > 0))
            return holdColumn(QStringLiteral("Monto"));
    } else if (!price(amount + exempt)) {
        return holdColumn(QStringLiteral("Monto"));
    }
    return paymentsPrintable();
}

QString CreditNoteJob::unprintableLine(bool rateFound) const
{
    if (m_detail.field(QStringLiteral("Nombre")).isNull())
        return QStringLiteral("Nombre");
    return taxedWithoutRate(rateFound) ? QStringLiteral("PorcentImpuesto") : QString();
}

bool CreditNoteJob::headerHka()
{
    const db::RecordSet &h = m_header;
    m_stage = 2.01;
    if (!sendOrFail(QStringLiteral("i01") +
                    trimmed(h.field(QStringLiteral("NombreCliente"))).left(kLineWidth)))
        return false;
    m_stage = 2.02;
    if (!sendOrFail(QStringLiteral("i02") + trimmed(h.field(QStringLiteral("Rif")))))
        return false;
    m_stage = 2.03;
    const QVariant address = h.field(QStringLiteral("Dirección"));
    const QString addressText = trimmed(address);
    if (!address.isNull() && !sendOrFail(QStringLiteral("i03") + addressText.left(kLineWidth)))
        return false;
    m_stage = 2.04;
    // The affected invoice is always named: a credit note must say what it corrects.
    const QString corrected = core::texts::kCorrectedInvoiceLabel +
                              plain(h.field(QStringLiteral("Factura"))) + QStringLiteral("  ") +
                              dateText(h.field(QStringLiteral("FechaVenta")));
    if (addressText.size() > kLineWidth) {
        if (!sendOrFail(QStringLiteral("i04") + addressText.mid(kLineWidth, kLineWidth)))
            return false;
        return sendOrFail(QStringLiteral("i05") + corrected);
    }
    return sendOrFail(QStringLiteral("i04") + corrected);
}

bool CreditNoteJob::headerDascom()
{
    const db::RecordSet &h = m_header;
    const QString date = dateText(h.field(QStringLiteral("FechaVenta")));
    const struct
    {
        double stage;
        QString command;
    } lines[] = {
        {2.01, QStringLiteral("iS*") +
                   trimmed(h.field(QStringLiteral("NombreCliente"))).left(kLineWidth)},
        {2.02, QStringLiteral("iR*") + trimmed(h.field(QStringLiteral("Rif")))},
        {2.03, QStringLiteral("iF*") + trimmed(h.field(QStringLiteral("Factura")))},
        {2.04, QStringLiteral("iI*") + m_ctx.state.Serial},
        {2.05, QStringLiteral("iD*") + date},
    };
    for (const auto &line : lines) {
        showStage(line.stage);
        if (!sendOrFail(line.command))
            return false;
        logCommand(line.command);
    }
    return true;
}

bool CreditNoteJob::detailLines()
{
    for (m_detail.moveFirst(); !m_detail.eof();) {
        const double quantity = lineQuantity();
        showStage(4);
        const int code = lineTaxCode();
        showStage(4.01);
        const QString digit = QString::number(code);
        showStage(4.02);
        QString command = QStringLiteral("d") + digit;
        showStage(4.03);
        command += core::Formatting::Cifras(linePrice(), 10, 2);
        showStage(4.04);
        command += core::Formatting::Cifras(quantity, 8, 3);
        showStage(4.05);
        command += core::Formatting::LimpioCadena(
            m_detail.field(QStringLiteral("Nombre")).toString().left(40).trimmed());
        showStage(4.06);
        logCommand(command);
        if (!sendOrFail(command))
            return false;
        m_detail.moveNext();
        showStage(4.07);
    }
    showStage(4.08);
    return true;
}

bool CreditNoteJob::amountLines()
{
    const QString quantity = core::Formatting::Cifras(1, 8, 3);
    const QString text =
        core::Formatting::LimpioCadena(core::texts::kInvoiceDiscountLine.left(40).trimmed());
    if (m_taxRate > 0) {
        showStage(4.09);
        if (m_amount > 0) {
            showStage(4.1);
            const int code = taxCode();
            showStage(4.11);
            QString command = QStringLiteral("d") + QString::number(code);
            showStage(4.12);
            command += core::Formatting::Cifras(m_amount, 10, 2);
            showStage(4.13);
            command += quantity;
            showStage(4.14);
            command += text;
            showStage(4.15);
            if (!testedAt(4.16, send(command)))
                return false;
        }
        if (m_exemptAmount > 0) {
            showStage(4.17);
            showStage(4.18);
            QString command =
                QStringLiteral("d0") + core::Formatting::Cifras(m_exemptAmount, 10, 2);
            showStage(4.19);
            command += quantity;
            showStage(4.2);
            command += text;
            showStage(4.21);
            if (!testedAt(4.22, send(command)))
                return false;
        }
        return true;
    }
    showStage(4.23);
    showStage(4.24);
    QString command = QStringLiteral("d0");
    showStage(4.25);
    command += core::Formatting::Cifras(m_amount + m_exemptAmount, 10, 2);
    showStage(4.26);
    command += quantity;
    showStage(4.27);
    command += text;
    showStage(4.28);
    return testedAt(4.29, send(command));
}

bool CreditNoteJob::discountAndPayments()
{
    m_detail.close();
    if (!core::usesDascomForm(m_ctx.state.TipoImpresora))
        return true;
    // The discount lines keep the stage reached before them.
    if (!sendDiscount())
        return false;
    m_stage = 6;
    sendPayments();
    return true;
}

bool CreditNoteJob::closeAndRecord()
{
    m_ctx.window.processEvents();
    showStage(6);
    if (!beforeClosing())
        return false;
    send(kClosing);
    m_closingSent = true;
    showStage(7);
    QString number, none;
    if (!closedByPrinter(7, &number, &none))
        return false;
    showStage(8);
    closePort();
    m_db->execute(db::SqlTexts::recordCreditNote(number, m_code));
    journalRecorded();
    publish(core::DocumentEvent::Kind::Printed, number);
    return true;
}

void CreditNoteJob::finish()
{
    m_ctx.Timer1.setEnabled(true);
}

} // namespace documents
