#include "documents/HeldDocuments.h"

#include "core/Clock.h"

namespace documents {

const HeldDocuments::Entry *HeldDocuments::find(core::DocumentKind kind, qint64 codigo) const
{
    for (const Entry &e : m_entries) {
        if (e.kind == kind && e.codigo == codigo)
            return &e;
    }
    return nullptr;
}

bool HeldDocuments::hold(core::DocumentKind kind, qint64 codigo, const QString &motivo,
                         const QByteArray &huella)
{
    const Entry *old = find(kind, codigo);
    const bool repeated = old && old->motivo == motivo && old->huella == huella;
    release(kind, codigo);
    m_entries.append({kind, codigo, motivo, huella, m_clock.monotonic()});
    return !repeated;
}

bool HeldDocuments::waiting(core::DocumentKind kind, qint64 codigo, const QByteArray &huella) const
{
    const Entry *e = find(kind, codigo);
    if (!e || e->huella != huella)
        return false;
    return m_clock.monotonic() - e->desde < m_clock.scaled(kPausa);
}

bool HeldDocuments::contains(core::DocumentKind kind, qint64 codigo) const
{
    return find(kind, codigo) != nullptr;
}

void HeldDocuments::release(core::DocumentKind kind, qint64 codigo)
{
    m_entries.removeIf([&](const Entry &e) { return e.kind == kind && e.codigo == codigo; });
}

void HeldDocuments::keepOnly(core::DocumentKind kind, const QList<qint64> &pendientes)
{
    m_entries.removeIf(
        [&](const Entry &e) { return e.kind == kind && !pendientes.contains(e.codigo); });
}

} // namespace documents
