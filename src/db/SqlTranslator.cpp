#include "db/SqlTranslator.h"

#include "core/ShortDate.h"
#include "core/Texts.h"
#include "db/DataError.h"
#include "db/SqlDialect.h"
#include "db/SqlLexer.h"

#include <QSet>
#include <algorithm>
#include <optional>
#include <vector>

namespace db {

namespace {

using Tok = SqlToken::Kind;

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

using Items = std::vector<Item>;
// Items [first, second) of a level.
using Range = std::pair<size_t, size_t>;

// One parenthesis level being translated.
struct Level
{
    size_t end;
    bool top;
    Items items;
    // In the Set of a top-level update, where `X=null` stores a null.
    bool inSet = false;
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

bool isComparison(const QString &op)
{
    static const QSet<QString> comparisons = {
        QStringLiteral("="), QStringLiteral("<>"), QStringLiteral("!="), QStringLiteral("<"),
        QStringLiteral(">"), QStringLiteral("<="), QStringLiteral(">="),
    };
    return comparisons.contains(op);
}

QString textOf(const Items &items, Range r)
{
    QString s;
    for (size_t i = r.first; i < r.second; ++i)
        s += items[i].text;
    return s;
}

// The items of a range that are not blanks.
size_t significantCount(const Items &items, Range r)
{
    size_t count = 0;
    for (size_t i = r.first; i < r.second; ++i)
        count += items[i].space ? 0 : 1;
    return count;
}

// The range without the blanks at either end.
Range withoutBlanksAround(const Items &items, Range r)
{
    while (r.first < r.second && items[r.first].space)
        ++r.first;
    while (r.second > r.first && items[r.second - 1].space)
        --r.second;
    return r;
}

// A lone item, or a minus sign before a number.
Kind operandKind(const Items &items, Range r)
{
    std::vector<const Item *> significant;
    for (size_t i = r.first; i < r.second; ++i) {
        if (!items[i].space)
            significant.push_back(&items[i]);
    }
    if (significant.size() == 1)
        return significant[0]->kind;
    if (significant.size() == 2 && significant[0]->op &&
        significant[0]->text == QLatin1String("-") && significant[1]->kind == Kind::Number)
        return Kind::Number;
    return Kind::Unknown;
}

// The operands between binary `+`; a `+` after nothing or after an operator
// is a sign.
std::vector<Range> plusOperands(const Items &items, Range r)
{
    std::vector<Range> operands;
    size_t start = r.first;
    const Item *previous = nullptr;
    for (size_t i = r.first; i < r.second; ++i) {
        const Item &item = items[i];
        if (item.space)
            continue;
        if (item.plus && previous && !previous->op && !previous->plus) {
            operands.emplace_back(start, i);
            start = i + 1;
        }
        previous = &item;
    }
    operands.emplace_back(start, r.second);
    return operands;
}

// Numbers with leading zeros: Jet reads 0012 as twelve; written without them
// no engine can take it for anything else.
QString withoutLeadingZeros(const QString &digits)
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
        : m_dialect(dialect), m_sql(sql), m_tokens(SqlLexer::tokenize(sql))
    {
        for (const SqlToken &t : m_tokens) {
            if (t.kind != Tok::Space) {
                m_update = t.kind == Tok::Word && t.value == QLatin1String("update");
                break;
            }
        }
    }

    QString run()
    {
        m_statement.relations = relations();
        Kind kind;
        return translateLevel(0, m_tokens.size(), true, &kind);
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
        for (const SqlToken &t : m_tokens) {
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

    // A word followed by an opening parenthesis.
    bool isCall(size_t i, size_t end) const
    {
        const size_t after = next(i, end);
        return after < end && m_tokens[after].kind == Tok::Open;
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
        fail(core::texts::kUnclosedParenthesis);
    }

    // Translates the tokens [begin, end) of one parenthesis level.
    QString translateLevel(size_t begin, size_t end, bool top, Kind *kind)
    {
        Level level{end, top, {}};
        for (size_t i = begin; i < end;)
            i = piece(i, level);
        return joinLevel(level.items, kind);
    }

    // Translates the piece that starts at token `i` into the level; returns
    // the token after it.
    size_t piece(size_t i, Level &level)
    {
        const SqlToken &t = m_tokens[i];
        Item item;
        switch (t.kind) {
        case Tok::Space:
            item = {.text = t.text, .space = true};
            break;
        case Tok::String:
            item = {.text = m_dialect.textLiteral(t.value), .kind = Kind::Text};
            break;
        case Tok::Bracket:
            item.text = m_dialect.identifier(t.value, true, m_statement);
            break;
        case Tok::Number:
            item = {.text = withoutLeadingZeros(t.text), .kind = Kind::Number};
            break;
        case Tok::Open:
            return group(i, level);
        case Tok::Close:
            fail(core::texts::kUnopenedParenthesis);
        case Tok::Op:
            if (const auto after = nullComparison(i, level))
                return *after;
            item = operatorItem(t.text);
            break;
        case Tok::Word:
            if (const auto after = dateValue(i, level))
                return *after;
            if (const auto after = deleteStar(i, level))
                return *after;
            item = word(i, level);
            break;
        case Tok::Other:
            item.text = t.text;
            break;
        }
        level.items.push_back(item);
        return i + 1;
    }

    // A parenthesised group, translated as a level of its own.
    size_t group(size_t open, Level &level)
    {
        const size_t close = matchingClose(open, level.end);
        Kind inner;
        const QString text = translateLevel(open + 1, close, false, &inner);
        level.items.push_back({.text = QLatin1Char('(') + text + QLatin1Char(')'), .kind = inner});
        return close + 1;
    }

    // `X=null` holds when X has no value, `X<>null` when it has one; in an
    // update's Set, `=null` stores a null and stays.
    std::optional<size_t> nullComparison(size_t i, Level &level)
    {
        const QString &op = m_tokens[i].text;
        const bool equals = op == QLatin1String("=");
        const bool comparesWithNull = (equals && !level.inSet) || op == QLatin1String("<>");
        if (!comparesWithNull)
            return std::nullopt;
        const size_t after = next(i, level.end);
        if (!isWord(after, level.end, "null"))
            return std::nullopt;
        const bool spaced = !level.items.empty() && level.items.back().space;
        level.items.push_back(
            {.text = (spaced ? QString() : QStringLiteral(" ")) +
                     (equals ? QStringLiteral("IS NULL") : QStringLiteral("IS NOT NULL")),
             .boundary = true});
        return after + 1;
    }

    static Item operatorItem(const QString &op)
    {
        Item item{.text = op, .plus = op == QLatin1String("+")};
        item.boundary = isComparison(op) || op == QLatin1String(",") || op == QLatin1String(";");
        item.op = !item.plus && !item.boundary;
        return item;
    }

    // datevalue('<short date>') becomes the engine's date literal.
    std::optional<size_t> dateValue(size_t i, Level &level)
    {
        const size_t end = level.end;
        if (!isWord(i, end, "datevalue") || !isCall(i, end))
            return std::nullopt;
        const size_t arg = next(next(i, end), end);
        const size_t close = arg < end ? next(arg, end) : end;
        if (arg >= end || m_tokens[arg].kind != Tok::String || close >= end ||
            m_tokens[close].kind != Tok::Close)
            return std::nullopt;
        level.items.push_back({.text = m_dialect.dateLiteral(date(m_tokens[arg].value))});
        return close + 1;
    }

    // The short date form of the system, with a two-digit year where it has
    // four; an ISO date is taken too.
    QDate date(const QString &text) const
    {
        QDate date = core::ShortDate::parse(text, m_dialect.shortDateFormat());
        if (!date.isValid())
            date = QDate::fromString(text.trimmed(), Qt::ISODate);
        if (!date.isValid())
            fail(core::texts::invalidDatevalue(text));
        return date;
    }

    // Jet's `Delete * from` is the engines' DELETE FROM.
    std::optional<size_t> deleteStar(size_t i, Level &level)
    {
        const size_t end = level.end;
        if (!level.top || !isWord(i, end, "delete"))
            return std::nullopt;
        const size_t star = next(i, end);
        const size_t from = star < end ? next(star, end) : end;
        if (star >= end || m_tokens[star].text != QLatin1String("*") || !isWord(from, end, "from"))
            return std::nullopt;
        level.items.push_back({.text = QStringLiteral("DELETE FROM"), .boundary = true});
        return from + 1;
    }

    // Any other word: true or false, a keyword, null, a function or a name.
    Item word(size_t i, Level &level)
    {
        if (const auto item = trueOrFalse(i, level))
            return *item;
        if (const auto item = keyword(i, level))
            return *item;
        const SqlToken &t = m_tokens[i];
        if (t.value == QLatin1String("null") || isCall(i, level.end))
            return {.text = t.text};
        return {.text = m_dialect.plainName(t.text, m_statement)};
    }

    // true and false as the engine writes them; not a function or a column
    // qualified by its table (v.true).
    std::optional<Item> trueOrFalse(size_t i, const Level &level) const
    {
        const QString &w = m_tokens[i].value;
        const bool qualified =
            !level.items.empty() && level.items.back().text == QLatin1String(".");
        if ((w != QLatin1String("true") && w != QLatin1String("false")) || isCall(i, level.end) ||
            qualified)
            return std::nullopt;
        return Item{.text = m_dialect.booleanLiteral(w == QLatin1String("true")),
                    .kind = Kind::Number};
    }

    // A keyword stays as written and ends an operand; left( and right( are
    // the functions. Set and Where of a top-level update bound its Set.
    std::optional<Item> keyword(size_t i, Level &level) const
    {
        const SqlToken &t = m_tokens[i];
        const QString &w = t.value;
        if (!isKeyword(w) ||
            (isCall(i, level.end) && (w == QLatin1String("left") || w == QLatin1String("right"))))
            return std::nullopt;
        if (level.top && m_update && w == QLatin1String("set"))
            level.inSet = true;
        else if (level.top && w == QLatin1String("where"))
            level.inSet = false;
        return Item{.text = t.text, .boundary = true};
    }

    // Splits a level at its boundaries and rewrites each `+` chain.
    QString joinLevel(const Items &items, Kind *kind) const
    {
        QString out;
        size_t segments = 0;
        bool anyBoundary = false;
        Kind last = Kind::Unknown;
        size_t i = 0;
        while (i < items.size()) {
            if (items[i].boundary) {
                anyBoundary = true;
                out += items[i].text;
                ++i;
                continue;
            }
            size_t j = i;
            while (j < items.size() && !items[j].boundary)
                ++j;
            out += plusChain(items, {i, j}, &last);
            ++segments;
            i = j;
        }
        *kind = segments == 1 && !anyBoundary ? last : Kind::Unknown;
        return out;
    }

    // `+` joining text: Jet's `+` joins texts and adds numbers. A chain with
    // a text literal in it is text, one of number literals only is a sum;
    // for the rest (columns) the engine decides per row.
    QString plusChain(const Items &items, Range segment, Kind *kind) const
    {
        const std::vector<Range> operands = plusOperands(items, segment);
        const bool anyEmpty = std::any_of(operands.begin(), operands.end(),
                                          [&](Range r) { return significantCount(items, r) == 0; });
        if (operands.size() == 1 || anyEmpty) {
            // A lone `+` at the end is the engine's syntax error to report.
            *kind = operands.size() == 1 ? operandKind(items, segment) : Kind::Unknown;
            return textOf(items, segment);
        }
        bool anyText = false, allNumbers = true;
        for (const Range &operand : operands) {
            const Kind k = operandKind(items, operand);
            anyText = anyText || k == Kind::Text;
            allNumbers = allNumbers && k == Kind::Number;
        }
        if (allNumbers) {
            *kind = Kind::Number;
            return textOf(items, segment);
        }
        // Keep the blanks around the chain where they were.
        const Range chain = withoutBlanksAround(items, segment);
        QStringList parts;
        for (Range operand : operands) {
            operand = {std::max(operand.first, chain.first),
                       std::min(operand.second, chain.second)};
            const QString part = textOf(items, operand).trimmed();
            // The engines' join operators bind tighter than arithmetic.
            parts << (significantCount(items, operand) > 1
                          ? QLatin1Char('(') + part + QLatin1Char(')')
                          : part);
        }
        *kind = anyText ? Kind::Text : Kind::Unknown;
        return textOf(items, {segment.first, chain.first}) +
               (anyText ? m_dialect.joinText(parts) : m_dialect.plusOfUnknown(parts, m_statement)) +
               textOf(items, {chain.second, segment.second});
    }

    const SqlDialect &m_dialect;
    const QString &m_sql;
    std::vector<SqlToken> m_tokens;
    bool m_update = false;
    SqlDialect::Statement m_statement;
};

} // namespace

QString SqlTranslator::translate(const SqlDialect &dialect, const QString &jetSql)
{
    return Walker(dialect, jetSql).run();
}

} // namespace db
