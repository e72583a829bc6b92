#include "core/ShortDate.h"
#include "support/QtPrinters.h"

#include <gtest/gtest.h>

TEST(ShortDate, TwoDigitYearsAsWindowsReadsThemInEitherFormat)
{
    // Format, text, the date read (empty: none).
    const std::tuple<const char *, const char *, const char *> cases[] = {
        {"dd/MM/yyyy", "06/12/2026", "2026-12-06"},
        {"dd/MM/yyyy", " 06/12/29 ", "2029-12-06"},
        {"dd/MM/yyyy", "06/12/30", "1930-12-06"},
        {"dd/MM/yyyy", "01/01/00", "2000-01-01"},
        {"d/M/yy", "31/12/29", "2029-12-31"},
        {"d/M/yy", "1/1/30", "1930-01-01"},
        {"d/M/yy", "6/12/99", "1999-12-06"},
        {"dd/MM/yy", "29/02/00", "2000-02-29"},
        {"dd/MM/yyyy", "29/02/00", "2000-02-29"},
        {"dd/MM/yyyy", "29/02/1900", ""},
        {"MM/dd/yyyy", "12/06/26", "2026-12-06"},
        {"yy-MM-dd", "26-12-06", "2026-12-06"},
        {"dd/MM/yy", "06/12/2026", ""},
        {"dd/MM/yyyy", "31/31/26", ""},
        {"dd/MM/yyyy", "06/12/026", ""},
        {"dd/MM/yyyy", "2026-12-06", ""},
        {"dd/MM/yyyy", "abc", ""},
        {"dd/MM/yyyy", "", ""},
    };
    for (const auto &[format, text, expected] : cases)
        EXPECT_EQ(core::ShortDate::parse(QString::fromUtf8(text), QString::fromUtf8(format))
                      .toString(Qt::ISODate),
                  QString::fromUtf8(expected))
            << format << " " << text;
}
