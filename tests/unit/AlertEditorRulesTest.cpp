#include "alerts/AlertEditorRules.h"
#include "AlertTestWorld.h"
#include "resources/resource.h"
#include <algorithm>

namespace {
using AlertEditorRules = AlertWorld;

AlertForm ValidForm() {
    AlertForm form;
    form.currency = "EURUSD";
    form.price = "1.3000";
    form.notification = true;
    form.repeatCount = "3";
    form.minute = "00";
    return form;
}

bool Has(const std::vector<int>& ids, int id) {
    return std::find(ids.begin(), ids.end(), id) != ids.end();
}
} // namespace

TEST(AlertEditorRulesStep, PlusAndMinusMoveByStepUnitsOfTheLastShownDecimal) {
    struct Case {
        const char *symbol, *price, *step;
        int direction;
        const char* expected;
    } cases[] = {
        {"EURUSD", "1.2345", "20", 1, "1.2365"},  {"USDJPY", "110.12", "20", 1, "110.32"},
        {"EURUSD", "1.2345", "10", -1, "1.2335"}, {"GOLD", "1900.5", "1", 1, "1900.6"},
        {"EURUSD", "1.2", "1", 1, "1.2001"},      {"EURUSD", "", "20", 1, ""},
        {"EURUSD", "1.2345", "abc", 1, "1.2345"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(StepPrice(c.symbol, c.price, c.step, c.direction), c.expected)
            << c.symbol << " " << c.price << " " << c.step;
}

TEST_F(AlertEditorRules, ChecksComeInOrderWithTheirMessageAndFocus) {
    struct Case {
        const char* what;
        std::function<void(AlertForm&)> change;
        bool soundExists;
        int text, focus;
        bool openList;
    } cases[] = {
        {"no currency, nothing else either",
         [](AlertForm& f) {
             f.currency.clear();
             f.price.clear();
             f.notification = false;
         },
         true, 9, IDC_ALERT_CURRENCY, true},
        {"empty price", [](AlertForm& f) { f.price.clear(); }, true, 27, IDC_ALERT_PRICE, false},
        {"comma price", [](AlertForm& f) { f.price = "1,2345"; }, true, 27, IDC_ALERT_PRICE, false},
        {"letters as pips",
         [](AlertForm& f) {
             f.condition = kEveryPips;
             f.diffpips = "abc";
         },
         true, 27, IDC_PIP_STEP, true},
        {"negative pips",
         [](AlertForm& f) {
             f.condition = kEveryPips;
             f.diffpips = "-5";
         },
         true, 27, IDC_PIP_STEP, true},
        {"start price missing",
         [](AlertForm& f) {
             f.condition = kEveryPips;
             f.diffpips = "20";
             f.startOn = true;
         },
         true, 27, IDC_START_PRICE, false},
        {"zero minutes",
         [](AlertForm& f) {
             f.condition = kEveryMinutes;
             f.intervalmins = "0";
         },
         true, 27, IDC_INTERVAL, true},
        {"thirty digits of minutes",
         [](AlertForm& f) {
             f.condition = kEveryMinutes;
             f.intervalmins = std::string(30, '9');
         },
         true, 27, IDC_INTERVAL, true},
        {"no action", [](AlertForm& f) { f.notification = false; }, false, 32, 0, false},
        {"empty custom text", [](AlertForm& f) { f.customOn = true; }, false, 26, IDC_CUSTOM_TEXT,
         false},
        {"missing sound file", [](AlertForm& f) { f.sound = true; }, false, 28, IDC_SOUND_FILE,
         false},
        {"letters as count", [](AlertForm& f) { f.repeatCount = "x"; }, true, 27, IDC_ALERT_TIMES,
         false},
    };
    for (const Case& c : cases) {
        AlertForm form = ValidForm();
        c.change(form);
        const auto refusal = CheckAlertForm(form, c.soundExists);
        ASSERT_TRUE(refusal) << c.what;
        EXPECT_EQ(refusal->text, c.text) << c.what;
        EXPECT_EQ(refusal->focus, c.focus) << c.what;
        EXPECT_EQ(refusal->openList, c.openList) << c.what;
    }
    AlertForm disabled = ValidForm();
    disabled.enabled = false;
    disabled.price.clear();
    disabled.notification = false;
    EXPECT_FALSE(CheckAlertForm(disabled, false));
    AlertForm timeOfDay = ValidForm();
    timeOfDay.condition = kTimeOfDay;
    timeOfDay.price.clear();
    timeOfDay.repeatCount.clear();
    EXPECT_FALSE(CheckAlertForm(timeOfDay, false));
    FillEmptyRepeatCount(timeOfDay);
    EXPECT_EQ(timeOfDay.repeatCount, "1");
}

TEST(AlertEditorRulesStates, RepeatCountAndAutoDeleteFollowConditionDateAndUnlimited) {
    struct Case {
        int condition;
        bool dateOn, hourAny, unlimited, enabled;
        bool times, autoDelete, uncheck;
    } cases[] = {
        {kPriceAbove, false, true, false, true, true, true, false},
        {kEveryPips, false, true, false, true, false, false, true},
        {kEveryMinutes, false, true, false, true, false, false, true},
        {kTimeOfDay, false, true, false, true, true, false, true},
        {kTimeOfDay, true, true, false, true, true, true, false},
        {kTimeOfDay, true, false, false, true, false, true, false}, // one date, one hour
        {kPriceBelow, false, true, true, true, false, false, false},
        {kPriceBelow, false, true, false, false, false, false, false},
    };
    for (const Case& c : cases) {
        EditorState state;
        state.condition = c.condition;
        state.dateOn = c.dateOn;
        state.hourAny = c.hourAny;
        state.unlimited = c.unlimited;
        state.enabled = c.enabled;
        const EditorEnabling result = EditorEnabledStates(state);
        EXPECT_EQ(result.enabled.at(IDC_ALERT_TIMES), c.times) << c.condition << c.dateOn;
        EXPECT_EQ(result.enabled.at(IDC_AUTO_DELETE), c.autoDelete) << c.condition << c.dateOn;
        EXPECT_EQ(result.uncheckAutoDelete, c.uncheck) << c.condition << c.dateOn;
    }
    EditorState editing;
    editing.editing = true;
    editing.voice = true;
    const EditorEnabling result = EditorEnabledStates(editing);
    EXPECT_FALSE(result.enabled.at(IDC_ALERT_CURRENCY));
    EXPECT_FALSE(result.enabled.at(IDC_SOUND_FILE));
    EXPECT_TRUE(result.enabled.at(IDC_SPEAK_LAST));
    EXPECT_FALSE(result.enabled.at(IDC_SPEAK_DIGITS));
    EXPECT_FALSE(result.enabled.at(IDC_CUSTOM_TEXT_ON));
}

TEST(AlertEditorRulesConditions, EachConditionShowsItsOwnControlsOnly) {
    EXPECT_TRUE(Has(VisibleConditionControls(kPriceBelow), IDC_PRICE_PLUS));
    EXPECT_TRUE(Has(VisibleConditionControls(kEveryPips), IDC_START_PRICE));
    EXPECT_FALSE(Has(VisibleConditionControls(kEveryPips), IDC_ALERT_PRICE));
    EXPECT_TRUE(Has(VisibleConditionControls(kEveryMinutes), IDC_INTERVAL_LABEL));
    EXPECT_TRUE(Has(VisibleConditionControls(kTimeOfDay), IDC_DATE_ON));
    for (int condition = kPriceAbove; condition <= kTimeOfDay; ++condition)
        for (int id : VisibleConditionControls(condition))
            EXPECT_TRUE(Has(ConditionControls(), id)) << condition << " " << id;
}

TEST(AlertEditorRulesTest, TestAlertCarriesTheFormAsStoredAndTheBrowseFolder) {
    AlertForm form = ValidForm();
    form.condition = kEveryPips;
    form.diffpips = "20";
    form.startOn = true;
    form.startComparison = 1;
    form.startPrice = "1.3000";
    form.customOn = true;
    form.customText = "a\r\nb";
    form.sound = true;
    form.speakLastOn = true;
    form.speakDigits = 3;
    form.dontSpeakName = true;
    const FiredAlert alert = TestAlert(form, "1.2345");
    EXPECT_EQ(alert.kind, kEveryPips);
    EXPECT_EQ(alert.mode, kActionPopup | kActionSound);
    EXPECT_EQ(alert.price, "1.2345");
    EXPECT_EQ(alert.traymsg, "a@#@b");
    EXPECT_EQ(alert.startcon, "1");
    EXPECT_EQ(alert.startpips, "1.3000");
    EXPECT_EQ(alert.speaklen, "3");
    EXPECT_EQ(alert.speakname, "0");
    form.notification = false;
    EXPECT_EQ(TestAlert(form, "").traymsg, "");

    EXPECT_EQ(BrowseFolder("C:\\Windows\\Media\\ding.wav"), "C:\\Windows\\Media");
    EXPECT_EQ(BrowseFolder("C:\\a.wav"), "");
    EXPECT_EQ(HourBoxValue("07"), "07");
    EXPECT_EQ(HourBoxValue("Any"), "-1");
}
