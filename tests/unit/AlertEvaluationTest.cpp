#include "AlertTestWorld.h"
#include "alerts/Evaluation.h"
#include <climits>

namespace {
using Keys = std::vector<std::pair<std::string, std::string>>;

Keys LevelAlert(const std::string& condition, const std::string& level,
                const std::string& times = "3", const std::string& autodelete = "0") {
    return {{"currency", "EURUSD"},    {"enabled", "1"}, {"condition", condition},
            {"price", level},          {"mode", "1"},    {"alerttimes", times},
            {"autodelete", autodelete}};
}

Keys StepAlert(const std::string& pips, const std::string& startcon, const std::string& start = "",
               const std::string& times = "-2") {
    Keys keys{{"currency", "EURUSD"}, {"enabled", "1"}, {"condition", "2"},    {"diffpips", pips},
              {"startcon", startcon}, {"mode", "1"},    {"alerttimes", times}, {"autodelete", "0"}};
    if (!start.empty())
        keys.emplace_back("startpips", start);
    return keys;
}

Keys TimeAlert(const std::string& hour, const std::string& minute, const std::string& date = "",
               const std::string& autodelete = "0") {
    return {{"currency", "EURUSD"}, {"enabled", "1"},    {"condition", "4"},
            {"date", date},         {"hour", hour},      {"minute", minute},
            {"mode", "1"},          {"alerttimes", "3"}, {"autodelete", autodelete}};
}

class AlertEvaluation : public EvaluationWorld {
protected:
    AlertEvaluation() : EvaluationWorld(6) {}
};
} // namespace

TEST_F(AlertEvaluation, LevelAlertRepeatsUpToItsCountAndRearmsBehindTheLevel) {
    AddAlert("EURUSD1", LevelAlert("0", "1.3000"));
    Load();
    EXPECT_EQ(Refreshes({"1.3005", "1.3006", "1.3007", "1.3008"}),
              (std::vector<bool>{true, true, true, false}));
    EXPECT_EQ(Table()[0].firedCount, "3");
    EXPECT_FALSE(Refresh("1.2990"));
    EXPECT_EQ(Table()[0].firedCount, "0");
    EXPECT_TRUE(Refresh("1.3001"));

    ASSERT_EQ(firings.size(), 4u);
    EXPECT_EQ(firings[0].kind, 0);
    EXPECT_EQ(firings[0].symbol, "EURUSD");
    EXPECT_EQ(firings[0].price, "1.3005");
    EXPECT_EQ(firings[0].level, "1.3000");
    EXPECT_EQ(firings[0].mode, 1);
    EXPECT_EQ(Table()[0].lastFired, NowText());
}

TEST_F(AlertEvaluation, RefireGuardNeedsMoreThanFiveSeconds) {
    AddAlert("EURUSD1", LevelAlert("1", "1.3000", "-2"));
    Load();
    EXPECT_EQ(Refreshes({"1.2990", "1.2990", "1.2990", "1.2990", "1.2990"}, 2),
              (std::vector<bool>{true, false, false, true, false}));
    EXPECT_TRUE(Refresh("1.2990", 4));
    EXPECT_FALSE(Refresh("1.2990", 5));
    EXPECT_TRUE(Refresh("1.2990", 1));
}

TEST_F(AlertEvaluation, PriceOnTheLevelFiresNeitherWay) {
    AddAlert("EURUSD1", LevelAlert("0", "1.3000"));
    AddAlert("EURUSD2", LevelAlert("1", "1.30"));
    Load();
    EXPECT_FALSE(Refresh("1.3000"));
    EXPECT_TRUE(Refresh("1.2999"));
    EXPECT_EQ(firings.back().kind, 1);
}

// With its last firing: a program ended before the next refresh must not find it again.
TEST_F(AlertEvaluation, ExhaustedAlertDeletesItselfWithItsLastFiring) {
    AddAlert("EURUSD1", LevelAlert("0", "1.3000", "3", "1"));
    AddAlert("GBPUSD1", LevelAlert("1", "1.1000"));
    Load();
    EXPECT_EQ(Refreshes({"1.3005", "1.3006"}), (std::vector<bool>{true, true}));
    EXPECT_NE(AlertsText().find("[EURUSD1]"), std::string::npos);
    EXPECT_TRUE(Refresh("1.3007"));
    EXPECT_EQ(AlertsText().find("[EURUSD1]"), std::string::npos);

    EXPECT_FALSE(Refresh("1.3008"));
    EXPECT_NE(AlertsText().find("[GBPUSD1]"), std::string::npos);
    ASSERT_EQ(Table().Size(), 1u);
    EXPECT_EQ(Table()[0].id, "GBPUSD1");
}

TEST_F(AlertEvaluation, AfterAnAutoDeleteTheListWindowRefillsWhenItIsOpen) {
    int refills = 0;
    bool active = false;
    book.SetListHooks({[&] { return active; }, [] { return true; }, [&] { ++refills; }});
    AddAlert("EURUSD1", LevelAlert("0", "1.3000", "1", "1"));
    AddAlert("EURUSD2", LevelAlert("0", "1.3000", "1", "1"));
    Load();
    EXPECT_TRUE(Refresh("1.3005")); // and spent
    EXPECT_EQ(refills, 1);
    EXPECT_EQ(Table().Size(), 2u); // the refill reloads, not the evaluation

    active = true;                  // the list is in front: it shows the change itself
    EXPECT_TRUE(Refresh("1.3005")); // the second alert, the first being spent
    EXPECT_EQ(refills, 1);
    EXPECT_EQ(AlertsText().find("[EURUSD"), std::string::npos);
}

TEST_F(AlertEvaluation, LimitsAndCounts) {
    AddAlert("EURUSD1", LevelAlert("0", "1.3000", "-1"));
    Load();
    for (int i = 0; i < 5; ++i)
        EXPECT_TRUE(Refresh("1.3005")) << i;
    EXPECT_EQ(Table()[0].firedCount, "0"); // no limit, nothing counted

    files.files.clear();
    AddAlert("EURUSD1", LevelAlert("0", "1.3000", ""));
    AddAlert("EURUSD2", LevelAlert("0", "1.3000", "-2"));
    Load();
    // A missing count is a limit of 0: the first alert is exhausted at once but still
    // holds, so it ends the scan without any action and the second waits.
    EXPECT_FALSE(Refresh("1.3005"));
    EXPECT_NE(AlertsText().find("[EURUSD1]"), std::string::npos);
}

TEST_F(AlertEvaluation, StepAlertWithoutStartCondition) {
    AddAlert("EURUSD1", StepAlert("20", "-1", "1.1000")); // a stale start price is ignored
    Load();
    cell = "1.2340";
    // Step alerts are spaced by movement alone: no refire guard.
    EXPECT_EQ(Refreshes({"1.2345", "1.2360", "1.2365", "1.2345"}, 1),
              (std::vector<bool>{false, false, true, true}));
    EXPECT_EQ(Table()[0].reference.text, "1.2345");
    EXPECT_EQ(firings[0].price, "1.2365");
    EXPECT_EQ(firings[0].kind, 2);
}

TEST_F(AlertEvaluation, StepAlertWaitsForItsStartCondition) {
    AddAlert("EURUSD1", StepAlert("20", "1", "1.2300", "5"));
    Load();
    cell = "1.2310";
    EXPECT_EQ(Refreshes({"1.2305", "1.2300"}), (std::vector<bool>{false, false}));
    EXPECT_EQ(Table()[0].reference.text, "");
    EXPECT_TRUE(Refresh("1.2299"));
    EXPECT_EQ(Table()[0].reference.text, "1.2299");
    EXPECT_EQ(Table()[0].firedCount, "1");
    EXPECT_FALSE(Refresh("1.2290"));

    EXPECT_FALSE(Refresh("1.2300"));
    EXPECT_EQ(Table()[0].reference.text, "");
    EXPECT_EQ(Table()[0].firedCount, "0");
    EXPECT_TRUE(Refresh("1.2279")); // below again: fires at once
    EXPECT_FALSE(Refresh("1.2260"));
    EXPECT_TRUE(Refresh("1.2259"));
}

TEST_F(AlertEvaluation, StepDistanceCountsTheLastShownDecimal) {
    AddAlert("USDJPY1", {{"currency", "USDJPY"},
                         {"enabled", "1"},
                         {"condition", "2"},
                         {"diffpips", "25"},
                         {"startcon", "-1"},
                         {"mode", "1"},
                         {"alerttimes", "-2"}});
    book.SetPath(alertsPath);
    book.ReloadAlerts();
    EXPECT_FALSE(book.CheckNotify("USDJPY", "110.20", "110.25").has_value());
    EXPECT_FALSE(book.CheckNotify("USDJPY", "110.25", "110.4").has_value());
    EXPECT_TRUE(book.CheckNotify("USDJPY", "110.4", "110.5").has_value());
}

TEST_F(AlertEvaluation, OnlyTheFirstHoldingAlertOfThePairFires) {
    AddAlert("EURUSD1", LevelAlert("0", "1.3000"));
    AddAlert("EURUSD2", LevelAlert("0", "1.2000"));
    AddAlert("GBPUSD1", {{"currency", "GBPUSD"},
                         {"enabled", "1"},
                         {"condition", "0"},
                         {"price", "1.0"},
                         {"mode", "1"},
                         {"alerttimes", "3"}});
    Load();
    EXPECT_TRUE(Refresh("1.3005"));
    EXPECT_EQ(Table()[0].firedCount, "1");
    EXPECT_EQ(Table()[1].firedCount, "0");
    EXPECT_EQ(Table()[2].firedCount, "0");
    EXPECT_TRUE(Refresh("1.3005", 1)); // the first is within its guard: the second's turn
    EXPECT_EQ(Table()[1].firedCount, "1");
}

TEST_F(AlertEvaluation, TimeOfDayAlert) {
    AddAlert("EURUSD1", TimeAlert("14", "30"));
    AddAlert("EURUSD2", TimeAlert("-1", "45"));
    Load();
    clock.Set("2026-12-08 14:29:55");
    EXPECT_FALSE(Refresh("1.3000", 0));
    EXPECT_EQ(Refreshes({"1.3000", "1.3000", "1.3000", "1.3000"}),
              (std::vector<bool>{true, true, true, false})); // 14:30:01 .. 14:30:19
    clock.Set("2026-12-08 14:31:00");
    EXPECT_FALSE(Refresh("1.3000"));
    EXPECT_EQ(Table()[0].firedCount, "0");

    clock.Set("2026-12-08 09:45:10");
    EXPECT_TRUE(Refresh("1.3000", 0)); // any hour
    EXPECT_EQ(firings.back().hour, "-1");
}

TEST_F(AlertEvaluation, DatedTimeAlert) {
    AddAlert("EURUSD3", TimeAlert("14", "30", "2026-12-07", "1"));
    AddAlert("EURUSD4", TimeAlert("14", "30", "8th of December", "1"));
    AddAlert("EURUSD1", TimeAlert("14", "30", "2026-12-08"));
    AddAlert("EURUSD2", TimeAlert("14", "30", "2026-12-09"));
    Load();
    clock.Set("2026-12-08 14:30:00");
    EXPECT_TRUE(Refresh("1.3000", 0));
    EXPECT_EQ(firings.back().date, "2026-12-08");
    // The passed day goes; an unreadable date waits in the file.
    EXPECT_EQ(AlertsText().find("[EURUSD3]"), std::string::npos);
    EXPECT_NE(AlertsText().find("[EURUSD4]"), std::string::npos);
    ASSERT_EQ(Table().Size(), 3u);

    clock.Set("2026-12-09 14:30:00");
    EXPECT_TRUE(Refresh("1.3000", 0));
    EXPECT_EQ(firings.back().date, "2026-12-09");
    EXPECT_NE(AlertsText().find("[EURUSD1]"), std::string::npos); // no auto-delete asked
    EXPECT_NE(AlertsText().find("[EURUSD4]"), std::string::npos);
}

// Stored by older versions without a count: it rang on every refresh of its minute.
TEST_F(AlertEvaluation, DatedAlertAtASetHourFiresOnceAndDeletesItself) {
    Keys keys = TimeAlert("14", "30", "2026-12-08", "1");
    keys[7].second = "-1"; // alerttimes
    AddAlert("EURUSD1", keys);
    Load();
    clock.Set("2026-12-08 14:29:58");
    EXPECT_EQ(Refreshes({"1.3000", "1.3000", "1.3000"}), (std::vector<bool>{true, false, false}));
    EXPECT_EQ(AlertsText().find("[EURUSD1]"), std::string::npos);
}

// As the date picker stores it in the user's short date format (here "M/d/yyyy").
TEST_F(AlertEvaluation, DateInTheUsersShortFormat) {
    AddAlert("EURUSD1", TimeAlert("14", "30", "12/10/2026", "1"));
    Load();
    clock.Set("2026-12-09 14:30:00");
    EXPECT_FALSE(Refresh("1.3000", 0));
    clock.Set("2026-12-10 14:30:00");
    EXPECT_TRUE(Refresh("1.3000", 0));
    clock.Set("2026-12-11 14:30:00");
    EXPECT_FALSE(Refresh("1.3000", 0));
    EXPECT_EQ(AlertsText().find("[EURUSD1]"), std::string::npos); // its day is over
}

TEST_F(AlertEvaluation, MinutesIntervalCountsFromFirstSight) {
    AddAlert("EURUSD1", {{"currency", "EURUSD"},
                         {"enabled", "1"},
                         {"condition", "3"},
                         {"intervalmins", "2"},
                         {"mode", "1"},
                         {"alerttimes", "-1"}});
    Load();
    EXPECT_FALSE(Refresh("1.3000"));
    EXPECT_FALSE(Refresh("1.3000", 100));
    EXPECT_TRUE(Refresh("1.3000", 20));
    EXPECT_FALSE(Refresh("1.3000", 60));
    EXPECT_TRUE(Refresh("1.3000", 60));
}

TEST_F(AlertEvaluation, NothingIsEvaluatedWithoutTwoPrices) {
    AddAlert("EURUSD1", LevelAlert("1", "1.3000"));
    AddAlert("EURUSD2", StepAlert("20", "-1"));
    Load();
    const CAlertTable before = Table();
    for (const char* noPrice : {"", ".0000", "...", "Error", "Not Found", "0"}) {
        EXPECT_FALSE(book.CheckNotify("EURUSD", noPrice, "1.2000").has_value()) << noPrice;
        if (*noPrice) {
            EXPECT_FALSE(book.CheckNotify("EURUSD", "1.2000", noPrice).has_value()) << noPrice;
        }
    }
    ASSERT_EQ(Table().Size(), before.Size());
    for (std::size_t i = 0; i < before.Size(); ++i) {
        EXPECT_EQ(Table()[i].firedCount, before[i].firedCount);
        EXPECT_EQ(Table()[i].reference.text, before[i].reference.text);
        EXPECT_EQ(Table()[i].lastFired, before[i].lastFired);
    }
    EXPECT_TRUE(book.CheckNotify("EURUSD", "1.2000", "1.2001").has_value());
}

TEST_F(AlertEvaluation, SwitchesThatKeepEveryAlertQuiet) {
    AddAlert("EURUSD1", LevelAlert("0", "1.3000"));
    AddAlert("EURUSD2", {{"currency", "EURUSD"},
                         {"enabled", "1"},
                         {"condition", "7"},
                         {"mode", "1"},
                         {"alerttimes", "-2"}});
    Load();
    Config().Set("disableall", "1");
    EXPECT_FALSE(Refresh("1.3005"));
    EXPECT_EQ(Table()[0].firedCount, "0");
    EXPECT_EQ(Table()[0].reference.text, "");

    Config().Set("disableall", "0");
    book.Table().loading = true;
    EXPECT_FALSE(Refresh("1.3005"));
    book.Table().loading = false;

    EXPECT_FALSE(book.CheckNotify("EURUSD", "1.2000", "1.2000").has_value()); // code 7
    EXPECT_FALSE(book.CheckNotify("eurusd", "1.2000", "1.3005").has_value());
    EXPECT_TRUE(Refresh("1.3005"));
}

TEST(AlertPriceReading, StepDistanceInUnitsOfTheFinerDecimal) {
    struct Case {
        const char *reference, *current;
        long long distance;
    } cases[] = {{"1.2345", "1.2365", 20}, {"1.23", "1.2345", 45},   {"110.12", "110.3", 18},
                 {"1", "1.0005", 5},       {"1.2365", "1.2345", 20}, {"1680.5", "1680.50", 0}};
    for (const Case& c : cases)
        EXPECT_EQ(PipDistance(ReadPrice(c.reference), ReadPrice(c.current)), c.distance)
            << c.reference << " " << c.current;
    const std::string huge(30, '9');
    EXPECT_EQ(PipDistance(ReadPrice("-" + huge), ReadPrice(huge + ".5")), LLONG_MAX); // no wrap
    EXPECT_DOUBLE_EQ(ReadPrice("1.2345").value, 1.2345);
}
