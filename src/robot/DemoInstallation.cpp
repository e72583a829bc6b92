#include "robot/DemoInstallation.h"

#include "core/PrinterType.h"
#include "core/Texts.h"
#include "db/DataError.h"
#include "db/PostgresUrl.h"
#include "db/Schema.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace robot {

namespace texts = core::texts;

namespace {

const char *const kSerial = "Z1B1234567";

bool writeFile(const QString &path, const QString &text)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    const QByteArray bytes = text.toUtf8();
    return file.write(bytes) == bytes.size() && file.flush();
}

// The configuration file ends an item at a comma; a quoted item keeps it.
QString item(const QString &text)
{
    return text.contains(QLatin1Char(',')) ? QLatin1Char('"') + text + QLatin1Char('"') : text;
}

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
    if (!core::parsePrinterType(printerType))
        return texts::unknownPrinterType(printerType);
    QString why;
    if (!databaseUrl.isEmpty() && !db::PostgresUrl::parse(databaseUrl, &why))
        return texts::demoUrlUnusable(db::PostgresUrl::withoutPassword(databaseUrl), why);
    const QFileInfo info(dirPath);
    if (info.exists() && !info.isDir())
        return texts::notADirectory(dirPath);
    QDir dir(info.absoluteFilePath());
    if (info.exists() &&
        !dir.isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System))
        return texts::directoryNotEmpty(dir.path());
    if (!QDir().mkpath(dir.path()))
        return texts::directoryNotCreated(dir.path());

    const QString data = dir.path() + QLatin1Char('/');
    const QString crlf = QStringLiteral("\r\n");
    const QString inf =
        item(QStringLiteral("Datos:") + data) + crlf + QStringLiteral("Impresora:") + printerType +
        crlf + QStringLiteral("Puerto:COM1") + crlf + QStringLiteral("80Columnas:-1") + crlf +
        QStringLiteral("Serial:") + QLatin1String(kSerial) + crlf + QStringLiteral("Caja:1") + crlf;
    QString ini = QStringLiteral("[driver]\nLibrary=%1\n\n[regional]\n"
                                 "ShortDateFormat=dd/MM/yyyy\n\n[timing]\nScale=1.0\n")
                      .arg(QDir::fromNativeSeparators(driverLibrary));
    if (!databaseUrl.isEmpty()) {
        // Quoted: a URL may hold commas (several hosts) and semicolons.
        QString value = databaseUrl;
        value.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
        value.replace(QLatin1Char('"'), QStringLiteral("\\\""));
        ini += QStringLiteral("\n[database]\nUrl=\"%1\"\n").arg(value);
    }
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
        if (!writeFile(dir.filePath(QLatin1String(f.name)), f.text))
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
