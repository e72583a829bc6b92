#include "db/SqlDialect.h"

#include "core/ShortDate.h"
#include "db/DataError.h"

#include <QSet>
#include <vector>

namespace db {

namespace {

enum class Tok { Space, String, Bracket, Word, Number, Op, Open, Close, Other };

struct Token
{
    Tok kind;
    QString text;  // as written
    QString value; // String: the text without quotes; Bracket: the name; Word: lower case
};

bool isWordStart(QChar c)
{
    return c.isLetter() || c == QLatin1Char('_');
}

bool isWordChar(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_');
}

std::vector<Token> tokenize(const QString &sql)
{
    std::vector<Token> out;
    const qsizetype n = sql.size();
    qsizetype i = 0;
    auto fail = [&](const QString &why) { throw DataError(DataError::Kind::Query, why, sql); };
    while (i < n) {
        const QChar c = sql[i];
        const qsizetype start = i;
        if (c.isSpace()) {
            while (i < n && sql[i].isSpace())
                ++i;
            out.push_back({Tok::Space, sql.mid(start, i - start), {}});
        } else if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            // Jet takes text in single or double quotes; a doubled quote stands for one.
            QString value;
            ++i;
            for (;;) {
                if (i >= n)
                    fail(QStringLiteral("Texto sin comilla de cierre."));
                if (sql[i] == c) {
                    if (i + 1 < n && sql[i + 1] == c) {
                        value += c;
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                value += sql[i++];
            }
            out.push_back({Tok::String, sql.mid(start, i - start), value});
        } else if (c == QLatin1Char('[')) {
            const qsizetype close = sql.indexOf(QLatin1Char(']'), i + 1);
            if (close < 0)
                fail(QStringLiteral("Nombre entre corchetes sin cierre."));
            i = close + 1;
            out.push_back(
                {Tok::Bracket, sql.mid(start, i - start), sql.mid(start + 1, close - start - 1)});
        } else if (isWordStart(c)) {
            while (i < n && isWordChar(sql[i]))
                ++i;
            const QString word = sql.mid(start, i - start);
            out.push_back({Tok::Word, word, word.toLower()});
        } else if (c.isDigit() || (c == QLatin1Char('.') && i + 1 < n && sql[i + 1].isDigit())) {
            while (i < n && sql[i].isDigit())
                ++i;
            if (i < n && sql[i] == QLatin1Char('.')) {
                ++i;
                while (i < n && sql[i].isDigit())
                    ++i;
            }
            if (i < n && (sql[i] == QLatin1Char('e') || sql[i] == QLatin1Char('E'))) {
                qsizetype j = i + 1;
                if (j < n && (sql[j] == QLatin1Char('+') || sql[j] == QLatin1Char('-')))
                    ++j;
                if (j < n && sql[j].isDigit()) {
                    i = j;
                    while (i < n && sql[i].isDigit())
                        ++i;
                }
            }
            out.push_back({Tok::Number, sql.mid(start, i - start), {}});
        } else if (c == QLatin1Char('(')) {
            ++i;
            out.push_back({Tok::Open, QStringLiteral("("), {}});
        } else if (c == QLatin1Char(')')) {
            ++i;
            out.push_back({Tok::Close, QStringLiteral(")"), {}});
        } else {
            static const char *const twoChar[] = {"<>", "<=", ">=", "!=", "||"};
            const QString two = sql.mid(i, 2);
            bool matched = false;
            for (const char *t : twoChar) {
                if (two == QLatin1String(t)) {
                    i += 2;
                    out.push_back({Tok::Op, two, {}});
                    matched = true;
                    break;
                }
            }
            if (!matched) {
                ++i;
                static const QString ops = QStringLiteral("=<>+-*/,;.&");
                out.push_back({ops.contains(c) ? Tok::Op : Tok::Other, QString(c), {}});
            }
        }
    }
    return out;
}

// What the text shows of an operand of `+`.
enum class Kind { Text, Number, Unknown };

// One translated piece of a level: a token, a parenthesised group or a
// replacement that took several tokens.
struct Item
{
    QString text;
    Kind kind = Kind::Unknown;
    bool space = false;
    bool plus = false;     // the operator +
    bool boundary = false; // ends an operand: comparison, comma, keyword
    bool op = false;       // an arithmetic operator, after which + is a sign
};

bool isKeyword(const QString &lower)
{
    static const QSet<QString> keywords = {
        QStringLiteral("select"),  QStringLiteral("from"),     QStringLiteral("where"),
        QStringLiteral("and"),     QStringLiteral("or"),       QStringLiteral("not"),
        QStringLiteral("as"),      QStringLiteral("order"),    QStringLiteral("by"),
        QStringLiteral("group"),   QStringLiteral("having"),   QStringLiteral("set"),
        QStringLiteral("update"),  QStringLiteral("delete"),   QStringLiteral("insert"),
        QStringLiteral("into"),    QStringLiteral("values"),   QStringLiteral("on"),
        QStringLiteral("join"),    QStringLiteral("inner"),    QStringLiteral("left"),
        QStringLiteral("right"),   QStringLiteral("outer"),    QStringLiteral("is"),
        QStringLiteral("like"),    QStringLiteral("between"),  QStringLiteral("in"),
        QStringLiteral("case"),    QStringLiteral("when"),     QStringLiteral("then"),
        QStringLiteral("else"),    QStringLiteral("end"),      QStringLiteral("asc"),
        QStringLiteral("desc"),    QStringLiteral("distinct"), QStringLiteral("union"),
        QStringLiteral("all"),     QStringLiteral("exists"),   QStringLiteral("limit"),
        QStringLiteral("explain"), QStringLiteral("query"),    QStringLiteral("plan"),
    };
    return keywords.contains(lower);
}

bool isAscii(const QString &s)
{
    for (QChar c : s) {
        if (c.unicode() > 0x7f)
            return false;
    }
    return true;
}

// Jet reads 0012 as twelve; written without the leading zeros no engine can
// take it for anything else.
QString plainNumber(const QString &digits)
{
    qsizetype i = 0;
    while (i + 1 < digits.size() && digits[i] == QLatin1Char('0') && digits[i + 1].isDigit())
        ++i;
    return digits.mid(i);
}

class Walker
{
public:
    Walker(const SqlDialect &dialect, const QString &sql)
        : m_dialect(dialect), m_sql(sql), m_tokens(tokenize(sql))
    {
        for (const Token &t : m_tokens) {
            if (t.kind != Tok::Space) {
                m_update = t.kind == Tok::Word && t.value == QLatin1String("update");
                break;
            }
        }
    }

    QString run()
    {
        m_dialect.beginStatement(relations());
        Kind kind;
        return level(0, m_tokens.size(), true, &kind);
    }

private:
    [[noreturn]] void fail(const QString &why) const
    {
        throw DataError(DataError::Kind::Query, why, m_sql);
    }

    // The names written after from, update, join and into, and after a comma
    // that follows one of them.
    QStringList relations() const
    {
        QStringList out;
        // 1: a name is due; 2: just after one (an alias may follow); 3: after its alias.
        int state = 0;
        for (const Token &t : m_tokens) {
            if (t.kind == Tok::Space)
                continue;
            const bool name = t.kind == Tok::Bracket || t.kind == Tok::Word;
            if (t.kind == Tok::Word &&
                (t.value == QLatin1String("from") || t.value == QLatin1String("update") ||
                 t.value == QLatin1String("join") || t.value == QLatin1String("into"))) {
                state = 1;
            } else if (state == 1 && name) {
                out << (t.kind == Tok::Bracket ? t.value : t.text);
                state = 2;
            } else if (state == 2 && name && !isKeyword(t.value)) {
                state = 3;
            } else if (state == 2 && t.kind == Tok::Word && t.value == QLatin1String("as")) {
                state = 2;
            } else {
                state =
                    (state == 2 || state == 3) && t.kind == Tok::Op && t.text == QLatin1String(",")
                        ? 1
                        : 0;
            }
        }
        return out;
    }

    // The next token after `i` that is not blank, or the end.
    size_t next(size_t i, size_t end) const
    {
        ++i;
        while (i < end && m_tokens[i].kind == Tok::Space)
            ++i;
        return i;
    }

    bool isWord(size_t i, size_t end, const char *lower) const
    {
        return i < end && m_tokens[i].kind == Tok::Word &&
               m_tokens[i].value == QLatin1String(lower);
    }

    size_t matchingClose(size_t open, size_t end) const
    {
        int depth = 0;
        for (size_t i = open; i < end; ++i) {
            if (m_tokens[i].kind == Tok::Open)
                ++depth;
            else if (m_tokens[i].kind == Tok::Close && --depth == 0)
                return i;
        }
        fail(QStringLiteral("Paréntesis sin cierre."));
    }

    // The short date form of the system, with a two-digit year where it has
    // four; an ISO date is taken too.
    QDate readDate(const QString &text) const
    {
        QDate date = core::ShortDate::parse(text, m_dialect.shortDateFormat());
        if (!date.isValid())
            date = QDate::fromString(text.trimmed(), Qt::ISODate);
        if (!date.isValid())
            fail(QStringLiteral("Fecha no válida en datevalue: '%1'.").arg(text));
        return date;
    }

    // Translates the tokens [begin, end) of one parenthesis level.
    QString level(size_t begin, size_t end, bool top, Kind *kind)
    {
        std::vector<Item> items;
        bool inSet = false;
        for (size_t i = begin; i < end;) {
            const Token &t = m_tokens[i];
            Item item;
            switch (t.kind) {
            case Tok::Space:
                item.text = t.text;
                item.space = true;
                break;
            case Tok::String:
                item.text = m_dialect.textLiteral(t.value);
                item.kind = Kind::Text;
                break;
            case Tok::Bracket:
                item.text = m_dialect.identifier(t.value, true);
                break;
            case Tok::Number:
                item.text = plainNumber(t.text);
                item.kind = Kind::Number;
                break;
            case Tok::Open: {
                const size_t close = matchingClose(i, end);
                Kind inner;
                item.text =
                    QLatin1Char('(') + level(i + 1, close, false, &inner) + QLatin1Char(')');
                item.kind = inner;
                items.push_back(item);
                i = close + 1;
                continue;
            }
            case Tok::Close:
                fail(QStringLiteral("Paréntesis de cierre sin apertura."));
            case Tok::Op: {
                const QString &op = t.text;
                const bool comparison = op == QLatin1String("=") || op == QLatin1String("<>") ||
                                        op == QLatin1String("!=") || op == QLatin1String("<") ||
                                        op == QLatin1String(">") || op == QLatin1String("<=") ||
                                        op == QLatin1String(">=");
                const size_t after = next(i, end);
                // `X=null` holds when X has no value; in an update's Set it stores a null.
                if ((op == QLatin1String("=") && !inSet) || op == QLatin1String("<>")) {
                    if (isWord(after, end, "null")) {
                        const bool spaced = !items.empty() && items.back().space;
                        item.text = (spaced ? QString() : QStringLiteral(" ")) +
                                    (op == QLatin1String("=") ? QStringLiteral("IS NULL")
                                                              : QStringLiteral("IS NOT NULL"));
                        item.boundary = true;
                        items.push_back(item);
                        i = after + 1;
                        continue;
                    }
                }
                item.text = op;
                item.plus = op == QLatin1String("+");
                item.boundary = comparison || op == QLatin1String(",") || op == QLatin1String(";");
                item.op = !item.plus && !item.boundary;
                break;
            }
            case Tok::Word: {
                const QString &w = t.value;
                const size_t after = next(i, end);
                const bool call = after < end && m_tokens[after].kind == Tok::Open;
                const bool qualified = !items.empty() && items.back().text == QLatin1String(".");
                if (w == QLatin1String("datevalue") && call) {
                    const size_t arg = next(after, end);
                    const size_t close = arg < end ? next(arg, end) : end;
                    if (arg < end && m_tokens[arg].kind == Tok::String && close < end &&
                        m_tokens[close].kind == Tok::Close) {
                        item.text = m_dialect.dateLiteral(readDate(m_tokens[arg].value));
                        items.push_back(item);
                        i = close + 1;
                        continue;
                    }
                }
                if (top && w == QLatin1String("delete")) {
                    const size_t star = after;
                    const size_t from = star < end ? next(star, end) : end;
                    if (star < end && m_tokens[star].text == QLatin1String("*") &&
                        isWord(from, end, "from")) {
                        item.text = QStringLiteral("DELETE FROM");
                        item.boundary = true;
                        items.push_back(item);
                        i = from + 1;
                        continue;
                    }
                }
                if ((w == QLatin1String("true") || w == QLatin1String("false")) && !call &&
                    !qualified) {
                    item.text = m_dialect.booleanLiteral(w == QLatin1String("true"));
                    item.kind = Kind::Number;
                } else if (isKeyword(w) &&
                           !(call && (w == QLatin1String("left") || w == QLatin1String("right")))) {
                    item.text = t.text;
                    item.boundary = true;
                    if (top && m_update && w == QLatin1String("set"))
                        inSet = true;
                    else if (top && w == QLatin1String("where"))
                        inSet = false;
                } else if (w == QLatin1String("null") || call) {
                    item.text = t.text;
                } else {
                    item.text = m_dialect.plainName(t.text);
                }
                break;
            }
            case Tok::Other:
                item.text = t.text;
                break;
            }
            items.push_back(item);
            ++i;
        }
        return joinLevel(items, kind);
    }

    // Splits a level at its boundaries and rewrites each `+` chain.
    QString joinLevel(const std::vector<Item> &items, Kind *kind)
    {
        QString out;
        size_t segments = 0;
        Kind last = Kind::Unknown;
        size_t i = 0;
        while (i < items.size()) {
            if (items[i].boundary) {
                out += items[i].text;
                ++i;
                continue;
            }
            size_t j = i;
            while (j < items.size() && !items[j].boundary)
                ++j;
            out += segment(items, i, j, &last);
            ++segments;
            i = j;
        }
        bool anyBoundary = false;
        for (const Item &item : items)
            anyBoundary = anyBoundary || item.boundary;
        *kind = segments == 1 && !anyBoundary ? last : Kind::Unknown;
        return out;
    }

    QString segment(const std::vector<Item> &items, size_t begin, size_t end, Kind *kind)
    {
        // Operands between binary `+`; a `+` after nothing or after an operator is a sign.
        std::vector<std::pair<size_t, size_t>> operands;
        size_t start = begin;
        const Item *previous = nullptr;
        for (size_t i = begin; i < end; ++i) {
            const Item &item = items[i];
            if (item.space)
                continue;
            if (item.plus && previous && !previous->op && !previous->plus) {
                operands.emplace_back(start, i);
                start = i + 1;
            }
            previous = &item;
        }
        operands.emplace_back(start, end);

        auto text = [&](size_t b, size_t e) {
            QString s;
            for (size_t i = b; i < e; ++i)
                s += items[i].text;
            return s;
        };
        auto operandKind = [&](size_t b, size_t e) {
            std::vector<const Item *> significant;
            for (size_t i = b; i < e; ++i) {
                if (!items[i].space)
                    significant.push_back(&items[i]);
            }
            if (significant.size() == 1)
                return significant[0]->kind;
            if (significant.size() == 2 && significant[0]->op &&
                significant[0]->text == QLatin1String("-") && significant[1]->kind == Kind::Number)
                return Kind::Number;
            return Kind::Unknown;
        };

        auto empty = [&](size_t b, size_t e) {
            for (size_t i = b; i < e; ++i) {
                if (!items[i].space)
                    return false;
            }
            return true;
        };
        bool anyEmpty = false;
        for (const auto &[b, e] : operands)
            anyEmpty = anyEmpty || empty(b, e);
        if (operands.size() == 1 || anyEmpty) {
            // A lone `+` at the end is the engine's syntax error to report.
            *kind = operands.size() == 1 ? operandKind(begin, end) : Kind::Unknown;
            return text(begin, end);
        }

        // Jet's `+` joins texts and adds numbers. A chain with a text literal
        // in it is text, one of number literals only is a sum; for the rest
        // (columns) the engine decides per row.
        bool anyText = false, allNumbers = true;
        for (const auto &[b, e] : operands) {
            const Kind k = operandKind(b, e);
            anyText = anyText || k == Kind::Text;
            allNumbers = allNumbers && k == Kind::Number;
        }
        if (allNumbers && !anyText) {
            *kind = Kind::Number;
            return text(begin, end);
        }

        // Keep the blanks around the chain where they were.
        size_t lead = begin;
        while (lead < end && items[lead].space)
            ++lead;
        size_t trail = end;
        while (trail > lead && items[trail - 1].space)
            --trail;
        QStringList parts;
        for (auto [b, e] : operands) {
            b = std::max(b, lead);
            e = std::min(e, trail);
            size_t sig = 0;
            for (size_t i = b; i < e; ++i)
                sig += items[i].space ? 0 : 1;
            const QString part = text(b, e).trimmed();
            // The engines' join operators bind tighter than arithmetic.
            parts << (sig > 1 ? QLatin1Char('(') + part + QLatin1Char(')') : part);
        }
        *kind = anyText ? Kind::Text : Kind::Unknown;
        return text(begin, lead) +
               (anyText ? m_dialect.joinText(parts) : m_dialect.plusOfUnknown(parts)) +
               text(trail, end);
    }

    const SqlDialect &m_dialect;
    const QString &m_sql;
    std::vector<Token> m_tokens;
    bool m_update = false;
};

} // namespace

SqlDialect::SqlDialect(QString shortDateFormat) : m_shortDateFormat(std::move(shortDateFormat)) {}

SqlDialect::~SqlDialect() = default;

QString SqlDialect::translate(const QString &jetSql) const
{
    return Walker(*this, jetSql).run();
}

QString SqlDialect::plainName(const QString &name) const
{
    return isAscii(name) ? name : identifier(name, false);
}

void SqlDialect::beginStatement(const QStringList &) const {}

QString SqlDialect::textLiteral(const QString &text) const
{
    QString escaped = text;
    escaped.replace(QLatin1Char('\''), QStringLiteral("''"));
    return QLatin1Char('\'') + escaped + QLatin1Char('\'');
}

} // namespace db
