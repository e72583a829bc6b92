#include "robot/DemoInstallation.h"

#include "core/Texts.h"
#include "db/DataError.h"
#include "db/Schema.h"
#include "robot/InstallationDirectory.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace robot {

namespace texts = core::texts;

namespace {

const char *const kSerial = "Z1B1234567";

} // namespace

QString DemoInstallation::simulatorLibraryName()
{
#ifdef Q_OS_WIN
    return QStringLiteral("fiscalsim.dll");
#else
    return QStringLiteral("libfiscalsim.so");
#endif
}

QString DemoInstallation::create(const QString &dirPath, const QString &printerType,
                                 const QString &driverLibrary, const QString &databaseUrl)
{
    QDir dir;
    if (const QString refusal =
            InstallationDirectory::prepare(dirPath, printerType, databaseUrl, &dir);
        !refusal.isEmpty())
        return refusal;

    const QString data = dir.path() + QLatin1Char('/');
    const QString crlf = QStringLiteral("\r\n");
    const QString inf = InstallationDirectory::item(QStringLiteral("Datos:") + data) + crlf +
                        QStringLiteral("Impresora:") + printerType + crlf +
                        QStringLiteral("Puerto:COM1") + crlf + QStringLiteral("80Columnas:-1") +
                        crlf + QStringLiteral("Serial:") + QLatin1String(kSerial) + crlf +
                        QStringLiteral("Caja:1") + crlf;
    QString ini = QStringLiteral("[driver]\nLibrary=%1\n\n[regional]\n"
                                 "ShortDateFormat=dd/MM/yyyy\n\n[timing]\nScale=1.0\n")
                      .arg(QDir::fromNativeSeparators(driverLibrary));
    if (!databaseUrl.isEmpty())
        ini += QStringLiteral("\n[database]\nUrl=%1\n")
                   .arg(InstallationDirectory::urlValue(databaseUrl));
    // The counters follow the printed history of the demo database.
    const QString sim = QStringLiteral("[printer]\nType=%1\nSerial=%2\nCodePage=windows-1252\n"
                                       "Rates=16,8,31\n\n[counters]\nInvoice=140\nCreditNote=7\n"
                                       "Z=12\n")
                            .arg(printerType, QLatin1String(kSerial));
    const struct
    {
        const char *name;
        QString text;
    } files[] = {
        {"Vextora.inf", inf},
        {"robot-fiscal.ini", ini},
        {"fiscalsim.ini", sim},
        {"KardolenTerminalUpd.inf", QString()},
    };
    // The server first: a database that is not empty, or out of reach, leaves
    // the directory as it was, to try again.
    if (!databaseUrl.isEmpty()) {
        try {
            db::Schema::createPostgresDatabase(
                databaseUrl, {db::Schema::mainSchema(), db::Schema::demoMainData()});
        } catch (const db::DataError &e) {
            return e.describe();
        }
    }
    for (const auto &f : files) {
        if (!InstallationDirectory::writeFile(dir.filePath(QLatin1String(f.name)), f.text))
            return texts::fileNotWritten(dir.filePath(QLatin1String(f.name)));
    }
    try {
        if (databaseUrl.isEmpty())
            db::Schema::createDatabase(dir.filePath(QStringLiteral("Base de Datos.dba")),
                                       {db::Schema::mainSchema(), db::Schema::demoMainData()});
        db::Schema::createDatabase(dir.filePath(QStringLiteral("Vextora.dba")),
                                   {db::Schema::localSchema(), db::Schema::demoLocalData()});
    } catch (const db::DataError &e) {
        return e.describe();
    }
    return QString();
}

} // namespace robot
