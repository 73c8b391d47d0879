#include "base/text.h"

#include <gtest/gtest.h>

TEST(Text, NarrowKeepsLowEightBitsAndWidenIsItsInverseForBytes)
{
    EXPECT_EQ(narrow(U"a\u00E9\u20AC"), std::string("a\xE9\xAC"));
    EXPECT_EQ(widen("a\xE9"), String(U"a\u00E9"));
    EXPECT_TRUE(narrowsExactly(U"a\u00E9/\u00FF"));
    EXPECT_FALSE(narrowsExactly(U"a\u012F"));
    EXPECT_FALSE(narrowsExactly(String(U"a") + U'\0'));
}

TEST(Text, Utf8UsesAtMostThreeBytesPerCharacter)
{
    EXPECT_EQ(encodeUtf8(U"abc"), "abc");
    EXPECT_EQ(encodeUtf8(U"\u00E9"), "\xC3\xA9");
    EXPECT_EQ(encodeUtf8(U"\u20AC"), "\xE2\x82\xAC");
    EXPECT_EQ(encodeUtf8(String(1, U'\0')), std::string(1, '\0'));
    EXPECT_EQ(encodeUtf8(String(1, char32_t(256))), "\xC4\x80");
}

TEST(Text, ToIntReadsLeadingNumbersAndGivesZeroOtherwise)
{
    EXPECT_EQ(toInt(U"7"), 7);
    EXPECT_EQ(toInt(U"-12"), -12);
    EXPECT_EQ(toInt(U"a"), 0);
    EXPECT_EQ(toInt(U""), 0);
    EXPECT_EQ(toInt(U"."), 0);
    EXPECT_EQ(toInt(U"42x"), 42);
}
