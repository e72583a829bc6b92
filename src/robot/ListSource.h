#pragma once

#include <QString>

namespace robot {

// A database path and a query text whose result set the robot opens, refreshes
// and reads by column name.
class ListSource
{
public:
    void setDatabaseName(const QString &path) { m_databaseName = path; }
    const QString &databaseName() const { return m_databaseName; }
    void setRecordSource(const QString &sql) { m_recordSource = sql; }
    const QString &recordSource() const { return m_recordSource; }

private:
    QString m_databaseName;
    QString m_recordSource;
};

} // namespace robot
