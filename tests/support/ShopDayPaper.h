#pragma once

#include "core/DocumentKind.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace testsupport {

// A document as the simulated printer's paper roll shows it.
struct PaperDocument
{
    struct Line
    {
        QString description;
        qint64 price = 0;    // cents
        qint64 quantity = 0; // thousandths
        QChar rate;          // E exempt, G, R, A the printer's rates 1 to 3
        bool operator==(const Line &) const = default;
    };
    core::DocumentKind kind = core::DocumentKind::Invoice;
    QStringList header; // the customer block: free header lines, as printed
    QList<Line> lines;
    int discount = 0; // hundredths of a per cent
    QString number;   // empty: cancelled
    int zBefore = 0;  // Z reports printed before it on the roll

    // What it carries, to be told from another version of its document.
    bool sameContent(const PaperDocument &o) const
    {
        return kind == o.kind && header == o.header && lines == o.lines && discount == o.discount;
    }
    QString describe() const;
};

// The documents and reports of fiscalsim-paper.txt, in the order printed.
struct PaperRoll
{
    explicit PaperRoll(const QString &text);

    QList<PaperDocument> documents; // closed and cancelled
    int zReports = 0;
};

} // namespace testsupport
