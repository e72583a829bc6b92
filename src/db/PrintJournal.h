#pragma once

#include "core/Clock.h"
#include "core/DocumentKind.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <optional>

class QSqlQuery;

namespace db {

// robot-fiscal-journal.db: what the robot did with each document, written to
// disk before and after the printer commands that decide it, so that after a
// crash or a power cut a document is neither printed twice nor left
// unrecorded. Every write is synchronous; errors throw DataError.
//
// Each entry names the installation it belongs to, the main database and the
// fiscal machine, so that a journal copied to another register or pointed at
// another database is never applied to that one's rows; entries written
// before they were named (NULL) belong to the installation that opens it.
class PrintJournal
{
public:
    enum class State {
        TakenUp,   // taken up; commands may have been sent
        Closing,   // the closing command is being sent
        Closed,    // the printer closed it; numbers read back
        Recorded,  // its row was written
        Failed,    // ended through its failure path: may have left it open on the printer
        Cancelled, // whatever it left open was cancelled: it may be printed again
        // Cancelled with nothing open while the printer refused "7": the
        // header lines it was sent may still wait on the printer.
        HeaderHeld,
    };
    struct Entry
    {
        qint64 id = 0;
        core::DocumentKind kind = core::DocumentKind::Invoice;
        qint64 code = 0;
        State state = State::TakenUp;
        QString numberBefore; // the printer's last number just before the closing command
        QString number;
        QString zNumber;
    };

    // The installation that writes the journal: the main database (a file's
    // path or a server's URL) and the fiscal machine (Caja:).
    struct Owner
    {
        QString database;
        qint32 machine;
    };

    // Opens (or creates) the journal in the program directory.
    PrintJournal(const QString &programDir, const core::Clock &clock, const Owner &owner = {});
    ~PrintJournal();

    static QString fileName() { return QStringLiteral("robot-fiscal-journal.db"); }

    // Each records the document's new state; takeUp() returns its entry's id.
    qint64 takeUp(core::DocumentKind kind, qint64 code);
    void closing(qint64 id, const QString &numberBefore);
    void closed(qint64 id, const QString &number, const QString &zNumber);
    void recorded(qint64 id);
    void failed(qint64 id);
    void cancelled(qint64 id);
    void headerHeld(qint64 id);

    // Entries that recovery must settle before any new document: taken up,
    // closing, closed and not yet recorded, or failed and not yet cancelled.
    QList<Entry> unfinished() const;
    // True when nothing is left for recovery (kept in memory, so a tick
    // with nothing to recover reads no file).
    bool settled() const { return m_unfinished == 0; }
    // True while a closing's outcome waits for recovery: a report printed
    // meanwhile would move the Z counter that its document is recorded with.
    bool closingUnsettled() const { return m_closing > 0; }
    // The kinds of the documents whose header lines may still wait on the
    // printer (kept in memory, like settled()); none once overwritten.
    QList<core::DocumentKind> headersHeld() const;
    bool anyHeaderHeld() const { return m_headerHeld > 0; }
    void headersOverwritten();
    // The printer's number for a document it already closed, or empty.
    QString closedBefore(core::DocumentKind kind, qint64 code) const;

    // The Z reports sent, each written down with the printer's Z counter
    // before it is sent, so that one whose answer was lost is judged by a
    // later reading of the counter, after a restart too.
    struct ZReport
    {
        qint64 id = 0;
        QString counterBefore;
        QDateTime sent;
    };
    qint64 zSending(const QString &counterBefore);
    void zSettled(qint64 id, bool printed);
    // The Z report whose outcome is not known yet, if any.
    std::optional<ZReport> zUnknown() const;

    // The printer's numbers the operator accepted as issued: the documents
    // up to it need no record.
    void acceptNumber(core::DocumentKind kind, const QString &number);
    // The highest number of a kind the journal accounts for (closed and
    // recorded documents, accepted numbers); none when it knows of none.
    std::optional<qint64> highestNumber(core::DocumentKind kind) const;

private:
    void setState(qint64 id, State state, const QString &extraSql = {},
                  const QStringList &extraValues = {});
    void recount();
    // " AND ..." keeping the rows of this installation, and its two values.
    QString ownRows() const;
    void bindOwner(QSqlQuery &q) const;

    const core::Clock &m_clock;
    QString m_database; // as written in the entries
    qint32 m_machine;
    QString m_connection;
    QString m_path;
    int m_unfinished = 0;
    int m_closing = 0;
    int m_headerHeld = 0;
};

} // namespace db
