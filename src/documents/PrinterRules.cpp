#include "documents/PrinterRules.h"

#include "core/Formato.h"

#include <cmath>

namespace documents {

namespace {
double round2(double v)
{
    return std::round(v * 100.0) / 100.0;
}
} // namespace

int PrinterRules::codigoImpuesto(double porcentImpuesto, double tasa1, double tasa2, double tasa3,
                                 int previous)
{
    const double p = round2(porcentImpuesto * 100.0);
    int code = previous;
    if (p == 0.0)
        code = 0;
    if (p == round2(tasa1))
        code = 1;
    if (p == round2(tasa2))
        code = 2;
    if (p == round2(tasa3))
        code = 3;
    return code;
}

int PrinterRules::posicionTasa(double porcentImpuesto, double tasa1, double tasa2, double tasa3)
{
    return codigoImpuesto(porcentImpuesto, tasa1, tasa2, tasa3, -1);
}

bool PrinterRules::cabe(double monto, int ancho, int decimales)
{
    return core::Formato::Cifras(monto, ancho, decimales).size() <= ancho;
}

bool PrinterRules::esCero(double monto, int decimales)
{
    const QString digits = core::Formato::Cifras(monto, 1, decimales);
    return digits.count(QLatin1Char('0')) == digits.size();
}

bool PrinterRules::descuentoValido(double Desc01)
{
    if (!(Desc01 > 0) || esCero(Desc01, 2))
        return false;
    const QString digits = core::Formato::Cifras(Desc01, 4, 2);
    return digits.size() < 5 || digits == QLatin1String("10000");
}

QString PrinterRules::codigoMedioPago(const QVariant &TipoMecanismo)
{
    static const char *const kCodes[] = {"201", "205", "209", "210", "213",
                                         "214", "207", "215", "216"};
    if (TipoMecanismo.isNull())
        return QStringLiteral("201");
    bool ok = false;
    const double v = TipoMecanismo.toDouble(&ok);
    if (!ok || v != std::floor(v) || v < 0 || v > 8)
        return QStringLiteral("201");
    return QString::fromLatin1(kCodes[static_cast<int>(v)]);
}

QString PrinterRules::comandoDescuento(double Desc01)
{
    return QStringLiteral("p-") + core::Formato::Cifras(Desc01, 4, 2);
}

QString PrinterRules::comandoPago(const QVariant &TipoMecanismo, double Monto)
{
    return codigoMedioPago(TipoMecanismo) + core::Formato::Cifras(Monto, 12, 2);
}

bool PrinterRules::soloDigitos(const QString &text)
{
    if (text.isEmpty())
        return false;
    for (QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    }
    return true;
}

} // namespace documents
