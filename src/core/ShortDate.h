#pragma once

#include <QDate>
#include <QString>

namespace core {

// Dates as the operator and the administrative system write them: in the
// system's short date format (Qt's notation, e.g. dd/MM/yyyy or d/M/yy).
class ShortDate
{
public:
    // The date of `text` (blanks around it ignored) in `format`, or an invalid
    // date. A two-digit year is read as Windows reads it, 00-29 as 2000-2029
    // and 30-99 as 1930-1999, whether the format has two digits for the year
    // or four (the operator may type 26 for 2026).
    static QDate parse(const QString &text, const QString &format);
};

} // namespace core
