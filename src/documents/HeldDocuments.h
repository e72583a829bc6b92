#pragma once

#include "core/DocumentKind.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <chrono>

namespace core {
class Clock;
}

namespace documents {

// The documents a job held back or saw fail, each kept from being taken up
// again at once: until its rows change or a pause has passed, whichever is
// first. Only that document waits; the ones behind it are printed meanwhile.
class HeldDocuments
{
public:
    struct Entry
    {
        core::DocumentKind kind = core::DocumentKind::Invoice;
        qint64 code = 0;
        QString reason;
        QByteArray fingerprint; // of its rows when it was held
        std::chrono::steady_clock::time_point since;
    };
    static constexpr std::chrono::milliseconds kPause{60000};

    explicit HeldDocuments(const core::Clock &clock) : m_clock(clock) {}

    // Holds a document; false when it was held already for the same reason
    // with the same rows (the operator has been told).
    bool hold(core::DocumentKind kind, qint64 code, const QString &reason,
              const QByteArray &fingerprint);
    // Whether the document still waits, given its rows now: a change of rows
    // or the end of the pause lets it go.
    bool waiting(core::DocumentKind kind, qint64 code, const QByteArray &fingerprint) const;
    bool contains(core::DocumentKind kind, qint64 code) const;
    void release(core::DocumentKind kind, qint64 code);
    // Forgets documents of a kind that are no longer pending.
    void keepOnly(core::DocumentKind kind, const QList<qint64> &pending);
    const QList<Entry> &entries() const { return m_entries; }

private:
    const Entry *find(core::DocumentKind kind, qint64 code) const;

    const core::Clock &m_clock;
    QList<Entry> m_entries;
};

} // namespace documents
