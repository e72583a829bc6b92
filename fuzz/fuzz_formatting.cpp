// The fields of the printer's commands: amounts with implied decimals, texts
// cleaned for the printer, the RIF display and numbers for messages and SQL.
#include "core/Formatting.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

using core::Formatting;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 10)
        return 0;
    double amount;
    std::memcpy(&amount, data, sizeof amount);
    const int width = data[8] % 24;
    const int decimals = data[9] % 5;
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data) + 10,
                                           static_cast<qsizetype>(size - 10));

    const QString digits = Formatting::Cifras(amount, width, decimals);
    if (digits.size() < width || digits.size() < decimals + 1)
        std::abort();
    for (QChar c : digits) {
        if (c < u'0' || c > u'9')
            std::abort();
    }
    // The digits read back as the amount, rounded to the decimals.
    const double absolute = std::isfinite(amount) ? std::fabs(amount) : 0.0;
    if (absolute < 1e12) {
        const double back = digits.toDouble() / std::pow(10.0, decimals);
        if (std::fabs(back - absolute) > 0.5 * std::pow(10.0, -decimals) + absolute * 1e-12)
            std::abort();
    }
    if (Formatting::FormatoMonto(amount, width, decimals) != digits)
        std::abort();

    const QString cleaned = Formatting::LimpioCadena(text);
    const QString printable = Formatting::printableText(text);
    if (cleaned.size() != text.size() || printable.size() != text.size())
        std::abort();
    for (QChar c : printable) {
        if (c.category() == QChar::Other_Control)
            std::abort();
    }
    (void)Formatting::Decoro_RIF(text);
    const QString number = Formatting::TextoNumero(amount);
    if (number.isEmpty() || number.contains(u','))
        std::abort();
    qint64 integer;
    std::memcpy(&integer, data, sizeof integer);
    if (Formatting::TextoNumero(integer).trimmed().toLongLong() != integer)
        std::abort();
    return 0;
}
