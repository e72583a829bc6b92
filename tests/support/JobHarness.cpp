#include "support/JobHarness.h"

#include "db/SqlTexts.h"
#include "documents/CreditNoteJob.h"
#include "documents/InvoiceJob.h"

namespace testsupport {

QString repeated(const QString &pattern, int length)
{
    QString out;
    while (out.size() < length)
        out += pattern;
    return out.left(length);
}

QStringList headerLines(const QStringList &commands)
{
    QStringList out;
    for (const QString &c : commands) {
        if (!c.startsWith(QLatin1Char('i')))
            break;
        out << c;
    }
    return out;
}

JobHarness::JobHarness(const QString &printerType, const QByteArray &extraSimIni)
{
    QByteArray ini =
        "[printer]\nType=" + printerType.toLatin1() + "\nSerial=Z1B1234567\n" + extraSimIni;
    m_sim = std::make_unique<SimPrinter>(ini);
    m_db = std::make_unique<MainDatabase>(m_sim->dir().file(QStringLiteral("Base de Datos.dba")));
    state.RutaPrograma = m_sim->dir().path();
    state.RutaBaseDatos = m_sim->dir().path() + QStringLiteral("\\Base de Datos.dba");
    state.TipoImpresora = core::parsePrinterType(printerType).value_or(core::PrinterType::Hka);
    state.Serial = QStringLiteral("Z1B1234567");
    state.Caja = 1;
    state.TasaMaqFiscal1 = 16.0;
    state.TasaMaqFiscal2 = 8.0;
    state.TasaMaqFiscal3 = 31.0;
    state.ModoCantidad = 1;
    lists.Data5.setDatabaseName(state.RutaBaseDatos);
    lists.Data5.setRecordSource(db::SqlTexts::facturasPendientes(state.Caja));
    lists.Data6.setDatabaseName(state.RutaBaseDatos);
    lists.Data6.setRecordSource(db::SqlTexts::notasCreditoPendientes(state.Caja));
    m_context.reset(new documents::JobContext{state, settings, m_sim->window(), m_sim->link(),
                                              m_sim->timer(), m_sim->clock(), lists.Data5,
                                              lists.Data6});
}

db::PrintJournal &JobHarness::enableJournal()
{
    m_journal = std::make_unique<db::PrintJournal>(state.RutaPrograma, m_sim->clock());
    m_context->journal = m_journal.get();
    return *m_journal;
}

void JobHarness::printInvoice()
{
    lists.Data5.refresh();
    documents::InvoiceJob(*m_context).ImprimirFactura();
}

void JobHarness::printCreditNote()
{
    lists.Data6.refresh();
    documents::CreditNoteJob(*m_context).ImprimirNotaCredito();
}

} // namespace testsupport
