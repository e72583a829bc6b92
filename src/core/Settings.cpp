#include "core/Settings.h"

#include <QFileInfo>
#include <QSettings>

namespace core {

Settings Settings::load(const QString &iniPath)
{
    Settings s;
    if (!QFileInfo(iniPath).isFile())
        return s;
    QSettings ini(iniPath, QSettings::IniFormat);
    auto text = [&ini](const char *key, const QString &fallback) {
        const QString v = ini.value(QLatin1String(key), fallback).toString().trimmed();
        return v.isEmpty() ? fallback : v;
    };
    s.driverLibrary = text("driver/Library", s.driverLibrary);
    s.RifInstalacionTickets = text("installation/RifInstalacionTickets", {});
    // QSettings hands a comma-separated value back as a list already.
    const QVariant serials = ini.value(QStringLiteral("installation/SerialesOperador"));
    const QStringList parts = serials.typeId() == QMetaType::QStringList
                                  ? serials.toStringList()
                                  : serials.toString().split(QLatin1Char(','));
    for (const QString &p : parts) {
        if (!p.trimmed().isEmpty())
            s.SerialesOperador << p.trimmed();
    }
    s.SerialOrdenCompra = text("installation/SerialOrdenCompra", {});
    s.shortDateFormat = text("regional/ShortDateFormat", s.shortDateFormat);
    s.codePage = text("regional/CodePage", s.codePage);
    // QSettings reads a value with commas (several hosts) as a list.
    const QVariant url = ini.value(QStringLiteral("database/Url"));
    s.databaseUrl =
        (url.typeId() == QMetaType::QStringList ? url.toStringList().join(QLatin1Char(','))
                                                : url.toString())
            .trimmed();
    bool ok = false;
    const double scale = ini.value(QStringLiteral("timing/Scale")).toString().toDouble(&ok);
    if (ok && scale >= 0.0)
        s.timingScale = scale;
    return s;
}

} // namespace core
