#include "common/HotKeys.h"
#include "common/ProgramMenu.h"
#include "common/StartupRules.h"
#include "settings/TextIds.h"
#include <algorithm>
#include <gtest/gtest.h>
#include "settings/LangTable.h"

TEST(AppCallerPath, FoundOnlyAfterTheProgramName) {
    EXPECT_EQ(CallerPathFromCommandLine(
                  "  \"C:\\P W\\file\\Pipwarden.exe\" /caller C:\\P W\\Pip Warden.exe  "),
              "C:\\P W\\Pip Warden.exe");
    EXPECT_EQ(CallerPathFromCommandLine("Pipwarden.exe /caller"), "");
    EXPECT_EQ(CallerPathFromCommandLine("/caller x"), "");
    EXPECT_EQ(CallerPathFromCommandLine("Pipwarden.exe"), "");
}

TEST(AppTerminalStartingSwitch, AWholeWordAfterTheProgramPath) {
    EXPECT_TRUE(HasTerminalStartingSwitch("\"C:\\P W\\Pipwarden.exe\" /terminalstarting"));
    EXPECT_TRUE(HasTerminalStartingSwitch("Pipwarden.exe /terminalstarting en"));
    EXPECT_FALSE(HasTerminalStartingSwitch("\"C:\\a /terminalstarting\\Pipwarden.exe\""));
    EXPECT_FALSE(HasTerminalStartingSwitch("Pipwarden.exe /terminalstartingx"));
    EXPECT_FALSE(HasTerminalStartingSwitch("Pipwarden.exe"));
}

TEST(AppClosedPopups, TrimmedOnlyWhenTheLastCloseIsOlderThanTenSeconds) {
    const std::string now = "2024-05-01 10:00:20";
    EXPECT_FALSE(TrimClosedPopups("EURUSD,GBPUSD,", "EURUSD,", "2024-05-01 10:00:15", now));
    EXPECT_EQ(TrimClosedPopups("EURUSD,GBPUSD,", "EURUSD,", "2024-05-01 10:00:09", now), "GBPUSD,");
    EXPECT_FALSE(TrimClosedPopups("EURUSD,", "", "2024-05-01 10:00:00", now));
    EXPECT_FALSE(TrimClosedPopups("EURUSD,", "EURUSD,", "", now));
    EXPECT_FALSE(TrimClosedPopups("EURUSD,", "EURUSD,", "not a time", now));
}

TEST(AppClosedPopups, RemovesWholeNamesOnly) {
    const std::string old = "2024-05-01 09:00:00", now = "2024-05-01 10:00:00";
    EXPECT_EQ(TrimClosedPopups("EURUSDJPY,USDJPY,", "USDJPY,", old, now), "EURUSDJPY,");
    EXPECT_EQ(TrimClosedPopups("EURUSD,GBPUSD", "GBPUSD,EURUSD,", old, now), "");
}

TEST(AppHotKeys, DefaultsAndSavedValues) {
    const auto& table = HotKeyTable();
    EXPECT_STREQ(table[kHotKeyTerminal].atomName, "TICKMON_MT4");
    const HotKeyChoice fallback = ResolveHotKey(table[kHotKeyTerminal], "", "6");
    EXPECT_EQ(fallback.key, 90);
    EXPECT_EQ(fallback.modifiers, 3);
    const HotKeyChoice saved = ResolveHotKey(table[kHotKeyPriceBar], "65", "6");
    EXPECT_EQ(saved.key, 65);
    EXPECT_EQ(ModifiersToRegistrationFlags(saved.modifiers), kModControl | kModAlt);
    const HotKeyChoice junk = ResolveHotKey(table[kHotKeyPriceBar], "key", "mods");
    EXPECT_FALSE(junk.Registers());
    EXPECT_EQ(ResolveHotKey(table[kHotKeyTray], "70000", "1").key, 70000 & 0xFFFF);
}

TEST(AppHotKeys, ModifierConversionSwapsShiftAndAlt) {
    EXPECT_EQ(ModifiersToRegistrationFlags(kControlShift), kModShift);
    EXPECT_EQ(ModifiersToRegistrationFlags(kControlAlt), kModAlt);
    EXPECT_EQ(ModifiersToRegistrationFlags(kControlCtrl), kModControl);
    EXPECT_EQ(ModifiersToRegistrationFlags(7), kModShift | kModAlt | kModControl);
    EXPECT_EQ(HotKeyWarningText("Head", {kHotKeyPriceBar, kHotKeyNews}),
              "Head:\r\n\r\n" + GetText(kTextHotKeyPriceBar) + "\r\n" + GetText(kTextHotKeyNews));
}

namespace {
std::string Text(int n) {
    return "T" + std::to_string(n);
}

std::vector<int> Commands(const std::vector<MenuItemText>& items) {
    std::vector<int> commands;
    for (const auto& item : items)
        commands.push_back(item.command);
    return commands;
}
} // namespace

TEST(AppProgramMenu, TrayMenuInTerminalModeHasNoOrderAndNoNews) {
    MenuState state;
    const auto items = ProgramMenuTexts(state, Text);
    EXPECT_EQ(Commands(items),
              (std::vector<int>{kCmdContact, kCmdAlerts, kCmdAlertHistory, kCmdOptions,
                                kCmdPriceBar, kCmdTerminal, kCmdExit}));
    EXPECT_EQ(items[0].text, "T10...");
    EXPECT_EQ(items[2].text, "T238...");
    EXPECT_EQ(items[4].text, "T13 T30"); // Hide Price bar
    const auto removed = RemovedMenuItems(state);
    EXPECT_NE(std::find(removed.begin(), removed.end(), kCmdUnused), removed.end());
}

TEST(AppProgramMenu, ListMenuAddsTheOrderAndOtherModesDropTerminalItems) {
    MenuState state;
    state.caller = kMenuCallerList;
    state.newsEnabled = true;
    state.terminalVisible = false;
    state.languageIndex = 1;
    const auto items = ProgramMenuTexts(state, Text);
    EXPECT_EQ(Commands(items),
              (std::vector<int>{kCmdContact, kCmdAlerts, kCmdAlertHistory, kCmdNews, kCmdOptions,
                                kCmdNewOrder, kCmdPriceBar, kCmdTerminal, kCmdExit}));
    EXPECT_EQ(items[7].text, "T12T31"); // Show MetaTrader, no blank in Chinese

    state.dataSource = 10;
    const auto internet = Commands(ProgramMenuTexts(state, Text));
    EXPECT_EQ(std::count(internet.begin(), internet.end(), kCmdTerminal), 0);
    EXPECT_EQ(std::count(internet.begin(), internet.end(), kCmdNewOrder), 0);
}
