#include "db/ListSource.h"

#include "db/DataError.h"
#include "db/Database.h"

namespace db {

ListSource::ListSource() = default;

ListSource::~ListSource() = default;

void ListSource::setDatabaseName(const QString &path)
{
    if (path != m_databaseName)
        close();
    m_databaseName = path;
}

void ListSource::setRecordSource(const QString &sql)
{
    m_recordSource = sql;
}

void ListSource::setShortDateFormat(const QString &format)
{
    m_shortDateFormat = format;
}

void ListSource::refresh()
{
    if (m_databaseName.isEmpty() || m_recordSource.isEmpty())
        return;
    try {
        auto database = Database::open(m_databaseName, m_shortDateFormat);
        m_recordset = database->openRecordset(m_recordSource);
    } catch (const DataError &) {
        m_recordset = RecordSet();
        throw;
    }
}

QStringList ListSource::vistaEspecial() const
{
    if (m_recordset.columns().isEmpty())
        return {};
    return m_recordset.columnTexts(QStringLiteral("VistaEspecial"));
}

void ListSource::close()
{
    m_recordset = RecordSet();
}

} // namespace db
