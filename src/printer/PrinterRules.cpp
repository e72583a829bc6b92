#include "printer/PrinterRules.h"

#include "core/Formatting.h"

#include <cmath>

namespace printer {

namespace {
double round2(double v)
{
    return std::round(v * 100.0) / 100.0;
}
} // namespace

int PrinterRules::taxCode(double taxRate, double rate1, double rate2, double rate3, int previous)
{
    const double p = round2(taxRate * 100.0);
    int code = previous;
    if (p == 0.0)
        code = 0;
    if (p == round2(rate1))
        code = 1;
    if (p == round2(rate2))
        code = 2;
    if (p == round2(rate3))
        code = 3;
    return code;
}

int PrinterRules::ratePosition(double taxRate, double rate1, double rate2, double rate3)
{
    return taxCode(taxRate, rate1, rate2, rate3, -1);
}

bool PrinterRules::fits(double amount, int width, int decimals)
{
    return core::Formatting::Cifras(amount, width, decimals).size() <= width;
}

bool PrinterRules::isZero(double amount, int decimals)
{
    const QString digits = core::Formatting::Cifras(amount, 1, decimals);
    return digits.count(QLatin1Char('0')) == digits.size();
}

bool PrinterRules::validDiscount(double percent)
{
    if (!(percent > 0) || isZero(percent, 2))
        return false;
    const QString digits = core::Formatting::Cifras(percent, 4, 2);
    return digits.size() < 5 || digits == QLatin1String("10000");
}

QString PrinterRules::paymentMeansCode(const QVariant &means)
{
    static const char *const kCodes[] = {"201", "205", "209", "210", "213",
                                         "214", "207", "215", "216"};
    if (means.isNull())
        return QStringLiteral("201");
    bool ok = false;
    const double v = means.toDouble(&ok);
    if (!ok || v != std::floor(v) || v < 0 || v > 8)
        return QStringLiteral("201");
    return QString::fromLatin1(kCodes[static_cast<int>(v)]);
}

QString PrinterRules::discountCommand(double percent)
{
    return QStringLiteral("p-") + core::Formatting::Cifras(percent, 4, 2);
}

QString PrinterRules::paymentCommand(const QVariant &means, double amount)
{
    return paymentMeansCode(means) + core::Formatting::Cifras(amount, 12, 2);
}

bool PrinterRules::onlyDigits(const QString &text)
{
    if (text.isEmpty())
        return false;
    for (QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    }
    return true;
}

bool PrinterRules::number(const QVariant &v, double *out)
{
    if (v.isNull())
        return false;
    bool ok = false;
    *out = v.toDouble(&ok);
    return ok;
}

} // namespace printer
