// Vextora.inf as the start-up reads it: decoded as UTF-8 or in the code page,
// then split into its items.
#include "core/CodePage.h"
#include "core/ConfigItemReader.h"

#include <QStringDecoder>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    static const core::CodePage codePage;
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(bytes);
    if (utf8.hasError())
        text = codePage.toUnicode(bytes);

    const QStringList items = core::ConfigItemReader::items(text);
    // Every item is a piece of the text: never more items than separators
    // allow, and an item that was not quoted holds no separator.
    qsizetype separators = 0;
    for (QChar c : text)
        separators += c == u',' || c == u'\r' || c == u'\n';
    if (items.size() > separators + 1)
        std::abort();
    for (const QString &item : items) {
        if (item.size() > text.size())
            std::abort();
        if (!text.contains(u'"') &&
            (item.contains(u',') || item.contains(u'\r') || item.contains(u'\n')))
            std::abort();
    }
    // Caja: is read as a whole number by position 6.
    if (items.size() >= 6)
        (void)items[5].mid(5).trimmed().toInt();
    return 0;
}
