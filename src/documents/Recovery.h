#pragma once

#include "db/PrintJournal.h"
#include "documents/HeldDocuments.h"
#include "documents/JobContext.h"

#include <QSet>
#include <QString>

namespace documents {

// Settles what the print journal left unfinished, before any new document:
// a document the printer closed is recorded without printing it again; one
// that a crash or a failure may have left open is cancelled ("7") so that it
// can be printed again normally. A closing whose outcome cannot be told yet
// (the printer does not answer) holds every new document back until it can.
class Recovery
{
public:
    explicit Recovery(JobContext &ctx) : m_ctx(ctx) {}

    // True when nothing is left unsettled and new documents may start.
    bool run();
    // Lets go this robot's claims on documents that the journal has settled;
    // true when none is left. DataError may escape: the tick tells it.
    bool releaseClaims();
    // Tells, once per journal entry, that a document is left unsettled and
    // holds new documents back.
    void hold(qint64 journalId, core::DocumentKind kind, qint64 code, const QString &reason);
    // The document left unsettled that holds new ones back, if any.
    const std::optional<HeldDocuments::Entry> &held() const { return m_held; }

private:
    bool settle(const db::PrintJournal::Entry &entry);
    bool cancel(const db::PrintJournal::Entry &entry);
    bool record(const db::PrintJournal::Entry &entry, QString number, QString zNumber);
    // Reads the printer's last number of the entry's kind; port opened and closed.
    bool readNumber(const db::PrintJournal::Entry &entry, QString *number, QString *zNumber);
    void hold(const db::PrintJournal::Entry &entry, const QString &reason);

    JobContext &m_ctx;
    QSet<qint64> m_heldReported;
    std::optional<HeldDocuments::Entry> m_held;
};

} // namespace documents
