#include "robot/PollingCycle.h"

#include "core/Texts.h"
#include "db/DataError.h"
#include "documents/CreditNoteJob.h"
#include "documents/InvoiceJob.h"
#include "robot/FirstActivation.h"

namespace robot {

PollingCycle::PollingCycle(core::RobotState &state, const core::Settings &settings,
                           core::WindowServices &window, db::ListSources &lists,
                           const core::Clock &clock, FirstActivation &activation,
                           documents::JobContext *jobs)
    : m_state(state), m_settings(settings), m_window(window), m_lists(lists), m_clock(clock),
      m_activation(activation), m_databaseSince(clock.now())
{
    if (jobs) {
        ImprimirFactura = [jobs] { return documents::InvoiceJob(*jobs).ImprimirFactura(); };
        ImprimirNotaCredito = [jobs] {
            return documents::CreditNoteJob(*jobs).ImprimirNotaCredito();
        };
    }
}

void PollingCycle::refresh(db::ListSource &source, core::ListDisplay display)
{
    source.refresh();
    m_window.processEvents();
    m_window.setListRows(display, source.displayLines());
}

void PollingCycle::reportError(const QString &text)
{
    m_window.setStatus(text);
    // An outage is told once, not at every tick while it lasts.
    if (text == m_lastError)
        return;
    if (m_lastError.isEmpty())
        m_databaseSince = m_clock.now();
    m_lastError = text;
    m_window.setLog(text);
    m_window.notice(text);
}

void PollingCycle::tick(bool woken)
{
    try {
        // Until the company settings and the tax rates are read no job may
        // start: it would print every quantity as zero, or at the wrong rates.
        const bool ready = m_activation.retrySettings();
        // What a crash left unfinished is settled first, so that the list read
        // below already shows a recovered document as printed.
        const bool settled = !recover || recover();

        // A tick that a change of the database woke reads the sales at once:
        // the ticket list is the timer's ticks'.
        if (!woken)
            m_state.Alterna = !m_state.Alterna;
        m_window.setProgress(0);
        if (!woken && !m_settings.RifInstalacionTickets.isEmpty() &&
            m_state.RifCompania == m_settings.RifInstalacionTickets && m_state.Alterna) {
            m_window.setStatus(core::texts::kRefreshingTickets);
            refresh(m_lists.Data7, core::ListDisplay::DBList3);
            m_window.setStatus(core::texts::kTicketsReady);
        } else {
            m_window.setStatus(core::texts::kRefreshingSales);
            refresh(m_lists.Data5, core::ListDisplay::DBList2);
            m_window.setStatus(core::texts::kSalesReady);
        }
        // Back only once the company settings and rates are read too: an error of theirs
        // and a good list would otherwise take turns, told at every tick.
        if (ready && !m_lastError.isEmpty()) {
            m_lastError.clear();
            m_databaseSince = m_clock.now();
            m_window.setLog(core::texts::kDatabaseBack);
            m_window.notice(core::texts::kDatabaseBack);
        }
        // The lists are read whole before this goes on: the pause is kept
        // only for a robot that polls, and never holds up a wake.
        if (!m_watched)
            m_clock.DelayMili(50);
        // Nothing new is printed before the journal is settled.
        if (!ready || !settled)
            return;

        bool takenUp = false;
        if (m_lists.Data5.recordCount() > 0) {
            m_window.setStatus(core::texts::kBuildingInvoice);
            m_window.processEvents();
            m_window.processEvents();
            takenUp = ImprimirFactura();
        }
        // Invoices that all wait (held or failed) do not keep the credit
        // notes from their turn.
        if (!takenUp) {
            if (m_state.TicksSinFactura <= 3) {
                ++m_state.TicksSinFactura;
            } else {
                creditNoteTurn();
                m_state.TicksSinFactura = 0;
            }
        }
        m_window.processEvents();
        m_window.setStatus(core::texts::kWaiting);
    } catch (const db::DataError &e) {
        // The next tick tries again: printing resumes when the database is back.
        reportError(core::texts::databaseError(e.describe()));
    }
}

void PollingCycle::creditNoteTurn()
{
    refresh(m_lists.Data6, core::ListDisplay::DBList1);
    if (!m_watched)
        m_clock.DelayMili(50);
    if (m_lists.Data6.recordCount() > 0) {
        m_window.setStatus(core::texts::kBuildingCreditNote);
        m_window.processEvents();
        ImprimirNotaCredito();
    }
}

} // namespace robot
