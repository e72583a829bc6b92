#include "documents/HeldDocuments.h"

#include "core/Clock.h"

namespace documents {

const HeldDocuments::Entry *HeldDocuments::find(bool notaCredito, qint64 codigo) const
{
    for (const Entry &e : m_entries) {
        if (e.notaCredito == notaCredito && e.codigo == codigo)
            return &e;
    }
    return nullptr;
}

bool HeldDocuments::hold(bool notaCredito, qint64 codigo, const QString &motivo,
                         const QByteArray &huella)
{
    const Entry *old = find(notaCredito, codigo);
    const bool repeated = old && old->motivo == motivo && old->huella == huella;
    release(notaCredito, codigo);
    m_entries.append({notaCredito, codigo, motivo, huella, m_clock.monotonic()});
    return !repeated;
}

bool HeldDocuments::waiting(bool notaCredito, qint64 codigo, const QByteArray &huella) const
{
    const Entry *e = find(notaCredito, codigo);
    if (!e || e->huella != huella)
        return false;
    return m_clock.monotonic() - e->desde < m_clock.scaled(kPausa);
}

bool HeldDocuments::contains(bool notaCredito, qint64 codigo) const
{
    return find(notaCredito, codigo) != nullptr;
}

void HeldDocuments::release(bool notaCredito, qint64 codigo)
{
    m_entries.removeIf(
        [&](const Entry &e) { return e.notaCredito == notaCredito && e.codigo == codigo; });
}

void HeldDocuments::keepOnly(bool notaCredito, const QList<qint64> &pendientes)
{
    m_entries.removeIf([&](const Entry &e) {
        return e.notaCredito == notaCredito && !pendientes.contains(e.codigo);
    });
}

} // namespace documents
