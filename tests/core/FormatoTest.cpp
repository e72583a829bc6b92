#include "core/Formato.h"

#include <gtest/gtest.h>

using core::Formato;

namespace {

struct TextCase
{
    const char *input;
    const char *expected;
};

TEST(LimpioCadena, ReplacesTheTwelveAccentedLettersOnly)
{
    const TextCase cases[] = {
        {"Ñandú Pérez", "Nandu Perez"},   {"PEÑA", "PENA"},       {"Müller", "Müller"},
        {"ÁÉÍÓÚáéíóúÑñ", "AEIOUaeiouNn"}, {"çÇüÜ àè", "çÇüÜ àè"}, {"", ""},
        {"  Limón  ", "  Limon  "},
    };
    for (const auto &c : cases)
        EXPECT_EQ(Formato::LimpioCadena(QString::fromUtf8(c.input)), QString::fromUtf8(c.expected))
            << c.input;
}

struct AmountCase
{
    double amount;
    int width;
    int decimals;
    const char *expected;
};

TEST(Cifras, WritesImpliedDecimalDigitsPaddedNeverCut)
{
    const AmountCase cases[] = {
        {1234.5, 10, 2, "0000123450"},
        {-1234.5, 10, 2, "0000123450"},
        {1, 8, 3, "00001000"},
        {0.125, 8, 3, "00000125"},
        {0, 10, 2, "0000000000"},
        {0.125, 10, 2, "0000000013"},
        {123456789.5, 10, 2, "12345678950"},
        {123.45, 10, 2, "0000012345"},
        {2, 8, 3, "00002000"},
        // Rounding that carries into the units gives the rounded whole.
        {9.999, 10, 2, "0000001000"},
        {0.9996, 8, 3, "00001000"},
        {99.995, 4, 2, "10000"},
        // Decimal texts round as written, not as their binary approximations.
        {1.005, 4, 2, "0101"},
        {2.675, 4, 2, "0268"},
        {0.285, 4, 2, "0029"},
        {1.0005, 8, 3, "00001001"},
        // Fewer decimals than asked come out exactly.
        {12.5, 4, 2, "1250"},
        {100, 4, 2, "10000"},
        {5.5, 4, 2, "0550"},
        {0.07, 10, 2, "0000000007"},
        {1e-9, 10, 2, "0000000000"},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(Formato::Cifras(c.amount, c.width, c.decimals), QLatin1String(c.expected))
            << c.amount << " width " << c.width << " decimals " << c.decimals;
        EXPECT_EQ(Formato::FormatoMonto(c.amount, c.width, c.decimals),
                  Formato::Cifras(c.amount, c.width, c.decimals));
    }
}

TEST(DecoroRif, InsertsTheTwoDashesWithoutChecking)
{
    const TextCase cases[] = {
        {"J123456789", "J-12345678-9"},     {"V1234567", "V-1234567-"},      {"", "--"},
        {"J1234567890XYZ", "J-12345678-9"}, {"J-1234567-8", "J--1234567--"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(Formato::Decoro_RIF(QLatin1String(c.input)), QLatin1String(c.expected))
            << c.input;
}

TEST(TextoNumero, LeadingBlankUnlessNegativePeriodAlways)
{
    const struct
    {
        double value;
        const char *expected;
    } cases[] = {
        {4.15, " 4.15"}, {0, " 0"},     {-0.0, " 0"},  {2.02, " 2.02"},       {2.51, " 2.51"},
        {-2, "-2"},      {100, " 100"}, {4.2, " 4.2"}, {1234567, " 1234567"}, {0.1 + 0.2, " 0.3"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(Formato::TextoNumero(c.value), QLatin1String(c.expected)) << c.value;
    EXPECT_EQ(Formato::TextoNumero(qint64(12)), QLatin1String(" 12"));
    EXPECT_EQ(Formato::TextoNumero(qint64(-7)), QLatin1String("-7"));
}

} // namespace
