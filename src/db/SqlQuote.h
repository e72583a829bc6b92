#pragma once

#include <QString>

namespace db {

// SQL's own quoting, the same on SQLite and on PostgreSQL (whose sessions
// keep standard_conforming_strings on): the one place that writes a value or
// a name into a statement.
class SqlQuote
{
public:
    // A text literal: 'text', each ' in it doubled.
    static QString text(const QString &text);
    // A quoted identifier: "name", each " in it doubled.
    static QString name(const QString &name);
};

} // namespace db
