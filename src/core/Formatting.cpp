#include "core/Formatting.h"

#include <charconv>
#include <cmath>
#include <string>

namespace core {

QString Formatting::LimpioCadena(const QString &text)
{
    QString out = text;
    for (QChar &c : out) {
        switch (c.unicode()) {
        case 0x00D1:
            c = QLatin1Char('N');
            break;
        case 0x00F1:
            c = QLatin1Char('n');
            break;
        case 0x00C1:
            c = QLatin1Char('A');
            break;
        case 0x00E1:
            c = QLatin1Char('a');
            break;
        case 0x00C9:
            c = QLatin1Char('E');
            break;
        case 0x00E9:
            c = QLatin1Char('e');
            break;
        case 0x00CD:
            c = QLatin1Char('I');
            break;
        case 0x00ED:
            c = QLatin1Char('i');
            break;
        case 0x00D3:
            c = QLatin1Char('O');
            break;
        case 0x00F3:
            c = QLatin1Char('o');
            break;
        case 0x00DA:
            c = QLatin1Char('U');
            break;
        case 0x00FA:
            c = QLatin1Char('u');
            break;
        default:
            break;
        }
    }
    return out;
}

QString Formatting::printableText(const QString &text)
{
    QString out = text;
    for (QChar &c : out) {
        if (c.category() == QChar::Other_Control)
            c = QLatin1Char(' ');
    }
    return out;
}

QString Formatting::Cifras(double amount, int width, int decimals)
{
    if (!std::isfinite(amount))
        amount = 0.0;
    amount = std::fabs(amount);
    const int places = decimals < 0 ? 0 : decimals;

    // The shortest decimal text that reads back as the same double, so that
    // 1.005 rounds as the 1.005 the database holds and not as 1.00499999...
    char buf[400];
    const auto res = std::to_chars(buf, buf + sizeof buf, amount, std::chars_format::fixed);
    std::string text(buf, res.ptr);
    const auto dot = text.find('.');
    std::string whole = text.substr(0, dot);
    std::string frac = dot == std::string::npos ? std::string() : text.substr(dot + 1);

    const bool roundUp = frac.size() > static_cast<size_t>(places) && frac[places] >= '5';
    frac.resize(static_cast<size_t>(places), '0');
    std::string digits = whole + frac;
    if (roundUp) {
        int i = static_cast<int>(digits.size()) - 1;
        for (; i >= 0; --i) {
            if (digits[i] == '9') {
                digits[i] = '0';
            } else {
                ++digits[i];
                break;
            }
        }
        if (i < 0)
            digits.insert(digits.begin(), '1');
    }
    // At least one integer digit, no other leading zeros before padding.
    size_t firstSignificant = 0;
    const size_t intDigits = digits.size() - static_cast<size_t>(places);
    while (firstSignificant + 1 < intDigits && digits[firstSignificant] == '0')
        ++firstSignificant;
    digits.erase(0, firstSignificant);

    QString out = QString::fromLatin1(digits.data(), static_cast<qsizetype>(digits.size()));
    if (out.size() < width)
        out.prepend(QString(width - out.size(), QLatin1Char('0')));
    return out;
}

QString Formatting::Decoro_RIF(const QString &rif)
{
    return rif.left(1) + QLatin1Char('-') + rif.mid(1, 8) + QLatin1Char('-') + rif.mid(9, 1);
}

QString Formatting::TextoNumero(double number)
{
    if (std::isnan(number) || number == 0.0)
        return QStringLiteral(" 0");
    QString digits = QString::number(number, 'g', 15);
    if (digits.startsWith(QLatin1Char('-')))
        return digits;
    return QLatin1Char(' ') + digits;
}

QString Formatting::TextoNumero(qint64 number)
{
    const QString digits = QString::number(number);
    return number < 0 ? digits : QLatin1Char(' ') + digits;
}

} // namespace core
