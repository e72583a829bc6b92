#include "core/ShortDate.h"

namespace core {

QDate ShortDate::parse(const QString &text, const QString &format)
{
    const QString t = text.trimmed();
    const bool fourDigitYear = format.contains(QLatin1String("yyyy"));
    if (fourDigitYear) {
        const QDate date = QDate::fromString(t, format);
        if (date.isValid())
            return date;
    }
    QString twoDigitYear = format;
    twoDigitYear.replace(QLatin1String("yyyy"), QLatin1String("yy"));
    if (!twoDigitYear.contains(QLatin1String("yy")))
        return QDate::fromString(t, format);

    // Qt reads a two-digit year as 19yy.
    const QDate date = QDate::fromString(t, twoDigitYear);
    if (date.isValid())
        return date.year() < 1930 ? date.addYears(100) : date;
    // Nor does it take 29/02/00, 1900 being no leap year: 2000 was one.
    const QDate leapDay(2000, 2, 29);
    QString fourDigits = twoDigitYear;
    fourDigits.replace(QLatin1String("yy"), QLatin1String("yyyy"));
    for (qsizetype at = t.indexOf(QLatin1String("00")); at >= 0;
         at = t.indexOf(QLatin1String("00"), at + 1)) {
        if (QDate::fromString(t.left(at) + QStringLiteral("20") + t.mid(at), fourDigits) == leapDay)
            return leapDay;
    }
    return QDate();
}

} // namespace core
