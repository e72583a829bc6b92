#include "core/CodePage.h"

namespace core {

namespace {
constexpr char kSubstitute = 0x1A; // what ICU writes for a character it cannot map
}

CodePage::CodePage(const QString &name) : m_name(name), m_nameBytes(name.toLatin1())
{
    QStringEncoder probe(m_nameBytes.constData());
    m_valid = probe.isValid();
    if (!m_valid)
        return;
    m_eightBit = true;
    for (char c = 0x20; c < 0x7f && m_eightBit; ++c)
        m_eightBit =
            QByteArray(QStringEncoder(m_nameBytes.constData()).encode(QString(QLatin1Char(c)))) ==
            QByteArray(1, c);
    for (const char16_t c : {u'\u00e9', u'\u00f1', u'\u20ac', u'\u0416', u'\u4e2d', u'\u3042'}) {
        const QByteArray bytes = QStringEncoder(m_nameBytes.constData()).encode(QString(QChar(c)));
        if (bytes.size() > 1)
            m_eightBit = false;
    }
}

QByteArray CodePage::fromUnicode(const QString &text) const
{
    QStringEncoder encoder(m_nameBytes.constData());
    QByteArray out = encoder.encode(text);
    if (!out.contains(kSubstitute))
        return out;
    // Tell a character that was not mapped from a control character 0x1A
    // that really stood in the text.
    out.clear();
    for (qsizetype i = 0; i < text.size(); ++i) {
        qsizetype len = (text[i].isHighSurrogate() && i + 1 < text.size()) ? 2 : 1;
        const QString one = text.mid(i, len);
        QStringEncoder single(m_nameBytes.constData());
        QByteArray bytes = single.encode(one);
        if (bytes == QByteArray(1, kSubstitute) && one != QString(QChar(0x1A)))
            bytes = QByteArray(1, '?');
        out += bytes;
        i += len - 1;
    }
    return out;
}

QString CodePage::toUnicode(const QByteArray &bytes) const
{
    QStringDecoder decoder(m_nameBytes.constData());
    return decoder.decode(bytes);
}

} // namespace core
