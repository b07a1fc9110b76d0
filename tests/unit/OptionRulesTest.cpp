#include "options/OptionRules.h"
#include <gtest/gtest.h>
#include "settings/LangTable.h"

TEST(OptionRules, EmailAddressRule) {
    const struct {
        const char* address;
        bool valid;
    } cases[] = {
        {"ab@c.d", true},         {"a@c.d", false},    {"ab@.c", false},   {"ab@.c.d", true},
        {"ab@c.", false},         {"ab@cd", false},    {"ab@c .d", false}, {" ab@c.d", false},
        {"ab@c@d.e", true},       {"ab@", false},      {"ab@c", false},    {"ab.c.d", false},
        {"ab@c.d\r\nX=1", false}, {"ab@c.d\t", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsValidEmailAddress(c.address), c.valid) << c.address;
    EXPECT_TRUE(IsValidEmailAddress(std::string(10000, 'a') + "@b.c"));
}

TEST(OptionRules, HotKeyControlWordBothWays) {
    const HotKeyChoice ctrlAltN{'N', kControlCtrl | kControlAlt};
    const std::uint16_t word = HotKeyControlWord(ctrlAltN);
    EXPECT_EQ(word, (6 << 8) | 78);
    const HotKeyChoice back = HotKeyFromControlWord(word);
    EXPECT_EQ(back.key, 78);
    EXPECT_EQ(back.modifiers, 6);
    EXPECT_EQ(ModifiersToRegistrationFlags(back.modifiers), 3u);
    // Only the low byte of a stored number reaches the control.
    EXPECT_EQ(HotKeyControlWord({0x141, 0x102}), (2 << 8) | 0x41);
    EXPECT_FALSE(HotKeyFromControlWord(0).Registers());
}

TEST(OptionRules, StartCheckCouplings) {
    EXPECT_TRUE(AfterWithWindowsClick({true, false}).runTerminal);
    EXPECT_FALSE(AfterWithWindowsClick({false, true}).withWindows);
    EXPECT_TRUE(AfterWithWindowsClick({false, true}).runTerminal);
    EXPECT_FALSE(AfterRunTerminalClick({true, false}).withWindows);
    EXPECT_TRUE(AfterRunTerminalClick({true, true}).withWindows);
}

TEST(OptionRules, LogOnEntryQuotesThePath) {
    EXPECT_EQ(LogOnEntryText("C:\\Program Files\\é 中\\Pipwarden.exe"),
              "\"C:\\Program Files\\é 中\\Pipwarden.exe\" /auto");
}

TEST(OptionRules, PopupClosingReadAndStored) {
    EXPECT_TRUE(ReadPopupClosing("").closes);
    EXPECT_EQ(ReadPopupClosing("").seconds, "5");
    EXPECT_FALSE(ReadPopupClosing("-1").closes);
    EXPECT_EQ(ReadPopupClosing("-1").seconds, "5");
    EXPECT_EQ(ReadPopupClosing("20").seconds, "20");
    EXPECT_EQ(PopupClosingSetting(false, "20"), "-1");
    EXPECT_EQ(PopupClosingSetting(true, " 60 "), "60");
    for (const char* bad : {"abc", "0", "-5", "99999999999", "", "5x"})
        EXPECT_EQ(PopupClosingSetting(true, bad), "5") << bad;
}

TEST(OptionRules, OkAppliesEveryChangedPageTheShownOneLast) {
    EXPECT_EQ(PagesToApplyOnOk({true, true, false, false}, kHotKeyPage),
              (std::vector<int>{kGeneralPage, kHotKeyPage}));
    EXPECT_EQ(PagesToApplyOnOk({false, false, false, true}, kGeneralPage),
              (std::vector<int>{kEmailPage, kGeneralPage}));
    EXPECT_EQ(PagesToApplyOnOk({}, kSourcePage), (std::vector<int>{kSourcePage}));
    // The page that may refuse goes before the one that may restart the program.
    EXPECT_EQ(PagesToApplyOnOk({false, false, true, true, false}, kSourcePage),
              (std::vector<int>{kEmailPage, kSourcePage}));
    EXPECT_EQ(PagesToApplyOnOk({true, false, true, false, false}, kEmailPage),
              (std::vector<int>{kEmailPage, kGeneralPage, kSourcePage}));
}

TEST(OptionRules, TerminalListChoice) {
    const std::vector<std::string> two = {"1001: Demo - Broker A", "1002: Live - Broker B"};
    const struct {
        std::vector<std::string> titles;
        const char* source;
        int index;
    } cases[] = {
        {two, "1002: Live", 1},      {two, "", 0},     {two, "Broker", 1}, {two, "Other", 0},
        {{two[0]}, "1002: Live", 0}, {{}, "1002", -1}, {{}, "", -1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ChosenTerminalIndex(c.titles, c.source), c.index) << c.source;
}

TEST(OptionRules, DataSourceRestartQuestions) {
    EXPECT_FALSE(TerminalPickNeedsRestart(true, 0, 1)); // not attached yet: just remembered
    EXPECT_FALSE(TerminalPickNeedsRestart(false, 1, 1));
    EXPECT_TRUE(TerminalPickNeedsRestart(false, 0, 1));

    EXPECT_FALSE(SourceApplyAsksRestart(10, 1, false)); // the Internet source stays
    EXPECT_FALSE(SourceApplyAsksRestart(1, 1, false));
    EXPECT_FALSE(SourceApplyAsksRestart(2, 1, true));
    EXPECT_TRUE(SourceApplyAsksRestart(2, 1, false));

    EXPECT_EQ(WithTitle("Switch to \"%s\"?", "50% Broker %s"), "Switch to \"50% Broker %s\"?");
    EXPECT_EQ(WithTitle("No mark", "A"), "No mark");
}
