#pragma once

#include "core/DocumentKind.h"
#include "core/WindowServices.h"
#include "db/RecordSet.h"
#include "documents/JobContext.h"

#include <QSet>
#include <QString>
#include <functional>
#include <memory>

namespace db {
class DataError;
class Database;
class PrintJournal;
} // namespace db

namespace documents {

// What the invoice and credit-note jobs do alike: taking a document up and
// checking its header, detail and payment rows, the stage number, sending
// commands, the payment lines, the closing and what it did, and ending
// through the failure path. Each job adds what its kind of document prints
// its own way.
class DocumentJob
{
public:
    DocumentJob(JobContext &ctx, core::DocumentKind kind);
    virtual ~DocumentJob();

protected:
    // The width of a customer line, whatever the 80-column setting says.
    static constexpr int kLineWidth = 37;
    // A text column without its outer blanks; empty when null.
    static QString trimmed(const QVariant &v);
    // A text column as stored; empty when null.
    static QString asText(const QVariant &v);

    // Takes up the first pending document of the job's list that may be
    // printed now: one held back or failed waits until its rows change or
    // its pause has passed, and the ones behind it go first. The document is
    // read whole and checked before the first command. False when nothing is
    // to be printed now; the job has then ended.
    bool takeUp();
    // Reads the document m_code into m_header, m_detail and m_payments
    // (DataError may escape); false when its header row is gone.
    virtual bool read() = 0;
    // Checks every value the commands will carry; false after holding it.
    virtual bool validate() = 0;
    // The column a detail row cannot be printed for, past its price and
    // quantity (`rateFound`: the printer has the document's rate), or empty.
    virtual QString unprintableLine(bool rateFound) const = 0;
    // The job's normal end.
    virtual void finish() = 0;

    // The checks both kinds make. Holds the document for the column; false.
    bool holdColumn(const QString &column);
    // Each ...Printable() is false after holding the document.
    // Desc01: a null discount is none; one that is not a number is held, and
    // so is one the printer refuses when it is `sent`.
    bool discountPrintable(bool sent);
    // Every detail row's price and quantity within the printer's fields and
    // of some value, and what unprintableLine() checks; the rows need a
    // quantity column to be shown.
    bool detailPrintable(double taxRate);
    // Whether the printer has a position for the document's rate.
    bool hasRate(double taxRate) const;
    // A taxed row needs the printer's position of the document's rate.
    bool taxedWithoutRate(bool rateFound) const;
    // Each payment amount a number the printer takes, and every column read
    // now, so that a missing one stops the job before its first command.
    bool paymentsPrintable();

    // The current detail row, checked already.
    double lineQuantity() const;
    double linePrice() const;
    int lineTaxCode() const;
    // The printer's position of the document's rate.
    int taxCode() const;
    // Keeps the header's rate and discount for the lines.
    void keepRates();

    // Sends one command; true when the printer took it. Once the operator
    // has cancelled the document nothing more is sent before the closing:
    // false, and the next tested command ends the job.
    bool send(const QString &command);
    // Sends one command whose refusal ends the job: false after the failure path.
    bool sendOrFail(const QString &command);
    // After the document's own header lines: header lines that a document
    // cut short left on the printer (its "7" refused with nothing open) would
    // print on this one; each line they may hold that this document did not
    // send is sent empty, tested. False after the failure path.
    bool overwriteHeldHeader();
    // "3" and the discount command, each tested, when there is a discount.
    bool sendDiscount();
    // The payment rows: they close the document once they cover its total,
    // whatever the answer to each row.
    void sendPayments();
    // False when the port could not be opened (the operator has been told).
    bool openPort();
    void closePort();
    // Right after openPort(), before the first command: the printer's last
    // number of the kind read and checked against what the robot accounts
    // for, then the journal's record of the document. False when nothing may
    // be sent: the number could not be read (the port closed and polling
    // off, as after a port that would not open: the queue waits, the
    // document is not held) or the printer issued numbers nobody accounts
    // for (the operator has been told). A port that did not open goes on to
    // the first command, whose failure reports it.
    bool beginDocument();
    // A refused command: close the port, report the stage (the credit note
    // shows its long report in the box, the invoice the short one). The
    // document waits before it is taken up again, unless the port never
    // opened: that holds the queue, not the document. Cancelled by the
    // operator, it is told so instead and printed again at a later tick.
    void failAtStage();
    // A database error: the report names it, and says so when the document
    // was printed and not recorded.
    void failOnDatabase(const db::DataError &error, bool printed);
    // A document held back before anything was sent; told once.
    void hold(const QString &message);
    // `zCounter` is the printer's Z counter; the event names the closure the
    // document belongs to.
    void publish(core::DocumentEvent::Kind kind, const QString &number = {},
                 const QString &zCounter = {});

    // The closing command. Before it the printer's last number is read, and
    // without one the command is not sent (failure path, false); the journal
    // records it with that number.
    bool beforeClosing();
    // After it the number read again tells the outcome: moved, the printer
    // closed the document (true, the numbers read, and the journal records
    // them); the same, it did not (the commands' own answers cannot tell: a
    // lost answer looks like a refusal), and the failure path reports
    // `notClosedStage`; unreadable, nobody can tell yet, and recovery settles
    // it once the printer answers again.
    bool closedByPrinter(double notClosedStage, QString *number, QString *zCounter);
    // The document's row written: the journal's last record of it.
    void journalRecorded();

    JobContext &m_ctx;
    const core::DocumentKind m_kind;
    std::unique_ptr<db::Database> m_db;
    db::RecordSet m_header;
    db::RecordSet m_detail;
    db::RecordSet m_payments;
    double m_taxRate = 0.0;  // PorcentImpuesto
    double m_discount = 0.0; // Desc01
    double m_stage = 0.0;
    qint64 m_code = 0;
    bool m_closingSent = false;

private:
    QByteArray fingerprint() const;
    // The operator's "7" reached the printer before the closing command.
    bool cancelledByOperator() const;
    // Its end then: the printer dropped it, nothing is recorded.
    void endCancelledByOperator();
    // Keeps the document from being taken up again at once; false when it
    // was held already for the same reason with the same rows.
    bool keepWaiting(const QString &reason);
    enum class Closing { Closed, NotClosed, Unknown };
    Closing afterClosing(QString *number, QString *zCounter);
    // The outcome could not be told: the journal keeps the document as
    // closing and recovery settles it once the printer answers again.
    void closingUnknown();
    // The failure report of a closing that did not close, with the closing
    // command's own answer in it.
    void notClosed();

    // False, after holding it, when the journal says the printer already
    // closed the document.
    bool notClosedBefore();
    // Claims the document for this robot; false, after holding it, when
    // another robot of the machine claims it.
    bool claim();
    // A document that ends without a command sent lets its claim go; the
    // next tick does it where this fails.
    void releaseClaim();
    // The print journal's record of this document. Taking it up may throw
    // DataError (nothing has been sent then). The closing record returns
    // false, after the failure path, when it cannot be written, so that the
    // closing command is never sent unrecorded; the later records only warn.
    void journalTakenUp();
    bool journalClosing(const QString &numberBefore);
    void journalClosed(const QString &number, const QString &zCounter);
    void journalFailed();
    void journalCancelled();
    // A record after the closing one: an error only warns.
    void journalWrite(const std::function<void(db::PrintJournal &)> &write);

    bool m_portOpen = false;
    bool m_portFailed = false;
    bool m_accepted = false;    // the printer took one of its commands
    QSet<QString> m_headerSent; // its header lines' keys ("i01", "iR*")
    bool m_claimed = false;
    QString m_numberBefore;
    qint64 m_journalId = 0;
    QByteArray m_fingerprint;
    struct Answer
    {
        QString command;
        bool result = false;
        int status = 0;
        int error = 0;
    } m_closingAnswer;
};

} // namespace documents
