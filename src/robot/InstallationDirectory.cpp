#include "robot/InstallationDirectory.h"

#include "core/PrinterType.h"
#include "core/Texts.h"
#include "db/PostgresUrl.h"

#include <QFile>
#include <QFileInfo>

namespace robot {

namespace texts = core::texts;

QString InstallationDirectory::prepare(const QString &path, const QString &printerType,
                                       const QString &databaseUrl, QDir *dir)
{
    if (!core::parsePrinterType(printerType))
        return texts::unknownPrinterType(printerType);
    QString why;
    if (!databaseUrl.isEmpty() && !db::PostgresUrl::parse(databaseUrl, &why))
        return texts::demoUrlUnusable(db::PostgresUrl::withoutPassword(databaseUrl), why);
    const QFileInfo info(path);
    if (info.exists() && !info.isDir())
        return texts::notADirectory(path);
    *dir = QDir(info.absoluteFilePath());
    if (info.exists() &&
        !dir->isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System))
        return texts::directoryNotEmpty(dir->path());
    if (!QDir().mkpath(dir->path()))
        return texts::directoryNotCreated(dir->path());
    return QString();
}

bool InstallationDirectory::writeFile(const QString &path, const QString &text)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    const QByteArray bytes = text.toUtf8();
    return file.write(bytes) == bytes.size() && file.flush();
}

QString InstallationDirectory::item(const QString &text)
{
    return text.contains(QLatin1Char(',')) ? QLatin1Char('"') + text + QLatin1Char('"') : text;
}

QString InstallationDirectory::urlValue(const QString &url)
{
    QString value = url;
    value.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    value.replace(QLatin1Char('"'), QStringLiteral("\\\""));
    return QLatin1Char('"') + value + QLatin1Char('"');
}

} // namespace robot
