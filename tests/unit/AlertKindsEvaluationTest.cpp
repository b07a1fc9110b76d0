#include "AlertTestWorld.h"
#include "alerts/AlertEditorRules.h"
#include "alerts/AlertHold.h"
#include "alerts/AlertListRules.h"
#include "alerts/AlertStore.h"
#include "alerts/Evaluation.h"
#include "quotes/PriceLookup.h"
#include "resources/resource.h"
#include "settings/KindTextIds.h"
#include <algorithm>

namespace {
using Keys = std::vector<std::pair<std::string, std::string>>;

Keys KindAlert(const std::string& condition, const Keys& own, const std::string& times = "-2",
               const std::string& autodelete = "0") {
    Keys keys{{"currency", "EURUSD"}, {"enabled", "1"}, {"condition", condition}};
    keys.insert(keys.end(), own.begin(), own.end());
    keys.insert(keys.end(), {{"mode", "1"}, {"alerttimes", times}, {"autodelete", autodelete}});
    return keys;
}

class KindEvaluation : public EvaluationWorld {
protected:
    KindEvaluation() : EvaluationWorld(2) {}
};
} // namespace

TEST_F(KindEvaluation, MoveRingsOnceAndNoPriceIsNoPrice) {
    AddAlert("EURUSD1", KindAlert("5", {{"movepips", "30"}, {"movemins", "15"}, {"moveway", "2"}}));
    Load();
    // Refreshes 2 seconds apart: no refire guard holds a move back.
    EXPECT_EQ(Refreshes({"1.2000", "1.2015", "1.2030", "1.2031", "1.2060"}),
              (std::vector<bool>{false, false, true, false, true}));
    ASSERT_EQ(firings.size(), 2u);
    EXPECT_EQ(firings[0].kind, kMoveCondition);
    EXPECT_EQ(firings[0].id, "EURUSD1");
    // "Error" and "Not Found" are no prices: neither is a low the move is measured from.
    EXPECT_EQ(Refreshes({"Error", "1.2040", "Not Found", "1.2035", "1.2030"}),
              (std::vector<bool>{false, false, false, false, true}));
}

TEST_F(KindEvaluation, MoveSeesThePricesWhileAnEarlierAlertFires) {
    AddAlert("EURUSD1", KindAlert("2", {{"diffpips", "20"}, {"startcon", "-1"}}));
    AddAlert("EURUSD2", KindAlert("5", {{"movepips", "30"}, {"movemins", "15"}, {"moveway", "0"}}));
    Load();
    // The step alert fires at 1.1980 and 1.2000 and ends those scans; the move still took the
    // low of 1.1980 and rings from it.
    EXPECT_EQ(Refreshes({"1.2000", "1.1980", "1.2000", "1.2010"}),
              (std::vector<bool>{false, true, true, true}));
    EXPECT_EQ(firings.back().kind, kMoveCondition);
}

TEST_F(KindEvaluation, ChannelFiresOnCrossingsButNotAtStartOrAfterAGap) {
    AddAlert("EURUSD1",
             KindAlert("6", {{"chanlow", "1.2100"}, {"chanhigh", "1.2200"}, {"chanway", "0"}}));
    AddAlert("EURUSD2",
             KindAlert("6", {{"chanlow", "1.2200"}, {"chanhigh", "1.2100"}, {"chanway", "1"}}));
    cell = "";
    Load();
    // The first price only sets the side, as does the first after "Not Found".
    EXPECT_EQ(Refreshes({"1.2150", "1.2000", "1.2150", "Not Found", "1.2000", "1.2050", "1.2100",
                         "1.2300"}),
              (std::vector<bool>{false, false, true, false, false, false, true, true}));
    ASSERT_EQ(firings.size(), 3u);
    EXPECT_EQ(firings[0].id, "EURUSD1"); // entered
    EXPECT_EQ(firings[1].id, "EURUSD1"); // entered at its edge
    EXPECT_EQ(firings[2].id, "EURUSD2"); // left, having seen the price inside meanwhile
}

TEST_F(KindEvaluation, SpreadWaitsForTheAskAndReArmsBelowItsLevel) {
    AddAlert("EURUSD1", KindAlert("7", {{"spreadpips", "2.5"}}));
    AddAlert("GBPUSD1", {{"currency", "GBPUSD"}, {"enabled", "1"}, {"condition", "0"}});
    Load();
    EXPECT_TRUE(book.WatchesSpread("EURUSD"));
    EXPECT_FALSE(book.WatchesSpread("GBPUSD"));
    EXPECT_FALSE(Refresh("1.23456")); // no ask: it waits
    EXPECT_FALSE(Refresh("1.23456", 2, "1.23480"));
    EXPECT_TRUE(Refresh("1.23456", 2, "1.23481")); // exactly 2.5 pips
    EXPECT_FALSE(Refresh("1.23456", 2, "1.23500"));
    EXPECT_FALSE(Refresh("1.23456", 2, "1.23470"));
    EXPECT_TRUE(Refresh("1.23456", 2, "1.23490"));
}

TEST_F(KindEvaluation, PastItsEndAnAlertSwitchesOffOrDeletesItself) {
    clock.Set("2026-12-08 23:59:00");
    AddAlert("EURUSD1", KindAlert("0", {{"price", "1.1000"}, {"until", "2026-12-09 00:00:00"}}));
    AddAlert("EURUSD2",
             KindAlert("0", {{"price", "1.1000"}, {"until", "2026-12-09 00:00:30"}}, "-2", "1"));
    Load();
    EXPECT_TRUE(Refresh("1.2000", 10));
    EXPECT_FALSE(Refresh("1.2000", 55)); // past midnight: the first is switched off
    EXPECT_NE(AlertsText().find("[EURUSD1]\r\ncurrency=EURUSD\r\nenabled=0\r\n"),
              std::string::npos);
    EXPECT_TRUE(Refresh("1.2000", 1)); // the second, till its end
    EXPECT_FALSE(Refresh("1.2000", 30));
    EXPECT_EQ(AlertsText().find("[EURUSD2]"), std::string::npos);
    EXPECT_FALSE(Refresh("1.2000", 10));

    // With the list window active no reload follows; the table has the alert off all the same.
    book.SetListHooks({[] { return true; }, [] { return true; }, [] {}});
    AddAlert("EURUSD3", KindAlert("0", {{"price", "1.1000"}, {"until", "2026-12-09 00:01:00"}}));
    Load();
    EXPECT_FALSE(Refresh("1.2000", 60));
    EXPECT_EQ(Table()[1].id, "EURUSD3");
    EXPECT_EQ(Table()[1].enabled, "0");
}

TEST_F(KindEvaluation, SnoozeHoldsAnAlertAcrossARestart) {
    AddAlert("EURUSD1", KindAlert("0", {{"price", "1.1000"}}));
    Load();
    EXPECT_TRUE(Refresh("1.2000", 6));
    EXPECT_TRUE(book.Snooze("EURUSD1", SnoozeEnd(SnoozeChoice::QuarterHour, clock.now)));
    EXPECT_FALSE(book.Snooze("EURUSD9", "2026-12-08 15:00:00"));
    EXPECT_EQ(AlertsText().find("[EURUSD9]"), std::string::npos);

    CAlertBook restarted(alertsPath);
    restarted.ReloadAlerts();
    std::vector<bool> fired;
    for (int minute = 0; minute < 16; ++minute) {
        clock.Advance(60);
        fired.push_back(restarted.CheckNotify("EURUSD", "1.2000", "1.2000").has_value());
    }
    // Held for its quarter of an hour, then ringing again.
    EXPECT_EQ(std::find(fired.begin(), fired.end(), true) - fired.begin(), 14);
}

TEST_F(KindEvaluation, TheNewerKeysAreSavedOnlyWhereTheyAreUsed) {
    AlertForm form;
    form.existingId = "EURUSD1";
    form.condition = kMoveCondition;
    form.movePips = "30";
    form.moveMinutes = "15";
    form.moveWay = kMoveWayDown;
    form.notification = true;
    form.repeatCount = "3";
    form.untilOn = true;
    form.untilText = "2026-12-09 18:00:00";
    SaveAlert(alertsPath, form);
    const std::string moved = AlertsText();
    EXPECT_NE(moved.find("condition=5\r\nmovepips=30\r\nmovemins=15\r\nmoveway=1\r\n"),
              std::string::npos);
    EXPECT_NE(moved.find("until=2026-12-09 18:00:00"), std::string::npos);

    form.condition = kSpreadCondition;
    form.spreadPips = "2.5";
    form.untilOn = false;
    SaveAlert(alertsPath, form);
    EXPECT_NE(AlertsText().find("spreadpips=2.5"), std::string::npos);
    EXPECT_NE(AlertsText().find("until=\r\n"), std::string::npos);

    files.files[alertsPath].clear();
    form.condition = kPriceAbove;
    form.price = "1.3000";
    SaveAlert(alertsPath, form);
    EXPECT_EQ(AlertsText().find("until"), std::string::npos);
}

TEST_F(KindEvaluation, TheListShowsTheNewerConditionsAndWhatHoldsThem) {
    clock.Set("2026-12-08 14:00:00");
    const struct {
        Keys keys;
        const char* condition;
        const char* information;
        int dataSource = kTerminalDataSource;
    } cases[] = {
        {{{"condition", "5"}, {"movepips", "30"}, {"movemins", "15"}, {"moveway", "1"}},
         "Moves 30 pips within 15 min, down",
         ""},
        {{{"condition", "6"}, {"chanlow", "1.2"}, {"chanhigh", "1.3"}, {"chanway", "1"}},
         "Channel 1.2-1.3, leaves",
         ""},
        {{{"condition", "7"}, {"spreadpips", "2.5"}}, "Spread >= 2.5 pips", ""},
        {{{"condition", "7"}, {"spreadpips", "2.5"}},
         "Spread >= 2.5 pips",
         "waiting: this data source gives no ask price",
         10},
        {{{"condition", "0"},
          {"price", "1.3"},
          {"mode", "1"},
          {"traymsg", "hi"},
          {"until", "2026-12-09 18:00:00"},
          {"snoozeuntil", "2026-12-08 15:00:00"}},
         "Price>1.3",
         "hi; until 2026-12-09 18:00; snoozed until 2026-12-08 15:00"},
        {{{"condition", "0"}, {"price", "1.3"}, {"snoozeuntil", "2026-12-08 13:00:00"}},
         "Price>1.3",
         ""},
    };
    for (const auto& c : cases) {
        app.dataSource = c.dataSource;
        const AlertValues alert = [&](const std::string& key) {
            for (const auto& [name, value] : c.keys)
                if (name == key)
                    return value;
            return std::string();
        };
        EXPECT_EQ(AlertConditionText(alert), c.condition);
        EXPECT_EQ(AlertInformation(alert), c.information) << c.condition;
    }
}

TEST_F(KindEvaluation, TheEditorNamesWhatIsWrongWithANewerCondition) {
    clock.Set("2026-12-08 14:00:00");
    const auto form = [](int condition) {
        AlertForm f;
        f.currency = "EURUSD";
        f.condition = condition;
        f.notification = true;
        f.movePips = "30";
        f.moveMinutes = "15";
        f.channelLow = "1.2100";
        f.channelHigh = "1.2200";
        f.spreadPips = "2.5";
        return f;
    };
    const struct {
        const char* name;
        AlertForm form;
        int text, focus;
    } cases[] = {
        {"move pips",
         [&] {
             auto f = form(kMoveCondition);
             f.movePips = "0";
             return f;
         }(),
         kTextCheckMovePips, IDC_MOVE_PIPS},
        {"move minutes",
         [&] {
             auto f = form(kMoveCondition);
             f.moveMinutes = "241";
             return f;
         }(),
         kTextCheckMoveMinutes, IDC_MOVE_MINUTES},
        {"channel low",
         [&] {
             auto f = form(kChannelCondition);
             f.channelLow = "";
             return f;
         }(),
         kTextCheckChannel, IDC_CHANNEL_LOW},
        {"channel equal",
         [&] {
             auto f = form(kChannelCondition);
             f.channelHigh = "1.21";
             return f;
         }(),
         kTextCheckChannel, IDC_CHANNEL_HIGH},
        {"spread",
         [&] {
             auto f = form(kSpreadCondition);
             f.spreadPips = "2.55";
             return f;
         }(),
         kTextCheckSpread, IDC_SPREAD_PIPS},
        {"spread zero",
         [&] {
             auto f = form(kSpreadCondition);
             f.spreadPips = "0";
             return f;
         }(),
         kTextCheckSpread, IDC_SPREAD_PIPS},
        {"end passed",
         [&] {
             auto f = form(kPriceAbove);
             f.price = "1.3";
             f.untilOn = true;
             f.untilText = "2026-12-08 13:59:00";
             return f;
         }(),
         kTextCheckUntil, IDC_UNTIL_DATE},
    };
    for (const auto& c : cases) {
        const auto refusal = CheckAlertForm(c.form, true);
        ASSERT_TRUE(refusal) << c.name;
        EXPECT_EQ(refusal->text, c.text) << c.name;
        EXPECT_EQ(refusal->focus, c.focus) << c.name;
    }
    for (int condition : {kMoveCondition, kChannelCondition, kSpreadCondition})
        EXPECT_FALSE(CheckAlertForm(form(condition), true)) << condition;

    // An end lets any alert delete itself; the end's pickers follow its box.
    EditorState state;
    state.condition = kEveryMinutes;
    EXPECT_FALSE(EditorEnabledStates(state).enabled.at(IDC_AUTO_DELETE));
    EXPECT_FALSE(EditorEnabledStates(state).enabled.at(IDC_UNTIL_TIME));
    state.untilOn = true;
    EXPECT_TRUE(EditorEnabledStates(state).enabled.at(IDC_AUTO_DELETE));
    EXPECT_TRUE(EditorEnabledStates(state).enabled.at(IDC_UNTIL_TIME));
    state.condition = kSpreadCondition;
    state.untilOn = false;
    EXPECT_TRUE(EditorEnabledStates(state).enabled.at(IDC_ALERT_TIMES));
}
