// The fields of the printer's commands: amounts with implied decimals, texts
// cleaned for the printer, the RIF display and numbers for messages and SQL.
#include "core/Formato.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

using core::Formato;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 10)
        return 0;
    double monto;
    std::memcpy(&monto, data, sizeof monto);
    const int largo = data[8] % 24;
    const int decimales = data[9] % 5;
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data) + 10,
                                           static_cast<qsizetype>(size - 10));

    const QString digits = Formato::Cifras(monto, largo, decimales);
    if (digits.size() < largo || digits.size() < decimales + 1)
        std::abort();
    for (QChar c : digits) {
        if (c < u'0' || c > u'9')
            std::abort();
    }
    // The digits read back as the amount, rounded to the decimals.
    const double absolute = std::isfinite(monto) ? std::fabs(monto) : 0.0;
    if (absolute < 1e12) {
        const double back = digits.toDouble() / std::pow(10.0, decimales);
        if (std::fabs(back - absolute) > 0.5 * std::pow(10.0, -decimales) + absolute * 1e-12)
            std::abort();
    }
    if (Formato::FormatoMonto(monto, largo, decimales) != digits)
        std::abort();

    const QString limpio = Formato::LimpioCadena(text);
    const QString imprimible = Formato::TextoImprimible(text);
    if (limpio.size() != text.size() || imprimible.size() != text.size())
        std::abort();
    for (QChar c : imprimible) {
        if (c.category() == QChar::Other_Control)
            std::abort();
    }
    (void)Formato::Decoro_RIF(text);
    const QString numero = Formato::TextoNumero(monto);
    if (numero.isEmpty() || numero.contains(u','))
        std::abort();
    qint64 entero;
    std::memcpy(&entero, data, sizeof entero);
    if (Formato::TextoNumero(entero).trimmed().toLongLong() != entero)
        std::abort();
    return 0;
}
