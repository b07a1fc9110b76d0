#include "platform/Text.h"
#include <climits>
#include <cstdint>
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

TEST(Text, BlankRules) {
    EXPECT_TRUE(IsBlank('\t'));
    EXPECT_FALSE(IsBlank('\n'));
    EXPECT_TRUE(IsBlankOrLineBreak('\n'));
    EXPECT_FALSE(IsBlankOrLineBreak('x'));
}

// No cut splits a character, also when the bytes are not valid UTF-8.
TEST(Text, CutsKeepCharactersWhole) {
    EXPECT_EQ(CutUtf8("ab警", 4), "ab");
    EXPECT_EQ(CutUtf8("ab警", 5), "ab警");
    EXPECT_EQ(FirstCharacters("黄金XAU", 3), "黄金X");
    EXPECT_EQ(FirstCharacters("ab", 5), "ab");
    EXPECT_EQ(LastCharacters("x86黄金", 3), "6黄金");
    EXPECT_EQ(LastCharacters("ab", 5), "ab");
    EXPECT_EQ(Utf8Characters("a警\xE4"
                             "b"),
              (std::vector<std::string>{"a", "警", "\xE4", "b"}));
}

TEST(Text, StrictAndLeadingIntegers) {
    EXPECT_EQ(ParseInteger(" -12 "), -12);
    EXPECT_EQ(ParseInteger("+7"), 7);
    for (const char* bad : {"12px", "", " ", "-", "1 2", "99999999999", "\n5"})
        EXPECT_FALSE(ParseInteger(bad).has_value()) << bad;
    EXPECT_EQ(ParseInteger("-2147483648"), INT_MIN);
    EXPECT_EQ(ParseInteger<std::uint64_t>("18446744073709551615"), UINT64_MAX);
    EXPECT_FALSE(ParseInteger<std::uint64_t>("18446744073709551616").has_value());
    EXPECT_FALSE(ParseInteger<unsigned>("-1").has_value());

    EXPECT_EQ(LeadingInteger<int>("65abc"), 65);
    EXPECT_EQ(LeadingInteger<int>("abc"), 0);
    EXPECT_EQ(LeadingInteger("\r\n -30 pips"), -30);
    EXPECT_EQ(LeadingInteger(std::string(30, '9')), LLONG_MAX); // saturates, never wraps
    EXPECT_EQ(LeadingInteger<int>("-99999999999"), -INT_MAX);
    EXPECT_EQ(LeadingInteger<std::uintptr_t>("-5"), 0u);
    EXPECT_DOUBLE_EQ(LeadingNumber(" 1.2345xyz"), 1.2345);
    EXPECT_DOUBLE_EQ(LeadingNumber("abc"), 0.0);
}

TEST(Text, ListsAndAddresses) {
    EXPECT_EQ(SplitList("EURUSD,,GBPUSD"), (std::vector<std::string>{"EURUSD", "GBPUSD"}));
    EXPECT_TRUE(SplitList("").empty());
    EXPECT_EQ(JoinList({"A", "B"}), "A,B,");
    for (const char* list : {"EURUSD,USDJPY,", ",EURUSD,USDJPY,", ",USDJPY,EURUSD", "EURUSD"})
        EXPECT_TRUE(ListHasEntry(list, "EURUSD")) << list;
    for (const char* list : {"EURUSDM,", ",XEURUSD,", "EUR,USD", ",", ""})
        EXPECT_FALSE(ListHasEntry(list, "EURUSD")) << list;
    EXPECT_FALSE(ListHasEntry("EURUSD,", ""));
    EXPECT_EQ(WithHttpScheme("127.0.0.1:8765/a"), "http://127.0.0.1:8765/a");
    EXPECT_EQ(WithHttpScheme("https://x.test"), "https://x.test");
    EXPECT_EQ(WithHttpScheme("http://x.test"), "http://x.test");
}

TEST(Text, Base64RoundTripAndRefusals) {
    using namespace std::string_literals;
    const std::pair<std::string, const char*> cases[] = {
        {"", ""},
        {"f", "Zg=="},
        {"fo", "Zm8="},
        {"foo", "Zm9v"},
        {"foob", "Zm9vYg=="},
        {"\xFF\xFE\x00"s, "//4A"},
        {"\xE8\xAD\xA6", "6K2m"},
    };
    for (const auto& [bytes, encoded] : cases) {
        EXPECT_EQ(Base64Encode(bytes), encoded) << encoded;
        EXPECT_EQ(Base64Decode(encoded), bytes) << encoded;
    }
    EXPECT_EQ(Base64Decode("Zm9v\r\nYg=="), "foob");
    for (const char* bad : {"Zm9", "Zg=a", "Z===", "Zg==Zm9v", "Zm9*", "=Zm9"})
        EXPECT_FALSE(Base64Decode(bad).has_value()) << bad;
}
