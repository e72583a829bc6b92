#include "db/DataError.h"

namespace db {

DataError::DataError(Kind kind, const QString &message, const QString &subject)
    : std::runtime_error(
          (message + QStringLiteral(" [") + subject + QLatin1Char(']')).toStdString()),
      m_kind(kind), m_message(message), m_subject(subject)
{
}

QString DataError::describe() const
{
    if (m_subject.isEmpty())
        return m_message;
    return m_message + QStringLiteral(" (") + m_subject + QLatin1Char(')');
}

} // namespace db
