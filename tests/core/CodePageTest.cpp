#include "core/CodePage.h"
#include "support/QtPrinters.h"

#include <gtest/gtest.h>

TEST(CodePage, Windows1252HoldsSpanishAndMarksTheRestWithQuestionMarks)
{
    const core::CodePage cp;
    const std::tuple<const char *, QString, QByteArray> cases[] = {
        {"Spanish letters and the euro", QString::fromUtf8("Peña ó €"), "Pe\xf1\x61 \xf3 \x80"},
        {"unmappable", QString::fromUtf8("日本"), "??"},
        {"one mark for a surrogate pair", QString::fromUtf8("a😀b"), "a?b"},
        {"a real U+001A kept", QStringLiteral("a\x1a") + QString::fromUtf8("日"), "a\x1a?"},
    };
    for (const auto &[name, text, bytes] : cases)
        EXPECT_EQ(cp.fromUnicode(text), bytes) << name;
    EXPECT_EQ(cp.toUnicode("Pe\xf1\x61 \x80"), QString::fromUtf8("Peña €"));
    EXPECT_TRUE(core::CodePage(QStringLiteral("IBM850")).isValid());
    EXPECT_FALSE(core::CodePage(QStringLiteral("no-such-code-page")).isValid());
}
