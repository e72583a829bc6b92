#include "db/Schema.h"

#include "core/FileLayer.h"
#include "db/DataError.h"

#include <QFile>
#include <QFileInfo>
#include <sqlite3.h>

namespace db {

namespace {

QString resource(const QString &name)
{
    QFile file(QStringLiteral(":/sql/") + name);
    if (!file.open(QIODevice::ReadOnly))
        throw DataError(DataError::Kind::File,
                        QStringLiteral("Falta el guion SQL incorporado al programa."), name);
    return QString::fromUtf8(file.readAll());
}

} // namespace

QString Schema::mainSchema()
{
    return resource(QStringLiteral("main-schema.sql"));
}

QString Schema::localSchema()
{
    return resource(QStringLiteral("local-schema.sql"));
}

QString Schema::demoMainData()
{
    return resource(QStringLiteral("demo-main.sql"));
}

QString Schema::demoLocalData()
{
    return resource(QStringLiteral("demo-local.sql"));
}

void Schema::createDatabase(const QString &path, const QStringList &scripts)
{
    const QString local = core::FileLayer::localPath(path);
    if (QFileInfo::exists(local))
        throw DataError(DataError::Kind::File, QStringLiteral("El archivo ya existe."), path);
    sqlite3 *db = nullptr;
    const QByteArray name = local.toUtf8();
    int rc =
        sqlite3_open_v2(name.constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    QString failure;
    if (rc != SQLITE_OK) {
        failure = QString::fromUtf8(db ? sqlite3_errmsg(db) : sqlite3_errstr(rc));
    } else {
        const QByteArray sql = (QStringLiteral("BEGIN;\n") + scripts.join(QLatin1Char('\n')) +
                                QStringLiteral("\nCOMMIT;"))
                                   .toUtf8();
        char *message = nullptr;
        rc = sqlite3_exec(db, sql.constData(), nullptr, nullptr, &message);
        if (rc != SQLITE_OK) {
            failure = QString::fromUtf8(message ? message : sqlite3_errstr(rc));
            sqlite3_free(message);
        }
    }
    sqlite3_close(db);
    if (!failure.isEmpty()) {
        QFile::remove(local);
        throw DataError(DataError::Kind::Query, failure, path);
    }
}

} // namespace db
