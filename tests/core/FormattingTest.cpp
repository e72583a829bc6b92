#include "core/Formatting.h"
#include "support/QtPrinters.h"

#include <gtest/gtest.h>

using core::Formatting;

TEST(Formatting, TextsForThePrinter)
{
    using F = QString (*)(const QString &);
    const std::tuple<const char *, F, const char *, const char *> cases[] = {
        {"the twelve accented letters", Formatting::LimpioCadena, "ÁÉÍÓÚáéíóúÑñ", "AEIOUaeiouNn"},
        {"other letters and blanks kept", Formatting::LimpioCadena, " Müller çÜ àè ",
         " Müller çÜ àè "},
        {"control characters to blanks, one for one", Formatting::printableText,
         "a\r\n\t\x07\x1b\x7f\u0085b\u00f1", "a       b\u00f1"},
        {"long RIF cut", Formatting::Decoro_RIF, "J1234567890XYZ", "J-12345678-9"},
    };
    for (const auto &[name, format, input, expected] : cases)
        EXPECT_EQ(format(QString::fromUtf8(input)), QString::fromUtf8(expected)) << name;
}

TEST(Formatting, CifrasRoundsHalfAwayFromZeroAndNeverCuts)
{
    // Amount, width, implied decimals (2 for a price, 3 for a quantity). Decimal
    // texts round as written (1.005), not as their binary approximations.
    const std::tuple<double, int, int, const char *> cases[] = {
        {1234.5, 10, 2, "0000123450"},  {1, 8, 3, "00001000"},
        {-1234.5, 10, 2, "0000123450"}, {0, 10, 2, "0000000000"},
        {0.07, 10, 2, "0000000007"},    {0.125, 10, 2, "0000000013"},
        {1e-9, 10, 2, "0000000000"},    {9.999, 10, 2, "0000001000"},
        {99.995, 4, 2, "10000"},        {123456789.5, 10, 2, "12345678950"},
        {1.005, 4, 2, "0101"},          {2.675, 4, 2, "0268"},
        {1.0005, 8, 3, "00001001"}};
    for (const auto &[amount, width, decimals, expected] : cases)
        EXPECT_EQ(Formatting::Cifras(amount, width, decimals), QLatin1String(expected)) << amount;
}

TEST(Formatting, TextoNumeroHasALeadingBlankUnlessNegativeAndAPeriod)
{
    // The tests run in a Spanish locale, whose decimal separator is a comma.
    const std::pair<double, const char *> cases[] = {
        {4.15, " 4.15"},       {0, " 0"},     {-0.0, " 0"},       {-2.5, "-2.5"},
        {1234567, " 1234567"}, {100, " 100"}, {0.1 + 0.2, " 0.3"}};
    for (const auto &[value, expected] : cases)
        EXPECT_EQ(Formatting::TextoNumero(value), QLatin1String(expected)) << value;
}
