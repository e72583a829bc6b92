#include "core/Settings.h"

#include "core/CodePage.h"
#include "core/Texts.h"

#include <QFileInfo>
#include <QSettings>
#include <cmath>

namespace core {

Settings Settings::load(const QString &iniPath, QString *refusal)
{
    Settings s;
    if (refusal)
        refusal->clear();
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
    auto refuse = [refusal](const char *key, const QString &value, const QString &why) {
        if (refusal && refusal->isEmpty())
            *refusal = texts::unusableValue(QLatin1String(key), value, why);
    };
    const QVariant scaleValue = ini.value(QStringLiteral("timing/Scale"));
    if (!scaleValue.isNull()) {
        const QString scaleText = scaleValue.typeId() == QMetaType::QStringList
                                      ? scaleValue.toStringList().join(QLatin1Char(','))
                                      : scaleValue.toString();
        bool ok = false;
        const double scale = scaleText.trimmed().toDouble(&ok);
        // toDouble takes "inf" and "nan"; neither is a scale, nor is 0.
        if (ok && std::isfinite(scale) && scale >= kMinScale && scale <= kMaxScale)
            s.timingScale = scale;
        else if (!scaleText.trimmed().isEmpty())
            refuse("[timing] Scale", scaleText, texts::kUnusableScale);
    }
    const QString probe = ini.value(QStringLiteral("timing/PrinterProbe")).toString().trimmed();
    if (!probe.isEmpty()) {
        bool ok = false;
        const double minutes = probe.toDouble(&ok);
        if (ok && std::isfinite(minutes) && minutes >= 0 && minutes <= kMaxProbeMinutes)
            s.printerProbeMinutes = minutes;
        else
            refuse("[timing] PrinterProbe", probe, texts::kUnusableProbe);
    }
    const QString wake = ini.value(QStringLiteral("timing/WakeOnChange")).toString().trimmed();
    s.wakeOnChange = !QStringList{QStringLiteral("no"), QStringLiteral("false"),
                                  QStringLiteral("0"), QStringLiteral("off")}
                          .contains(wake, Qt::CaseInsensitive);
    if (!CodePage(s.codePage).isValid())
        refuse("[regional] CodePage", s.codePage, texts::kUnknownCodePage);
    else if (!CodePage(s.codePage).isEightBit())
        refuse("[regional] CodePage", s.codePage, texts::kCodePageNotEightBit);
    return s;
}

} // namespace core
