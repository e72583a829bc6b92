#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

namespace robot {

// The rows of a query, read whole when it was opened, with a current row.
// A field is text, a number (qint64 or double), or null (an invalid QVariant
// with isNull()); booleans are the numbers -1 and 0, dates ISO-8601 text.
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
    // The current row's value of a column; an unknown name (or no current
    // row) throws DataError naming the column and the SQL.
    QVariant field(const QString &name) const;
    bool hasField(const QString &name) const;
    void close();

    const QStringList &columns() const { return m_columns; }
    // Every row's value of one column, for the list displays.
    QStringList columnTexts(const QString &name) const;

    // Jet's boolean reading: true only for a non-null nonzero value.
    static bool isTrue(const QVariant &v);
    static bool isFalse(const QVariant &v);

private:
    int columnIndex(const QString &name) const;
    QStringList m_columns;
    QVector<QVector<QVariant>> m_rows;
    qsizetype m_current = 0;
    QString m_sql;
};

} // namespace robot
