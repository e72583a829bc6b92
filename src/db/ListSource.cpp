#include "db/ListSource.h"

#include "db/DataError.h"
#include "db/Database.h"

#include <QHash>

namespace db {

namespace {

// The connections the list sources keep, one per database and date form;
// held by the sources, so a database no source uses is closed.
QHash<QString, std::weak_ptr<Database>> &keptConnections()
{
    static QHash<QString, std::weak_ptr<Database>> kept;
    return kept;
}

QString keyOf(const QString &location, const QString &shortDateFormat)
{
    return location + QLatin1Char('\n') + shortDateFormat;
}

std::shared_ptr<Database> keptConnection(const QString &location, const QString &shortDateFormat)
{
    const QString key = keyOf(location, shortDateFormat);
    std::shared_ptr<Database> database = keptConnections().value(key).lock();
    if (database && !database->fileChanged() && !database->lost())
        return database;
    keptConnections().remove(key);
    database = Database::open(location, shortDateFormat);
    keptConnections().insert(key, database);
    return database;
}

void forget(const QString &location, const QString &shortDateFormat, const Database *database)
{
    const QString key = keyOf(location, shortDateFormat);
    if (keptConnections().value(key).lock().get() == database)
        keptConnections().remove(key);
}

} // namespace

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
        m_database = keptConnection(m_databaseName, m_shortDateFormat);
        m_recordset = m_database->openRecordset(m_recordSource);
    } catch (const DataError &) {
        m_recordset = RecordSet();
        if (m_database) {
            forget(m_databaseName, m_shortDateFormat, m_database.get());
            m_database.reset();
        }
        throw;
    }
}

QStringList ListSource::displayLines() const
{
    if (m_recordset.columns().isEmpty())
        return {};
    return m_recordset.columnTexts(QStringLiteral("VistaEspecial"));
}

void ListSource::close()
{
    m_recordset = RecordSet();
    m_database.reset();
}

} // namespace db
