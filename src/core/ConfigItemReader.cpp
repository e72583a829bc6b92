#include "core/ConfigItemReader.h"

namespace core {

namespace {
bool isLineEnd(QChar c)
{
    return c == QLatin1Char('\r') || c == QLatin1Char('\n');
}

// Steps over one line end (CR, LF or CR LF) at position i.
qsizetype skipLineEnd(const QString &text, qsizetype i)
{
    if (text[i] == QLatin1Char('\r') && i + 1 < text.size() && text[i + 1] == QLatin1Char('\n'))
        return i + 2;
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
