#include "settings/LangTable.h"
#include "settings/AppConfig.h"
#include "settings/LangColumns.h"
#include <algorithm>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>

namespace {
std::size_t Count(const std::string& text, const std::string& part) {
    std::size_t count = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

bool HasNonAscii(const std::string& text) {
    return std::any_of(text.begin(), text.end(), [](char c) { return c & 0x80; });
}
} // namespace

TEST(LangTable, OutOfRangeGivesEmptyText) {
    EXPECT_EQ(GetTextIn(kLangEnglish, 132), "Are you sure you want to clear the alerts list?");
    EXPECT_EQ(GetTextIn(kLangEnglish, 339), "");
    for (const int n : {340, 341, 100000, -1}) {
        EXPECT_EQ(GetTextIn(kLangEnglish, n), "") << n;
        EXPECT_EQ(GetTextIn(kLangThird, n), "") << n;
    }
    for (const int language : {3, 4, -1})
        EXPECT_EQ(GetTextIn(language, 5), "") << language;
    EXPECT_EQ(GetMessageIn(kLangEnglish, 119), "");
    EXPECT_EQ(GetMessageIn(kLangEnglish, 120), "");
    EXPECT_EQ(GetMessageIn(kLangThird, 120), "");
    EXPECT_EQ(GetMessageIn(3, 0), "");
    EXPECT_EQ(GetMessageIn(kLangEnglish, -1), "");
}

TEST(LangTable, ThirdLanguageFallsBackToChinese) {
    EXPECT_EQ(GetTextIn(kLangThird, 5), "关闭");
    EXPECT_EQ(GetTextIn(kLangThird, 58), GetTextIn(kLangChinese, 58));
    EXPECT_EQ(GetTextIn(kLangThird, 43), "");
    EXPECT_EQ(GetMessageIn(kLangThird, 14), GetMessageIn(kLangChinese, 14));
    EXPECT_EQ(GetMessageIn(kLangThird, 0), "Pip Warden");
}

TEST(LangTable, EnglishTextsAsWritten) {
    EXPECT_EQ(GetTextIn(kLangEnglish, 0), "Browse");
    EXPECT_EQ(GetTextIn(kLangEnglish, 24),
              "The settings of %s is changed,do you want to sumbit the changes?");
    EXPECT_EQ(GetTextIn(kLangEnglish, 47), "Automatically run when i log on to windows.");
    EXPECT_EQ(GetTextIn(kLangEnglish, 54), "Occurs an error when set the hotkey of blow items");
    EXPECT_EQ(GetTextIn(kLangEnglish, 71), "Pip Warden");
    EXPECT_EQ(GetTextIn(kLangEnglish, 129), "Finance news...");
    for (const int n : {43, 98, 99, 100, 130, 133})
        EXPECT_EQ(GetTextIn(kLangEnglish, n), "") << n;
}

TEST(LangTable, RealLineBreaks) {
    EXPECT_EQ(GetTextIn(kLangEnglish, 58), "The data source of forex price is changed,\n"
                                           "please contact us to update \n"
                                           "or download latest version from our homepage.");
    EXPECT_EQ(GetTextIn(kLangEnglish, 66),
              "MT4 terminal doesn't run! \nDo you want to select source mt4 terminal?");
    EXPECT_EQ(Count(GetTextIn(kLangEnglish, 92), "\n"), 1u);
    EXPECT_EQ(GetTextIn(kLangEnglish, 93).rfind("Tips:\nAny change", 0), 0u);
}

TEST(LangTable, BuiltEntries) {
    EXPECT_EQ(GetTextIn(kLangEnglish, 52), "Show/Hide [Price bar]");
    EXPECT_EQ(GetTextIn(kLangEnglish, 67), "Recommends you choose [MetaTrader Server]");
    EXPECT_EQ(GetTextIn(kLangEnglish, 68), GetTextIn(kLangEnglish, 67));
    EXPECT_EQ(GetTextIn(kLangEnglish, 88), "Please enter 'Name' and 'URL'");
    EXPECT_EQ(GetTextIn(kLangEnglish, 94), "Show/Hide [News]");
    EXPECT_EQ(GetTextIn(kLangEnglish, 105),
              "Please select currencies need to show in  'Price bar'");
    EXPECT_EQ(GetTextIn(kLangEnglish, 121), "Show/Hide [Alerts settings]");

    const auto zh = [](int n) { return GetTextIn(kLangChinese, n); };
    EXPECT_EQ(zh(52), "显示/隐藏 [报价条]");
    EXPECT_EQ(zh(68), zh(67));
    EXPECT_NE(zh(67).find(zh(63)), std::string::npos);
    EXPECT_NE(zh(88).find(zh(85)), std::string::npos);
    EXPECT_NE(zh(88).find(zh(86)), std::string::npos);
    EXPECT_NE(zh(94).find(zh(81)), std::string::npos);
    EXPECT_NE(zh(105).find(zh(30)), std::string::npos);
    EXPECT_NE(zh(121).find(zh(29)), std::string::npos);
}

// A Chinese entry copied from English, or one left out, shows up here.
TEST(LangTable, ChineseColumnMatchesEnglish) {
    for (int n = 0; n < kUiTextEntries; ++n) {
        const std::string en = GetTextIn(kLangEnglish, n);
        const std::string zh = GetTextIn(kLangChinese, n);
        ASSERT_EQ(en.empty(), zh.empty()) << n;
        EXPECT_EQ(Count(en, "%s"), Count(zh, "%s")) << n;
        EXPECT_EQ(Count(en, "\n"), Count(zh, "\n")) << n;
        for (const char* value : {"%1", "%2", "%3"})
            EXPECT_EQ(Count(en, value), Count(zh, value)) << n;
        if (!zh.empty() && n != 31 && n != 71) { // product names
            EXPECT_TRUE(HasNonAscii(zh)) << n << ": " << zh;
        }
    }
}

TEST(LangTable, Messages) {
    for (const int language : {kLangEnglish, kLangChinese}) {
        EXPECT_EQ(GetMessageIn(language, 0), "Pip Warden");
        const std::string switchTo = GetMessageIn(language, 26);
        EXPECT_EQ(Count(switchTo, "%s"), 1u);
        EXPECT_EQ(Count(switchTo, "%"), 1u);
        const std::string pageFailed = GetMessageIn(language, 20);
        EXPECT_EQ(Count(pageFailed, "%d"), 1u);
        EXPECT_EQ(Count(pageFailed, "%"), 1u);
        // Written with "\n" escapes in the table: they must arrive as line breaks.
        const std::string notRunning = GetMessageIn(language, 14);
        EXPECT_NE(notRunning.find('\n'), std::string::npos);
        for (int n = 0; n < kMessageEntries; ++n)
            EXPECT_EQ(GetMessageIn(language, n).find("\\n"), std::string::npos) << n;
        EXPECT_NE(GetMessageIn(language, 16), GetMessageIn(language, 17));
        EXPECT_NE(GetMessageIn(language, 17), "");
        EXPECT_NE(GetMessageIn(language, 18), "");
    }
    for (int n = 0; n < kMessageEntries; ++n)
        EXPECT_EQ(GetMessageIn(kLangEnglish, n).empty(), GetMessageIn(kLangChinese, n).empty())
            << n;
    EXPECT_EQ(GetMessageIn(kLangEnglish, 15), "");
    EXPECT_TRUE(HasNonAscii(GetMessageIn(kLangChinese, 16)));
}

TEST(LangTable, MessagesAreStoredEnciphered) {
    for (const int language : {kLangEnglish, kLangChinese}) {
        std::string stored;
        for (int n = 0; n < kMessageEntries; ++n) {
            const std::string_view sealed = SealedMessage(language, n);
            EXPECT_EQ(sealed.size(), UnsealMessage(language, n).size()) << n;
            if (!sealed.empty()) {
                EXPECT_NE(sealed, UnsealMessage(language, n)) << n;
            }
            stored.append(sealed);
        }
        EXPECT_EQ(stored.find("Pip Warden"), std::string::npos);
        EXPECT_EQ(stored.find("MetaTrader"), std::string::npos);
    }
    EXPECT_EQ(SealedMessage(kLangEnglish, 120), "");
}

// The texts must not reach the program file in the clear either (the compiler could keep
// the literals the cipher was fed).
TEST(LangTable, ProgramFileHoldsNoMessageText) {
    std::ifstream self("/proc/self/exe", std::ios::binary);
    if (!self)
        GTEST_SKIP() << "no /proc/self/exe";
    const std::string image{std::istreambuf_iterator<char>(self), {}};
    const std::string message = GetMessageIn(kLangEnglish, 16);
    ASSERT_GT(message.size(), 40u);
    // Built at run time from the deciphered text, so this file adds no copy of its own.
    EXPECT_EQ(image.find(message.substr(0, 40)), std::string::npos);
    EXPECT_EQ(image.find(GetMessageIn(kLangChinese, 18).substr(0, 30)), std::string::npos);
}

TEST(LangTable, LanguageFolder) {
    EXPECT_EQ(LanguageFolderFor(kLangChinese, "C:\\PW\\file\\"), "C:\\PW\\file\\data\\cnf\\");
    EXPECT_EQ(LanguageFolderFor(kLangEnglish, "C:\\PW\\file\\"), "C:\\PW\\file\\data\\enf\\");
    EXPECT_EQ(LanguageFolderFor(kLangThird, "C:\\"), "C:\\data\\enf\\");
    EXPECT_EQ(LanguageFolderFor(kLangChinese, "/opt/pw/"), "/opt/pw/data/cnf/");
}

TEST(LangTable, CurrentLanguageComesFromTheAppConstants) {
    CAppConfig config{AppEnvironment{}};
    config.languageIndex = kLangThird;
    config.programFolder = "C:\\PW\\file\\";
    SetAppConfig(&config);
    EXPECT_EQ(GetText(5), "关闭");
    EXPECT_EQ(GetMessage(0), "Pip Warden");
    EXPECT_EQ(GetLanguageFolder(), "C:\\PW\\file\\data\\enf\\");
    config.languageIndex = kLangEnglish;
    EXPECT_EQ(GetText(5), "Close");
    SetAppConfig(nullptr);
}
