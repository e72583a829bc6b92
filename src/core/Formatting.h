#pragma once

#include <QString>

namespace core {

// Text and amount formatting for printer commands and display.
class Formatting
{
public:
    // Twelve accented Spanish letters to their plain letters; nothing else changes.
    static QString LimpioCadena(const QString &text);
    // A command as the printer may take it: every control character (C0, DEL,
    // C1) a blank, one for one, so that a CR LF in a customer's text never
    // feeds the fiscal paper and the fields keep their widths.
    static QString printableText(const QString &text);
    // The absolute amount as digits with `decimals` implied decimals, padded
    // with zeros on the left to `width`, never cut. Rounded half away from
    // zero on the amount's shortest exact decimal text.
    static QString Cifras(double amount, int width, int decimals);
    static QString FormatoMonto(double amount, int width, int decimals)
    {
        return Cifras(amount, width, decimals);
    }
    // J123456789 -> J-12345678-9, without any check.
    static QString Decoro_RIF(const QString &rif);
    // A number for a message, a caption or SQL: period as separator, at most
    // 15 significant digits, one leading blank when not negative.
    static QString TextoNumero(double number);
    static QString TextoNumero(qint64 number);
};

} // namespace core
