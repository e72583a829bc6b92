#include "core/ConfigItemReader.h"

namespace core {

namespace {
bool isLineEnd(QChar c)
{
    return c == QLatin1Char('\r') || c == QLatin1Char('\n');
}

// Steps over one line end at position i: CR, LF, or CRs followed by LF. A
// file copied twice in text mode carries CR CR LF, still one line end.
qsizetype skipLineEnd(const QString &text, qsizetype i)
{
    qsizetype j = i;
    while (j < text.size() && text[j] == QLatin1Char('\r'))
        ++j;
    if (j < text.size() && text[j] == QLatin1Char('\n'))
        return j + 1;
    return i + 1;
}
} // namespace

QStringList ConfigItemReader::items(const QString &text)
{
    QStringList out;
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n) {
        while (i < n && (text[i] == QLatin1Char(' ') || text[i] == QLatin1Char('\t')))
            ++i;
        QString item;
        if (i < n && text[i] == QLatin1Char('"')) {
            ++i;
            while (i < n && text[i] != QLatin1Char('"'))
                item += text[i++];
            if (i < n)
                ++i; // the closing quote
            // Whatever stands between the quote and the separator is dropped.
            while (i < n && text[i] != QLatin1Char(',') && !isLineEnd(text[i]))
                ++i;
        } else {
            while (i < n && text[i] != QLatin1Char(',') && !isLineEnd(text[i]))
                item += text[i++];
        }
        out << item;
        if (i >= n)
            break;
        if (text[i] == QLatin1Char(',')) {
            ++i;
            // A comma at the very end of the text still closes an item.
            if (i >= n)
                out << QString();
        } else {
            i = skipLineEnd(text, i);
        }
    }
    return out;
}

} // namespace core
