#include "db/RecordSet.h"

#include "core/Texts.h"
#include "db/DataError.h"

#include <QCryptographicHash>

#include <cmath>

namespace db {

namespace {

bool isNumeric(const QVariant &v)
{
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Bool:
        return true;
    default:
        return false;
    }
}

// Text that another program may have stored where a number belongs.
std::optional<double> readNumber(const QString &text)
{
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

} // namespace

RecordSet::RecordSet(QStringList columns, QVector<QVector<QVariant>> rows, QString sql)
    : m_columns(std::move(columns)), m_rows(std::move(rows)), m_sql(std::move(sql))
{
}

void RecordSet::moveNext()
{
    if (m_current < m_rows.size())
        ++m_current;
}

int RecordSet::columnIndex(const QString &name) const
{
    for (qsizetype i = 0; i < m_columns.size(); ++i) {
        if (m_columns[i].compare(name, Qt::CaseInsensitive) == 0)
            return static_cast<int>(i);
    }
    return -1;
}

bool RecordSet::hasField(const QString &name) const
{
    return columnIndex(name) >= 0;
}

QVariant RecordSet::field(const QString &name) const
{
    const int index = columnIndex(name);
    if (index < 0)
        throw DataError(DataError::Kind::MissingColumn, core::texts::fieldNotFound(name), m_sql);
    if (eof())
        throw DataError(DataError::Kind::NoCurrentRecord, core::texts::noCurrentRecord(name),
                        m_sql);
    return m_rows[m_current][index];
}

void RecordSet::close()
{
    m_rows.clear();
    m_columns.clear();
    m_current = 0;
}

QString RecordSet::toText(const QVariant &v)
{
    if (v.isNull())
        return QString();
    if (v.typeId() == QMetaType::Double || v.typeId() == QMetaType::Float)
        return QString::number(v.toDouble(), 'g', 15);
    return v.toString();
}

QString RecordSet::text(const QString &name) const
{
    return toText(field(name));
}

std::optional<double> RecordSet::number(const QString &name) const
{
    const QVariant v = field(name);
    if (v.isNull())
        return std::nullopt;
    if (isNumeric(v))
        return v.toDouble();
    if (const auto value = readNumber(v.toString()))
        return value;
    throw DataError(DataError::Kind::Value, core::texts::fieldNotANumber(name, v.toString()),
                    m_sql);
}

std::optional<QDateTime> RecordSet::dateTime(const QString &name) const
{
    const QVariant v = field(name);
    if (v.isNull())
        return std::nullopt;
    const QString text = v.toString().trimmed();
    QDateTime when = QDateTime::fromString(text, Qt::ISODate);
    if (!when.isValid()) {
        // SQLite's own datetime() writes a blank between date and time.
        when = QDateTime::fromString(text, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    }
    if (!when.isValid()) {
        const QDate date = QDate::fromString(text, Qt::ISODate);
        if (date.isValid())
            when = date.startOfDay();
    }
    if (!when.isValid())
        throw DataError(DataError::Kind::Value, core::texts::fieldNotADate(name, text), m_sql);
    return when;
}

QStringList RecordSet::columnTexts(const QString &name) const
{
    const int index = columnIndex(name);
    if (index < 0)
        throw DataError(DataError::Kind::MissingColumn, core::texts::fieldNotFound(name), m_sql);
    QStringList out;
    out.reserve(m_rows.size());
    for (const auto &row : m_rows)
        out << toText(row[index]);
    return out;
}

bool RecordSet::isTrue(const QVariant &v)
{
    if (v.isNull())
        return false;
    if (isNumeric(v))
        return v.toDouble() != 0.0;
    const QString text = v.toString().trimmed();
    if (text.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
        return true;
    const auto value = readNumber(text);
    return value && *value != 0.0;
}

bool RecordSet::isFalse(const QVariant &v)
{
    if (v.isNull())
        return false;
    if (isNumeric(v))
        return v.toDouble() == 0.0;
    const QString text = v.toString().trimmed();
    if (text.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
        return true;
    const auto value = readNumber(text);
    return value && *value == 0.0;
}

QByteArray RecordSet::fingerprint() const
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    for (const QString &c : m_columns)
        hash.addData(c.toUtf8().append('\x1f'));
    for (const auto &row : m_rows) {
        hash.addData(QByteArrayView("\x1e"));
        for (const QVariant &v : row) {
            // A null differs from an empty text.
            hash.addData(v.isNull() ? QByteArray("\x00", 1) : toText(v).toUtf8().prepend('\x01'));
            hash.addData(QByteArrayView("\x1f"));
        }
    }
    return hash.result();
}

} // namespace db
