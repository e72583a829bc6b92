#include "printer/PrinterHealth.h"

#include "core/Clock.h"

namespace printer {

void PrinterHealth::record(Call call, bool ok, int status, int error)
{
    m_lastCall = m_clock.monotonic();
    if (call == Call::Close) {
        m_portOpen = false;
        return;
    }
    if (call == Call::Open)
        m_portOpen = ok;
    const QDateTime now = m_clock.now();
    if (call != Call::Open) {
        m_status = status;
        m_error = error;
    }
    if (ok)
        m_lastAnswer = now;
    // A refusal is an answer too, but says nothing of a printer gone.
    if (call == Call::Send && !ok)
        return;
    if (m_answering != ok)
        m_since = now;
    m_answering = ok;
}

} // namespace printer
