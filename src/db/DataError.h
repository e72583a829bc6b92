#pragma once

#include <QString>
#include <stdexcept>

namespace db {

// A database or file error: the engine's (or the system's) message and the
// SQL text or path it concerns. Caught at the job and tick boundaries only.
class DataError : public std::runtime_error
{
public:
    // Open: a missing file or one that is not a database. Busy: a lock held by
    // another program past the busy timeout. MissingColumn: a field name the
    // result set does not have. NoCurrentRecord: a field read past the last
    // row. Value: a value of the wrong kind (text where a number is expected).
    enum class Kind { File, Open, Query, Busy, MissingColumn, NoCurrentRecord, Value };

    DataError(Kind kind, const QString &message, const QString &subject = {});

    Kind kind() const { return m_kind; }
    const QString &message() const { return m_message; }
    // The SQL text or the path.
    const QString &subject() const { return m_subject; }
    // One line for the operator: the message, then what it concerns.
    QString describe() const;

private:
    Kind m_kind;
    QString m_message;
    QString m_subject;
};

} // namespace db
