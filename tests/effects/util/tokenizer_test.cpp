#include "effects/util/tokenizer.h"

#include <gtest/gtest.h>

TEST(GetToken, ConsumesTheSeparatorThatEndsTheToken)
{
    QByteArray s = "abc def";
    EXPECT_EQ(GetToken(s), "abc");
    EXPECT_EQ(s, "def");
    s = " abc";
    EXPECT_EQ(GetToken(s), "");
    EXPECT_EQ(s, "abc");
    s = "(1,2)";
    EXPECT_EQ(GetToken(s), "");
    EXPECT_EQ(s, "1,2)");
    s = "abc";
    EXPECT_EQ(GetToken(s), "abc");
    EXPECT_EQ(s, "");
    // Only one separator goes with the token; blanks around the rest are trimmed.
    s = "a==b";
    EXPECT_EQ(GetToken(s), "a");
    EXPECT_EQ(s, "=b");
    s = "a;\t\x01 b \x1f";
    EXPECT_EQ(GetToken(s), "a");
    EXPECT_EQ(s, "b");
}

TEST(GetToken, StringAndSetSeparatorsAgree)
{
    for (const QByteArray& text : {QByteArray("x|y/z"), QByteArray("/x"), QByteArray("xyz"), QByteArray("\xe9|\xe8")}) {
        QByteArray a = text, b = text;
        const QByteArray ta = GetToken(a, QByteArray("|/"));
        const QByteArray tb = GetToken(b, tokenSeparators("|/"));
        EXPECT_EQ(ta, tb) << text.toStdString();
        EXPECT_EQ(a, b) << text.toStdString();
    }
    QByteArray s = "key:value";
    EXPECT_EQ(GetToken(s, QByteArray(" ")), "key:value"); // ':' is not in the given set
}

TEST(GetToken, ServesStringsLongerThan255Characters)
{
    const QByteArray first(300, 'a');
    const QByteArray second(270, 'b');
    QByteArray s = first + ',' + second;
    EXPECT_EQ(GetToken(s), first);
    EXPECT_EQ(s, second);
    EXPECT_EQ(GetToken(s), second);
    EXPECT_TRUE(s.isEmpty());
}

TEST(RectText, WritesAndReadsTheRectangleForms)
{
    EXPECT_EQ(RectToString(TRect(1, 2, 30, 40)), "(1,2,30,40)");
    EXPECT_EQ(StringToRect("10,20,110,220"), TRect(10, 20, 110, 220));
    EXPECT_EQ(StringToRect("10 20 110 220"), TRect(10, 20, 110, 220));
    EXPECT_EQ(StringToRect("1;2;3;4"), TRect(1, 2, 3, 4));
    EXPECT_EQ(StringToRect("-5=6:-7,8 and more"), TRect(-5, 6, -7, 8));
}

TEST(RectText, AnyBadMemberGivesTheEmptyRectangle)
{
    EXPECT_EQ(StringToRect("1,2,3"), TRect());        // fourth token empty
    EXPECT_EQ(StringToRect("1,2,x,4"), TRect());      // earlier members are dropped too
    EXPECT_EQ(StringToRect("1,2,3,99999999999"), TRect()); // does not fit 32 bits
    // The parenthesised form starts with a separator, so its first token is empty.
    EXPECT_EQ(StringToRect(RectToString(TRect(1, 2, 3, 4))), TRect());
}
