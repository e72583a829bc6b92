#include "db/SqlQuote.h"

namespace db {

namespace {

QString quoted(const QString &s, QChar quote)
{
    QString escaped = s;
    escaped.replace(quote, QString(2, quote));
    return quote + escaped + quote;
}

} // namespace

QString SqlQuote::text(const QString &text)
{
    return quoted(text, QLatin1Char('\''));
}

QString SqlQuote::name(const QString &name)
{
    return quoted(name, QLatin1Char('"'));
}

} // namespace db
