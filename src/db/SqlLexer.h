#pragma once

#include <QString>
#include <vector>

namespace db {

// One piece of a Jet SQL text.
struct SqlToken
{
    enum class Kind { Space, String, Bracket, Word, Number, Op, Open, Close, Other };

    Kind kind;
    QString text;  // as written
    QString value; // String: the text without quotes; Bracket: the name; Word: lower case
};

// Splits Jet SQL into tokens: blanks, texts in single or double quotes,
// bracketed names, words, numbers, operators and parentheses. Throws
// DataError(Query) for an unclosed quote or bracket.
class SqlLexer
{
public:
    static std::vector<SqlToken> tokenize(const QString &sql);
};

} // namespace db
