#include "core/CodePage.h"

#include <gtest/gtest.h>

using core::CodePage;

TEST(CodePage, Windows1252HoldsSpanishAndMarksTheRestWithQuestionMarks)
{
    const CodePage cp;
    ASSERT_TRUE(cp.isValid());
    const struct
    {
        const char *text;
        QByteArray bytes;
    } cases[] = {
        {"Peña", QByteArray("Pe\xf1"
                            "a")},
        {"Facturación €", QByteArray("Facturaci\xf3n \x80")},
        {"日本", QByteArray("??")},
        {"a😀b", QByteArray("a?b")},
        {"plain", QByteArray("plain")},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(cp.fromUnicode(QString::fromUtf8(c.text)), c.bytes) << c.text;
    }
    // A control character 0x1A that really stands in the text is kept.
    EXPECT_EQ(cp.fromUnicode(QStringLiteral("a\x1a") + QString::fromUtf8("日")),
              QByteArray("a\x1a?"));
    EXPECT_EQ(cp.toUnicode(QByteArray("Pe\xf1"
                                      "a \x80")),
              QString::fromUtf8("Peña €"));
}

TEST(CodePage, UnknownNameIsInvalid)
{
    EXPECT_FALSE(CodePage(QStringLiteral("no-such-code-page")).isValid());
    EXPECT_TRUE(CodePage(QStringLiteral("IBM850")).isValid());
}
