#include "documents/InvoiceJob.h"

#include "core/Formatting.h"
#include "core/PollingTimer.h"
#include "core/RobotState.h"
#include "core/Settings.h"
#include "core/Texts.h"
#include "db/DataError.h"
#include "db/Database.h"
#include "db/SqlTexts.h"
#include "printer/PrinterRules.h"

namespace documents {

using printer::PrinterRules;
namespace texts = core::texts;

namespace {
const core::Rgb kPaleYellow{255, 255, 192};
} // namespace

InvoiceJob::InvoiceJob(JobContext &ctx) : DocumentJob(ctx, core::DocumentKind::Invoice) {}

InvoiceJob::~InvoiceJob() = default;

bool InvoiceJob::ImprimirFactura()
{
    auto &w = m_ctx.window;
    w.setStatus(texts::kStartingInvoice);
    w.setStage(QString());
    w.setProgress(0);
    m_ctx.Timer1.setEnabled(false);

    if (!takeUp())
        return false;

    try {
        w.setStatus(texts::kStartingCommunication);
        w.setProgress(16);
        m_stage = 1;
        openPort();
        if (!beginDocument())
            return true;
        if (!customerBlock() || !overwriteHeldHeader() || !itemLines() || !discountLines() ||
            !paymentLines() || !recordNumbers())
            return true;
    } catch (const db::DataError &e) {
        failOnDatabase(e, m_closingSent);
        return true;
    }
    w.processEvents();
    if (m_db)
        m_db->close();
    finish();
    return true;
}

bool InvoiceJob::read()
{
    auto &w = m_ctx.window;
    m_db = db::Database::open(m_ctx.state.RutaBaseDatos, m_ctx.settings.shortDateFormat);
    w.setStatus(texts::kReadingData);
    w.setProgress(8);
    // Read afresh with its pending condition: the list may be a tick old (a
    // ticket installation refreshes it every other tick), and a sale printed
    // or unflagged since is skipped without a word.
    m_header = m_db->openRecordset(db::SqlTexts::invoiceHeader(m_code, m_ctx.state.Caja));
    w.processEvents();
    if (m_header.recordCount() == 0) {
        if (m_db->openRecordset(db::SqlTexts::invoiceHeader(m_code)).recordCount() == 0)
            w.setBackgroundColor(kPaleYellow);
        m_db->close();
        return false;
    }
    m_detail = m_db->openRecordset(db::SqlTexts::invoiceItems(m_code));
    if (m_ctx.state.TipoImpresora == core::PrinterType::Dascom)
        m_payments = m_db->openRecordset(db::SqlTexts::salePayments(m_code));
    return true;
}

bool InvoiceJob::validate()
{
    double taxRate = 0;
    if (!PrinterRules::number(m_header.field(QStringLiteral("PorcentImpuesto")), &taxRate))
        return holdColumn(QStringLiteral("PorcentImpuesto"));
    // A negative discount or one the printer refuses is held rather than
    // dropped or sent.
    if (!discountPrintable(true))
        return holdColumn(QStringLiteral("Desc01"));
    return detailPrintable(taxRate) && paymentsPrintable();
}

QString InvoiceJob::unprintableLine(bool rateFound) const
{
    if (taxedWithoutRate(rateFound))
        return QStringLiteral("PorcentImpuesto");
    // An item named "?" or without a name prints its description instead.
    const QVariant name = m_detail.field(QStringLiteral("Nombre"));
    const QVariant description = m_detail.field(QStringLiteral("Especificación"));
    const bool freeText = name.isNull() || name.toString() == QLatin1String("?");
    const bool usesDescription =
        freeText && !description.isNull() && description.toString() != QLatin1String("-");
    return name.isNull() && !usesDescription ? QStringLiteral("Nombre") : QString();
}

bool InvoiceJob::customerBlock()
{
    auto &w = m_ctx.window;
    const auto &st = m_ctx.state;
    const db::RecordSet &h = m_header;

    w.setStatus(texts::kSendingName);
    w.setProgress(24);
    m_stage = 2.1;
    const QVariant name = h.field(QStringLiteral("NombreCliente"));
    if (!sendOrFail(QStringLiteral("i01") + trimmed(name).left(kLineWidth)))
        return false;
    m_stage = 2.2;
    if (db::RecordSet::isFalse(h.field(QStringLiteral("PlantillaAuxiliar"))) &&
        asText(name).size() > kLineWidth &&
        !sendOrFail(QStringLiteral("i02") + trimmed(name).mid(kLineWidth)))
        return false;
    m_stage = 2.3;
    w.setStatus(texts::kSendingRif);
    w.setProgress(32);
    const QString i03 = QStringLiteral("i03") + trimmed(h.field(QStringLiteral("Rif")));
    m_stage = 2.4;
    if (!sendOrFail(i03))
        return false;
    w.processEvents();
    w.setStatus(texts::kSendingAddress);
    w.setProgress(40);
    m_stage = 2.51;
    const QVariant address = h.field(QStringLiteral("Dirección"));
    const QString addressText = trimmed(address);
    if (!address.isNull() && !sendOrFail(QStringLiteral("i04") + addressText.left(kLineWidth)))
        return false;
    m_stage = 2.52;
    if (addressText.size() > kLineWidth) {
        // The rest of the address takes line 5; no phone line then.
        if (!sendOrFail(QStringLiteral("i05") + addressText.mid(kLineWidth, kLineWidth)))
            return false;
    } else {
        m_stage = 2.53;
        const QVariant phone = h.field(QStringLiteral("Teléfono"));
        if (!phone.isNull() && !sendOrFail(QStringLiteral("i05") + texts::kPhoneLabel +
                                           trimmed(phone).left(kLineWidth)))
            return false;
    }
    m_stage = 2.54;
    w.processEvents();
    w.setStatus(texts::kSendingOtherFields);
    w.setProgress(48);
    m_stage = 2.67;

    const bool operatorLine = m_ctx.settings.SerialesOperador.contains(st.Serial);
    const QString i06 = operatorLine ? QStringLiteral("i06") + texts::kOperatorLabel +
                                           asText(h.field(QStringLiteral("CampoTextoAdic02")))
                                     : QStringLiteral("i06") + texts::kPaymentFormLabel +
                                           asText(h.field(QStringLiteral("NombreFormaPago")));
    m_stage = 2.68;
    send(i06); // not tested: a refused line 6 does not stop the invoice
    const QVariant order = h.field(QStringLiteral("ORD_COMP"));
    if (!order.isNull() && !m_ctx.settings.SerialOrdenCompra.isEmpty() &&
        st.Serial == m_ctx.settings.SerialOrdenCompra)
        send(QStringLiteral("i07") + texts::kPurchaseOrderLabel + order.toString());

    keepRates();
    m_stage = 2.71;
    w.processEvents();
    m_header.close();
    return true;
}

bool InvoiceJob::itemLines()
{
    auto &w = m_ctx.window;
    m_stage = 3;
    w.setStatus(texts::kReadingItems);
    w.setProgress(56);

    int item = 0;
    if (m_detail.recordCount() > 0) {
        w.processEvents();
        for (m_detail.moveFirst(); !m_detail.eof(); m_detail.moveNext()) {
            ++item;
            w.setStatus(texts::kSendingItem + core::Formatting::TextoNumero(qint64(item)) +
                        QStringLiteral("..."));
            w.setProgress(64);
            const QVariant name = m_detail.field(QStringLiteral("Nombre"));
            const QVariant description = m_detail.field(QStringLiteral("Especificación"));
            QString text;
            if (!name.isNull() && name.toString() != QLatin1String("?")) {
                text = name.toString();
                if (!description.isNull())
                    text += QLatin1Char(' ') + description.toString();
            } else {
                text = (!description.isNull() && description.toString() != QLatin1String("-"))
                           ? description.toString()
                           : asText(name);
            }
            m_stage = 4.07;
            if (!sendOrFail(QChar(32 + lineTaxCode()) +
                            core::Formatting::FormatoMonto(linePrice(), 10, 2) +
                            core::Formatting::FormatoMonto(lineQuantity(), 8, 3) +
                            core::Formatting::LimpioCadena(text.left(40).trimmed())))
                return false;
            w.processEvents();
        }
    }
    m_detail.close();
    return true;
}

bool InvoiceJob::discountLines()
{
    m_stage = 4.09;
    return sendDiscount();
}

bool InvoiceJob::paymentLines()
{
    auto &w = m_ctx.window;
    w.setStatus(texts::kSendingPayment);
    w.setProgress(72);
    m_stage = 6;
    if (!beforeClosing())
        return false;
    m_closingSent = true;
    if (m_ctx.state.TipoImpresora != core::PrinterType::Dascom) {
        send(QStringLiteral("101"));
        w.processEvents();
    } else if (m_payments.recordCount() == 0) {
        send(QStringLiteral("101"));
    } else {
        sendPayments();
    }
    return true;
}

bool InvoiceJob::recordNumbers()
{
    auto &w = m_ctx.window;
    w.processEvents();
    m_stage = 7;
    w.setStatus(texts::kCheckingAnswer);
    w.setProgress(80);
    QString invoice, z;
    // Payments short of the total leave it open: the payment stage is reported.
    if (!closedByPrinter(6, &invoice, &z))
        return false;
    m_stage = 8;
    closePort();
    w.processEvents();
    w.setStatus(texts::kRecordingAnswer);
    w.setProgress(88);
    m_db->execute(z.isEmpty() ? db::SqlTexts::recordInvoiceWithoutZ(invoice, m_code)
                              : db::SqlTexts::recordInvoice(invoice, z, m_code));
    journalRecorded();
    if (z.isEmpty())
        w.setLog(texts::printedWithoutNumbers(m_kind, m_code));
    publish(core::DocumentEvent::Kind::Printed, invoice, z);
    return true;
}

void InvoiceJob::finish()
{
    auto &w = m_ctx.window;
    w.processEvents();
    w.setStatus(texts::kFinishingInvoice);
    w.setProgress(96);
    m_ctx.Timer1.setEnabled(true);
    w.setProgress(100);
}

} // namespace documents
