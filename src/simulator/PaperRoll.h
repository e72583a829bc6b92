#pragma once

#include "FiscalMemory.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

namespace sim {

// What the printer prints, as a person reads it off the roll: 40 columns,
// amounts with a decimal comma as on the printer's own receipts.
class PaperRoll
{
public:
    static constexpr int kWidth = 40;

    // `rates`: rates 1 to 3 in hundredths of a per cent.
    PaperRoll(const QString &serial, const QList<int> &rates);

    QString closedDocument(const Document &document, const QList<HeaderLine> &header, int number,
                           const QDateTime &when) const;
    QString cancelledDocument(const Document &document, const QList<HeaderLine> &header,
                              const QDateTime &when) const;
    QString xReport(const FiscalMemory &memory, const QDateTime &when) const;
    QString zReport(const Closure &closure) const;
    QString memoryReport(const QList<Closure> &closures, QDate from, QDate to,
                         const QDateTime &when) const;

    static QString money(qint64 cents);
    static QString quantity(qint64 thousandths);
    static QString percent(int hundredths);

private:
    QStringList top(const QString &title) const;
    QStringList documentBody(const Document &document, const QList<HeaderLine> &header) const;
    QStringList dayTotals(const DayTotals &totals) const;
    static QStringList bottom(const QDateTime &when);
    static QString row(const QString &left, const QString &right);
    static QString text(const QStringList &lines);
    QString rateName(int rate) const;

    QString m_serial;
    QList<int> m_rates;
};

} // namespace sim
