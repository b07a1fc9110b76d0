#include "alerts/AlertListRules.h"
#include "AlertTestWorld.h"
#include <map>

namespace {
using AlertListRules = AlertWorld;
using Section = std::map<std::string, std::string>;

AlertValues ValuesOf(const Section& section) {
    return [section](const std::string& key) {
        const auto found = section.find(key);
        return found == section.end() ? std::string() : found->second;
    };
}
} // namespace

TEST_F(AlertListRules, ActionConditionAndInformationTexts) {
    struct Case {
        Section alert;
        const char *action, *condition, *information;
    } cases[] = {
        {{{"enabled", "1"},
          {"mode", "13"},
          {"condition", "0"},
          {"price", "1.3000"},
          {"traymsg", "up@#@now"}},
         "Notification+Sound+Email",
         "Price>1.3000",
         "up now"},
        {{{"enabled", "1"}, {"mode", "2"}, {"condition", "4"}, {"hour", "-1"}, {"minute", "30"}},
         "Voice",
         "Any:30",
         ""},
        {{{"enabled", "1"},
          {"mode", "4"},
          {"condition", "4"},
          {"hour", "10"},
          {"minute", "05"},
          {"date", "12/8/2026"}},
         "Sound",
         "12/8/2026 10:05",
         ""},
        {{{"enabled", "1"},
          {"mode", "1"},
          {"condition", "2"},
          {"diffpips", "20"},
          {"startcon", "1"},
          {"startpips", "1.3000"}},
         "Notification",
         "Every 20 pips,<1.3000",
         ""},
        {{{"enabled", "1"},
          {"mode", "24"},
          {"condition", "2"},
          {"diffpips", "20"},
          {"startcon", "-1"},
          {"startpips", "1.3000"}},
         "Email+Phone",
         "Every 20 pips",
         ""},
        {{{"enabled", "1"}, {"mode", "1"}, {"condition", "3"}, {"intervalmins", "5"}},
         "Notification",
         "Every 5 Minute",
         ""},
        {{{"enabled", "0"}, {"mode", "1"}, {"condition", "1"}, {"price", "1.1"}, {"traymsg", "x"}},
         "Disabled",
         "Price<1.1",
         ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(AlertActionText(ValuesOf(c.alert)), c.action);
        EXPECT_EQ(AlertConditionText(ValuesOf(c.alert)), c.condition);
        EXPECT_EQ(AlertInformation(ValuesOf(c.alert)), c.information);
    }
}

TEST_F(AlertListRules, RowsListOnlyDisplayedCurrenciesInFileOrder) {
    AddAlert("EURUSD3", {{"currency", "EURUSD"}, {"enabled", "0"}});
    AddAlert("GBPUSD2", {{"currency", "GBPUSD"}, {"enabled", "1"}, {"mode", "1"}});
    AddAlert("EURUSD1", {{"currency", "EURUSD"},
                         {"enabled", "1"},
                         {"mode", "5"},
                         {"condition", "1"},
                         {"price", "1.1"},
                         {"traymsg", "a@#@b"}});
    const auto rows = AlertListRows(LoadAllAlerts(alertsPath), ",EURUSD,");
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].id, "EURUSD3");
    EXPECT_EQ(rows[0].action, "Disabled");
    EXPECT_EQ(rows[1].id, "EURUSD1");
    EXPECT_EQ(rows[1].action, "Notification+Sound");
    EXPECT_EQ(rows[1].condition, "Price<1.1");
    EXPECT_EQ(rows[1].information, "a b");
    // As the bar stores the pairs it took from the terminal: no comma before the first.
    EXPECT_EQ(AlertListRows(LoadAllAlerts(alertsPath), "EURUSD,USDJPY,").size(), 2u);
    EXPECT_EQ(AlertListRows(LoadAllAlerts(alertsPath), "GBPUSD").size(), 1u);
}

TEST_F(AlertListRules, ClearSaysHowManyGoAndHowManyAreNotListed) {
    EXPECT_EQ(ClearQuestion({}, "EURUSD,"),
              "Are you sure you want to clear the alerts list?\nAlerts that will be deleted: 0");
    AddAlert("EURUSD1", {{"currency", "EURUSD"}});
    AddAlert("GBPUSD2", {{"currency", "GBPUSD"}});
    AddAlert("USDJPY3", {{"currency", "USDJPY"}});
    EXPECT_EQ(ClearQuestion(LoadAllAlerts(alertsPath), "EURUSD,"),
              "Are you sure you want to clear the alerts list?\nAlerts that will be deleted: 3\n"
              "Of them on pairs not shown in the list: 2");
}

TEST(AlertListRulesSource, CurrencyListSaysWhyTheInternetSourceGaveNoPairs) {
    struct Case {
        bool internet;
        int status;
        bool gotSymbols, pending;
        int notice;
    } cases[] = {
        {false, 0, false, false, 0}, // the terminal says so itself
        {true, 0, true, false, 0},   {true, 58, false, false, 58},
        {true, 59, true, false, 59}, {true, 0, false, false, 59}, // the pages failed
        {true, 0, false, true, 0},                                // still on their way
    };
    for (const Case& c : cases)
        EXPECT_EQ(CurrencySourceNotice(c.internet, c.status, c.gotSymbols, c.pending), c.notice)
            << c.internet << c.status << c.gotSymbols << c.pending;
}

TEST(AlertListRulesLayout, InformationWidthAndSelectionAndButtons) {
    const AlertColumns english = AlertColumnWidths(0);
    const AlertColumns chinese = AlertColumnWidths(1);
    EXPECT_EQ(english.check + english.action + english.condition, 370);
    EXPECT_EQ(chinese.check + chinese.action + chinese.condition, 330);
    EXPECT_EQ(InformationColumnWidth(600, english), 150); // 230 left
    EXPECT_EQ(InformationColumnWidth(550, english), 100); // exactly 180 left
    EXPECT_EQ(InformationColumnWidth(549, english), 100);
    EXPECT_EQ(InformationColumnWidth(509, chinese), 100);
    EXPECT_EQ(InformationColumnWidth(510 + 80, chinese), 180);

    EXPECT_EQ(ComparableSelection(",eurusd,GBPUSD,"), "EURUSD,GBPUSD");
    EXPECT_EQ(ComparableSelection(CheckedSet({"EURUSD", "GBPUSD"})),
              ComparableSelection(",EURUSD,GBPUSD,"));
    EXPECT_NE(ComparableSelection(CheckedSet({"EURUSD"})), ComparableSelection(",EURUSD,GBPUSD,"));
    EXPECT_EQ(ComparableSelection(","), "");
    EXPECT_EQ(DisplayListOf({"EURUSD", "USDJPY"}), ",EURUSD,USDJPY,");
    EXPECT_EQ(DisplayListOf({}), ",");

    const ListButtons none = AlertListButtons(false, false, 0);
    EXPECT_FALSE(none.edit || none.remove || none.clear);
    const ListButtons checked = AlertListButtons(false, true, 3);
    EXPECT_TRUE(!checked.edit && checked.remove && checked.clear);
    EXPECT_EQ(RowsToDelete({0, 2}, 1), (std::vector<int>{0, 2}));
    EXPECT_EQ(RowsToDelete({}, 1), (std::vector<int>{1}));
    EXPECT_TRUE(RowsToDelete({}, -1).empty());
}
