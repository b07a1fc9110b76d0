#include "platform/Text.h"
#include <gtest/gtest.h>

TEST(Text, Utf8RoundTripAndValidation) {
    const std::string chinese = "市场报价: 黄金 €";
    EXPECT_TRUE(IsValidUtf8(chinese));
    EXPECT_EQ(Narrow(Widen(chinese)), chinese);
    EXPECT_EQ(Narrow(Widen("\xF0\x9F\x98\x80")), "\xF0\x9F\x98\x80"); // beyond the BMP
    EXPECT_FALSE(IsValidUtf8("\xBE\xAF\xB1\xA8"));                    // GBK bytes
    EXPECT_FALSE(IsValidUtf8("\xC0\xAF"));                            // overlong
    EXPECT_FALSE(IsValidUtf8("abc\xE4\xB8"));                         // cut short
    EXPECT_EQ(Narrow(Widen("a\xFF"
                           "b")),
              "a\xEF\xBF\xBD"
              "b");
}

TEST(Text, AnsiFallbackReadsGbk) {
    EXPECT_EQ(AnsiToUtf8("\xBE\xAF\xB1\xA8"), "警报");
    EXPECT_EQ(Utf8ToAnsi("黄金"), "\xBB\xC6\xBD\xF0");
}

TEST(Text, CaseAndBlanks) {
    EXPECT_EQ(ToUpperAscii("DisplayCurrency 黄金"), "DISPLAYCURRENCY 黄金");
    EXPECT_TRUE(EqualsNoCase("Main", "mAIN"));
    EXPECT_FALSE(EqualsNoCase("Main", "Mains"));
    EXPECT_EQ(TrimBlanks(" \t a b \t"), "a b");
    EXPECT_EQ(TrimBlanks("  "), "");
}
