#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>
#include <optional>

namespace db {

// The rows of a query, read whole when it was opened, with a current row.
// A field is text, a number (qint64 or double), or null (an invalid QVariant
// with isNull()); booleans are the numbers -1 and 0, dates ISO-8601 text.
// Column names are found regardless of case, as Jet finds them.
class RecordSet
{
public:
    RecordSet() = default;
    RecordSet(QStringList columns, QVector<QVector<QVariant>> rows, QString sql);

    // At least 1 whenever there is a row.
    int recordCount() const { return static_cast<int>(m_rows.size()); }
    bool eof() const { return m_current >= m_rows.size(); }
    void moveNext();
    void moveFirst() { m_current = 0; }
    // The current row's value of a column; an unknown name throws
    // DataError(MissingColumn), no current row DataError(NoCurrentRecord),
    // both naming the column and the SQL.
    QVariant field(const QString &name) const;
    bool hasField(const QString &name) const;
    void close();

    // Typed readings of field(name), with its errors.
    bool isNull(const QString &name) const { return field(name).isNull(); }
    // The value as text; a null contributes no characters. Numbers in plain
    // decimal with a period.
    QString text(const QString &name) const;
    // A number, or nullopt for a null. A text that does not read as a number
    // throws DataError(Value).
    std::optional<double> number(const QString &name) const;
    // A date (and time) from ISO-8601 text, or nullopt for a null. Anything
    // else throws DataError(Value).
    std::optional<QDateTime> dateTime(const QString &name) const;

    const QStringList &columns() const { return m_columns; }
    // A digest of every column and row: equal for the same rows read again,
    // different as soon as one value changed.
    QByteArray fingerprint() const;
    const QString &sql() const { return m_sql; }
    // Every row's value of one column, for the list displays; a null row is an
    // empty text. An unknown name throws DataError(MissingColumn).
    QStringList columnTexts(const QString &name) const;

    // Jet's boolean reading: true only for a non-null nonzero value.
    static bool isTrue(const QVariant &v);
    // False only for a non-null zero: a null is neither true nor false.
    static bool isFalse(const QVariant &v);
    // A value as text, as text() gives it.
    static QString toText(const QVariant &v);

private:
    int columnIndex(const QString &name) const;
    QStringList m_columns;
    QVector<QVector<QVariant>> m_rows;
    qsizetype m_current = 0;
    QString m_sql;
};

} // namespace db
