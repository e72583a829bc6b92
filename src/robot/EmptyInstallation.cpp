#include "robot/EmptyInstallation.h"

#include "core/Texts.h"
#include "db/DataError.h"
#include "db/Schema.h"
#include "robot/InstallationDirectory.h"

namespace robot {

namespace texts = core::texts;

QString EmptyInstallation::create(const QString &dirPath, const QString &printerType,
                                  const QString &databaseUrl)
{
    QDir dir;
    if (const QString refusal =
            InstallationDirectory::prepare(dirPath, printerType, databaseUrl, &dir);
        !refusal.isEmpty())
        return refusal;
    const QString data =
        InstallationDirectory::item(QStringLiteral("Datos:") + dir.path() + QLatin1Char('/'));
    const struct
    {
        const char *name;
        QString text;
    } files[] = {
        {"Vextora.inf", texts::emptyConfiguration(data, printerType)},
        {"robot-fiscal.ini",
         texts::emptySettings(
             databaseUrl.isEmpty() ? QString() : InstallationDirectory::urlValue(databaseUrl))},
    };
    for (const auto &f : files) {
        if (!InstallationDirectory::writeFile(dir.filePath(QLatin1String(f.name)), f.text))
            return texts::fileNotWritten(dir.filePath(QLatin1String(f.name)));
    }
    try {
        db::Schema::createDatabase(dir.filePath(QStringLiteral("Vextora.dba")),
                                   {db::Schema::localSchema()});
    } catch (const db::DataError &e) {
        return e.describe();
    }
    return QString();
}

} // namespace robot
