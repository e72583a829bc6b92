#include "db/SqlLexer.h"

#include "core/Texts.h"
#include "db/DataError.h"

namespace db {

namespace {

using Tok = SqlToken::Kind;

bool isWordStart(QChar c)
{
    return c.isLetter() || c == QLatin1Char('_');
}

bool isWordChar(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_');
}

// Reads one token at a time from the text; each reader starts at the
// token's first character and leaves `i` after its last.
class Scanner
{
public:
    explicit Scanner(const QString &sql) : m_sql(sql), m_n(sql.size()) {}

    std::vector<SqlToken> tokens()
    {
        std::vector<SqlToken> out;
        while (m_i < m_n)
            out.push_back(next());
        return out;
    }

private:
    SqlToken next()
    {
        const QChar c = m_sql[m_i];
        if (c.isSpace())
            return blanks();
        if (c == QLatin1Char('\'') || c == QLatin1Char('"'))
            return quoted(c);
        if (c == QLatin1Char('['))
            return bracketed();
        if (isWordStart(c))
            return word();
        if (c.isDigit() || (c == QLatin1Char('.') && digitAt(m_i + 1)))
            return number();
        if (c == QLatin1Char('(') || c == QLatin1Char(')')) {
            ++m_i;
            return {c == QLatin1Char('(') ? Tok::Open : Tok::Close, QString(c), {}};
        }
        return symbol();
    }

    [[noreturn]] void fail(const QString &why) const
    {
        throw DataError(DataError::Kind::Query, why, m_sql);
    }

    bool digitAt(qsizetype i) const { return i < m_n && m_sql[i].isDigit(); }

    void skipDigits()
    {
        while (digitAt(m_i))
            ++m_i;
    }

    SqlToken token(Tok kind, qsizetype start, QString value = {}) const
    {
        return {kind, m_sql.mid(start, m_i - start), std::move(value)};
    }

    SqlToken blanks()
    {
        const qsizetype start = m_i;
        while (m_i < m_n && m_sql[m_i].isSpace())
            ++m_i;
        return token(Tok::Space, start);
    }

    // Jet takes text in single or double quotes; a doubled quote stands for one.
    SqlToken quoted(QChar quote)
    {
        const qsizetype start = m_i++;
        QString value;
        for (;;) {
            if (m_i >= m_n)
                fail(core::texts::kUnclosedText);
            if (m_sql[m_i] == quote) {
                if (m_i + 1 < m_n && m_sql[m_i + 1] == quote) {
                    value += quote;
                    m_i += 2;
                    continue;
                }
                ++m_i;
                return token(Tok::String, start, value);
            }
            value += m_sql[m_i++];
        }
    }

    SqlToken bracketed()
    {
        const qsizetype start = m_i;
        const qsizetype close = m_sql.indexOf(QLatin1Char(']'), start + 1);
        if (close < 0)
            fail(core::texts::kUnclosedBracket);
        m_i = close + 1;
        return token(Tok::Bracket, start, m_sql.mid(start + 1, close - start - 1));
    }

    SqlToken word()
    {
        const qsizetype start = m_i;
        while (m_i < m_n && isWordChar(m_sql[m_i]))
            ++m_i;
        SqlToken t = token(Tok::Word, start);
        t.value = t.text.toLower();
        return t;
    }

    // Digits, an optional fraction and an optional exponent (kept only when
    // digits follow the e and its sign).
    SqlToken number()
    {
        const qsizetype start = m_i;
        skipDigits();
        if (m_i < m_n && m_sql[m_i] == QLatin1Char('.')) {
            ++m_i;
            skipDigits();
        }
        if (m_i < m_n && (m_sql[m_i] == QLatin1Char('e') || m_sql[m_i] == QLatin1Char('E'))) {
            qsizetype j = m_i + 1;
            if (j < m_n && (m_sql[j] == QLatin1Char('+') || m_sql[j] == QLatin1Char('-')))
                ++j;
            if (digitAt(j)) {
                m_i = j;
                skipDigits();
            }
        }
        return token(Tok::Number, start);
    }

    SqlToken symbol()
    {
        static const char *const twoChar[] = {"<>", "<=", ">=", "!=", "||"};
        const QString two = m_sql.mid(m_i, 2);
        for (const char *t : twoChar) {
            if (two == QLatin1String(t)) {
                m_i += 2;
                return {Tok::Op, two, {}};
            }
        }
        static const QString ops = QStringLiteral("=<>+-*/,;.&");
        const QChar c = m_sql[m_i++];
        return {ops.contains(c) ? Tok::Op : Tok::Other, QString(c), {}};
    }

    const QString &m_sql;
    const qsizetype m_n;
    qsizetype m_i = 0;
};

} // namespace

std::vector<SqlToken> SqlLexer::tokenize(const QString &sql)
{
    return Scanner(sql).tokens();
}

} // namespace db
