#pragma once

#include <QString>

namespace db {

class SqlDialect;

// Writes one Jet SQL text for the engine of a dialect: walks its tokens one
// parenthesis level at a time and applies Jet's rewrite rules (bracketed
// names, true and false, `=null`, `+` joining text, `Delete * from`,
// datevalue('...'), numbers with leading zeros); the dialect says how each
// piece is written.
class SqlTranslator
{
public:
    // Throws DataError(Query) for a text that cannot be read.
    static QString translate(const SqlDialect &dialect, const QString &jetSql);
};

} // namespace db
