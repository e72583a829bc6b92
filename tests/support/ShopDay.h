#pragma once

#include "core/DocumentKind.h"
#include "support/Installation.h"
#include "support/ShopDayPlan.h"

#include <QElapsedTimer>
#include <memory>

namespace testsupport {

class PostgresCluster;
class RobotProcess;

// A day of a shop run against the real robot on the simulated printer: the
// plan's events at their moments, then, the faults over, the robot left to
// settle, then the day judged from the paper roll, the printer's memory and
// the database. Each violation names its invariant in brackets ([twice],
// [numbers], [content], [left], [cancels], [stopped], [crash]) and the documents
// concerned.
class ShopDay
{
public:
    // PostgreSQL: a cluster of the caller's own, which the day restarts.
    ShopDay(const ShopDayPlan &plan, Engine engine, PostgresCluster *cluster = nullptr);
    ~ShopDay();

    QStringList run();
    // What happened, one line per event, with the seconds since the start.
    QString log() const { return m_log.join(u'\n'); }
    // Everything the robots of the day wrote, and the paper roll.
    QString output() const;
    // What the printer did, in figures.
    const QString &summary() const { return m_summary; }

private:
    // A document as the paper roll shows it, or as it should.
    struct PaperDocument
    {
        struct Line
        {
            QString description;
            qint64 price = 0, quantity = 0; // cents, thousandths
            QChar rate;                     // E exempt, G, R, A the printer's rates 1 to 3
            bool operator==(const Line &) const = default;
        };
        core::DocumentKind kind = core::DocumentKind::Invoice;
        QStringList header; // the free header lines: the customer block
        QList<Line> lines;
        int discount = 0; // hundredths of a per cent
        QString number;   // empty: cancelled
        int zBefore = 0;  // Z reports printed before it

        bool sameContent(const PaperDocument &o) const
        {
            return kind == o.kind && header == o.header && lines == o.lines &&
                   discount == o.discount;
        }
        QString describe() const;
    };
    static QList<PaperDocument> readPaper(const QString &text, int *zReports);
    struct Item
    {
        QString name;
        qint64 price = 0; // cents; negative: no price at all
        int quantity = 1;
        bool exempt = false;
    };
    struct Document
    {
        core::DocumentKind kind = core::DocumentKind::Invoice;
        qint64 code = 0, customer = 0;
        QString rif, name, address, phone, invoiceNumber;
        QList<Item> items;
        int discount = 0; // per cent
        bool flagged = true;
        QList<PaperDocument> versions; // what it held each time it was pending

        QString word() const;
        QString heldColumn() const;
        PaperDocument expected() const;
    };
    struct Answer
    {
        int status = -1;
        QString text;
    };

    void start();
    void stop();
    void pause(int ms);
    void ended();
    void note(const QString &what);
    Answer ask(const QStringList &words);
    void setPolling(bool on);
    void writeFaults(const QByteArray &once, const QByteArray &lasting);
    Document *waitForPrinting(int ms);
    void happen(const ShopEvent &event);
    void addDocument(core::DocumentKind kind, ShopRandom &random);
    QList<Item> items(ShopRandom &random) const;
    void writeLines(const Document &d);
    void correct(Document &d, ShopRandom &random);
    void flag(Document &d);
    void databaseAway(int ms);
    void databaseLocked(int ms);
    void begin();
    bool pending(const Document &d);
    bool settled(bool last);
    void judge();

    ShopDayPlan m_plan;
    PostgresCluster *m_cluster;
    Installation m_inst;
    std::unique_ptr<MainRows> m_rows;
    std::unique_ptr<RobotProcess> m_robot;
    QElapsedTimer m_clock;
    QStringList m_log, m_violations;
    QString m_output, m_summary;
    QByteArray m_lasting, m_once;
    QList<Document> m_docs;
    bool m_polling = true;
    int m_starts = 0, m_kills = 0, m_cancels = 0, m_zAsked = 0;
};

} // namespace testsupport
