#pragma once

#include "core/DocumentKind.h"

#include <QList>
#include <QString>
#include <optional>

namespace documents {

struct JobContext;

// The printer's last numbers against what the robot can account for: the
// numbers of its journal, the highest ones the main database recorded for
// the fiscal machine, and the ones the operator accepted. A printer ahead of
// all three issued documents that nobody recorded: a journal lost after a
// closing (whose sale would be printed a second time), or documents issued
// from the keypad or by another program. Then nothing new is printed until
// the operator has looked and accepts the printer's numbers.
class NumberCheck
{
public:
    explicit NumberCheck(JobContext &ctx) : m_ctx(ctx) {}

    enum class Result { Accounted, Unreadable, NotAccounted };
    // With the port open, before a document's first command, given the
    // printer's last number of its kind: at the first document since the
    // robot started (and while numbers wait for the operator) the other
    // kind's is read and compared too. NotAccounted after telling the
    // operator. DataError may escape (the main database or the journal).
    Result check(core::DocumentKind kind, const QString &number);
    // A number the printer gave one of the robot's own documents.
    void accountFor(core::DocumentKind kind, const QString &number);
    // The operator takes the numbers the printer showed as issued; they are
    // kept in the journal. False when none waits. DataError may escape.
    bool accept();

    // Numbers the printer issued that nothing accounts for, first to last.
    struct Range
    {
        core::DocumentKind kind = core::DocumentKind::Invoice;
        QString first, last;
        bool operator==(const Range &) const = default;
    };
    // What waits for the operator; nothing new is printed meanwhile.
    const QList<Range> &unaccounted() const { return m_unaccounted; }
    bool waiting() const { return !m_unaccounted.isEmpty(); }

private:
    std::optional<Range> compare(core::DocumentKind kind, const QString &number);
    // The highest number the journal or the main database accounts for.
    std::optional<qint64> highest(core::DocumentKind kind);
    std::optional<qint64> &known(core::DocumentKind kind);

    JobContext &m_ctx;
    bool m_bothChecked = false;
    // The highest number accounted for, per kind, once looked up.
    std::optional<qint64> m_known[2];
    QList<Range> m_unaccounted;
};

} // namespace documents
