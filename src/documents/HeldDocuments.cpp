#include "documents/HeldDocuments.h"

#include "core/Clock.h"

#include <algorithm>

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
    const bool sameRows = old && old->fingerprint == fingerprint;
    const bool repeated = sameRows && old->reason == reason;
    const int attempts = sameRows ? old->attempts + 1 : 1;
    release(kind, code);
    m_entries.append({kind, code, reason, fingerprint, m_clock.monotonic(), attempts});
    return !repeated;
}

bool HeldDocuments::waiting(core::DocumentKind kind, qint64 code,
                            const QByteArray &fingerprint) const
{
    const Entry *e = find(kind, code);
    if (!e || e->fingerprint != fingerprint)
        return false;
    return m_clock.monotonic() < nextTry(*e);
}

std::chrono::steady_clock::time_point HeldDocuments::nextTry(const Entry &entry) const
{
    std::chrono::milliseconds pause = kFirstPause;
    for (int i = 1; i < entry.attempts && pause < kLongestPause; ++i)
        pause *= 2;
    return entry.since + m_clock.scaled(std::min(pause, kLongestPause));
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
