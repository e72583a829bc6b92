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
// again at once: until its rows change or its pause has passed, whichever is
// first. The pause doubles each time the same rows fail again, so that a
// document the printer always refuses is not printed and cancelled every
// minute all day. Only that document waits; the ones behind it are printed
// meanwhile.
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
        int attempts = 0; // taken up and held or failed in a row with these rows
    };
    static constexpr std::chrono::milliseconds kFirstPause{60000};
    static constexpr std::chrono::milliseconds kLongestPause{3600000};

    explicit HeldDocuments(const core::Clock &clock) : m_clock(clock) {}

    // Holds a document; false when it was held already for the same reason
    // with the same rows (the operator has been told).
    bool hold(core::DocumentKind kind, qint64 code, const QString &reason,
              const QByteArray &fingerprint);
    // Whether the document still waits, given its rows now: a change of rows
    // or the end of the pause lets it go.
    bool waiting(core::DocumentKind kind, qint64 code, const QByteArray &fingerprint) const;
    // When the entry's pause ends.
    std::chrono::steady_clock::time_point nextTry(const Entry &entry) const;
    bool contains(core::DocumentKind kind, qint64 code) const
    {
        return find(kind, code) != nullptr;
    }
    const Entry *find(core::DocumentKind kind, qint64 code) const;
    void release(core::DocumentKind kind, qint64 code);
    // Forgets documents of a kind that are no longer pending.
    void keepOnly(core::DocumentKind kind, const QList<qint64> &pending);
    const QList<Entry> &entries() const { return m_entries; }

private:
    const core::Clock &m_clock;
    QList<Entry> m_entries;
};

} // namespace documents
