#include "db/SqlDialect.h"

#include "db/SqlQuote.h"
#include "db/SqlTranslator.h"

namespace db {

namespace {

bool isAscii(const QString &s)
{
    for (QChar c : s) {
        if (c.unicode() > 0x7f)
            return false;
    }
    return true;
}

} // namespace

SqlDialect::SqlDialect(QString shortDateFormat) : m_shortDateFormat(std::move(shortDateFormat)) {}

SqlDialect::~SqlDialect() = default;

QString SqlDialect::translate(const QString &jetSql) const
{
    return SqlTranslator::translate(*this, jetSql);
}

QString SqlDialect::plainName(const QString &name, Statement &statement) const
{
    return isAscii(name) ? name : identifier(name, false, statement);
}

QString SqlDialect::textLiteral(const QString &text) const
{
    return SqlQuote::text(text);
}

} // namespace db
