#include "effects/util/codepages.h"

#include <gtest/gtest.h>

TEST(StringToWideString, DecodesTheNamedCodePage)
{
    EXPECT_EQ(StringToWideString(1252, "caf\xe9 \x80"), QString::fromUtf8("café €"));
    EXPECT_EQ(StringToWideString(1251, "\xcf\xf0\xe8"), QString::fromUtf8("При"));
    EXPECT_EQ(StringToWideString(CP_OEMCP, "\x82"), QString::fromUtf8("é"));
    EXPECT_EQ(StringToWideString(28592, "\xb1"), QString::fromUtf8("ą"));
    EXPECT_EQ(StringToWideString(CP_UTF8, "\xe2\x82\xac"), QString::fromUtf8("€"));
    EXPECT_EQ(StringToWideString(932, "\x93\xfa\x96\x7b"), QString::fromUtf8("日本"));
}

TEST(StringToWideString, EmptyStaysEmptyAndInvalidBytesAreReplaced)
{
    EXPECT_TRUE(StringToWideString(1252, QByteArray()).isEmpty());
    EXPECT_TRUE(StringToWideString(99999, QByteArray()).isEmpty());
    // An invalid byte in the middle of UTF-8 text is replaced, the rest kept.
    EXPECT_EQ(StringToWideString(CP_UTF8, "a\xffz"), QString::fromUtf8("a\xef\xbf\xbdz"));
    // A sequence cut off at the end is replaced too.
    EXPECT_EQ(StringToWideString(CP_UTF8, "ab\xe2\x82"), QString::fromUtf8("ab\xef\xbf\xbd\xef\xbf\xbd"));
}

TEST(StringToWideString, UnknownCodePageFallsBackToTheLocaleOrQuestionMarks)
{
    // Plain ASCII reads the same in every locale character set.
    EXPECT_EQ(StringToWideString(99999, "plain"), QStringLiteral("plain"));
    EXPECT_EQ(codePageCharset(CP_ACP), codePageCharset(3));
    EXPECT_EQ(codePageCharset(1252), "CP1252");
    EXPECT_EQ(codePageCharset(28605), "ISO-8859-15");
}
