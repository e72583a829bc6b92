#include "documents/HeldDocuments.h"

#include "core/Clock.h"

namespace documents {

const HeldDocuments::Entry *HeldDocuments::find(core::DocumentKind kind, qint64 code) const
{
    for (const Entry &e : m_entries) {
        if (e.kind == kind && e.code == code)
            return &e;
    }
    return nullptr;
}

bool HeldDocuments::hold(core::DocumentKind kind, qint64 code, const QString &reason,
                         const QByteArray &fingerprint)
{
    const Entry *old = find(kind, code);
    const bool repeated = old && old->reason == reason && old->fingerprint == fingerprint;
    release(kind, code);
    m_entries.append({kind, code, reason, fingerprint, m_clock.monotonic()});
    return !repeated;
}

bool HeldDocuments::waiting(core::DocumentKind kind, qint64 code,
                            const QByteArray &fingerprint) const
{
    const Entry *e = find(kind, code);
    if (!e || e->fingerprint != fingerprint)
        return false;
    return m_clock.monotonic() - e->since < m_clock.scaled(kPause);
}

bool HeldDocuments::contains(core::DocumentKind kind, qint64 code) const
{
    return find(kind, code) != nullptr;
}

void HeldDocuments::release(core::DocumentKind kind, qint64 code)
{
    m_entries.removeIf([&](const Entry &e) { return e.kind == kind && e.code == code; });
}

void HeldDocuments::keepOnly(core::DocumentKind kind, const QList<qint64> &pending)
{
    m_entries.removeIf([&](const Entry &e) { return e.kind == kind && !pending.contains(e.code); });
}

} // namespace documents
