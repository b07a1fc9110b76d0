// The alert editor driven like a user: every condition kind made through the form, read
// back from the alerts file key by key; an alert made here fires against the simulated
// terminal; an edited alert is reset, switched off and saved.
#include "alerts/AlertStore.h"
#include "resources/resource.h"
#include "tests/e2e/AlertWindowsHarness.h"
#include "settings/LangTable.h"

using namespace e2e;

namespace {
constexpr int kTextSelectCurrency = 9, kTextInputCondition = 27, kTextSoundFile = 28;
constexpr int kTextFinished = 123;
constexpr int kPopupMessage = 1063;
constexpr int kPopupSymbol = 1094;

// The form for one more alert; the currency box is sorted: EURUSD first.
void Prepare(HWND editor, int condition) {
    ChooseItem(editor, IDC_ALERT_CURRENCY, 0);
    ChooseItem(editor, IDC_ALERT_CONDITION, condition);
}

std::string NewSectionOf(const std::string& alerts, const std::string& key,
                         const std::string& value) {
    // The ids are the symbol and a tick count: find the section by one of its values.
    std::string id;
    std::size_t at = 0;
    while ((at = alerts.find('[', at)) != std::string::npos) {
        const std::size_t end = alerts.find(']', at);
        const std::string candidate = alerts.substr(at + 1, end - at - 1);
        if (IniValue(alerts, candidate, key) == value)
            id = candidate;
        at = end;
    }
    return id;
}
} // namespace

TEST_F(AlertWindowsTest, EveryConditionKindIsMadeThroughTheEditorAndAPriceAlertFires) {
    ASSERT_NO_FATAL_FAILURE(StartProgram(""));
    ASSERT_TRUE(OpenList());
    HWND editor = OpenEditor(IDC_ADD_ALERT);
    ASSERT_TRUE(editor);
    EXPECT_FALSE(IsShownItem(editor, IDC_ALERT_ENABLED));
    EXPECT_FALSE(IsShownItem(editor, IDC_RESET));
    Click(editor, IDC_SUBMIT);
    EXPECT_EQ(Answer(IDOK), GetText(kTextSelectCurrency));

    // Price above, two lines of own text: the one that fires below.
    Prepare(editor, kPriceAbove);
    TypeText(editor, IDC_ALERT_PRICE, "1.2500");
    Click(editor, IDC_CUSTOM_TEXT_ON);
    TypeText(editor, IDC_CUSTOM_TEXT, "first\r\nsecond");
    Click(editor, IDC_SUBMIT);
    EXPECT_EQ(Answer(IDOK), GetText(kTextFinished));
    Click(editor, IDC_DEFAULT_TEXT);

    Prepare(editor, kEveryPips);
    EXPECT_FALSE(IsShownItem(editor, IDC_ALERT_PRICE));
    EXPECT_FALSE(IsEnabledItem(editor, IDC_ALERT_TIMES));
    TypeText(editor, IDC_PIP_STEP, "15");
    Click(editor, IDC_START_ON);
    ChooseItem(editor, IDC_START_COMPARISON, 1);
    TypeText(editor, IDC_START_PRICE, "1.1000");
    Click(editor, IDC_SUBMIT);
    EXPECT_EQ(Answer(IDOK), GetText(kTextFinished));

    Prepare(editor, kEveryMinutes);
    TypeText(editor, IDC_INTERVAL, "0");
    Click(editor, IDC_SUBMIT);
    EXPECT_EQ(Answer(IDOK), GetText(kTextInputCondition));
    TypeText(editor, IDC_INTERVAL, "7");
    Click(editor, IDC_SUBMIT);
    EXPECT_EQ(Answer(IDOK), GetText(kTextFinished));

    Prepare(editor, kTimeOfDay);
    ChooseItem(editor, IDC_HOUR, 11); // "10"
    TypeText(editor, IDC_MINUTE, "45");
    Click(editor, IDC_VOICE);
    Click(editor, IDC_SUBMIT);
    EXPECT_EQ(Answer(IDOK), GetText(kTextFinished));

    Prepare(editor, kPriceBelow);
    TypeText(editor, IDC_ALERT_PRICE, "1.1000");
    Click(editor, IDC_UNLIMITED);
    Click(editor, IDC_SUBMIT);
    EXPECT_EQ(Answer(IDOK), GetText(kTextFinished));
    Click(editor, IDC_EDITOR_CLOSE);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(editor); }, 5s));

    const std::string alerts = install.ReadAlerts();
    const std::string above = NewSectionOf(alerts, "price", "1.2500");
    ASSERT_FALSE(above.empty()) << alerts;
    EXPECT_EQ(AlertValue(above, "condition"), "0");
    EXPECT_EQ(AlertValue(above, "traymsg"), "first@#@second");
    EXPECT_EQ(AlertValue(above, "mode"), "1");
    EXPECT_EQ(AlertValue(above, "alerttimes"), "3");
    const std::string pips = NewSectionOf(alerts, "diffpips", "15");
    EXPECT_EQ(AlertValue(pips, "startcon"), "1");
    EXPECT_EQ(AlertValue(pips, "startpips"), "1.1000");
    EXPECT_EQ(AlertValue(pips, "alerttimes"), "-1");
    EXPECT_EQ(AlertValue(pips, "traymsg"), "");
    const std::string minutes = NewSectionOf(alerts, "intervalmins", "7");
    EXPECT_EQ(AlertValue(minutes, "condition"), "3");
    EXPECT_EQ(AlertValue(minutes, "autodelete"), "0");
    const std::string time = NewSectionOf(alerts, "minute", "45");
    EXPECT_EQ(AlertValue(time, "hour"), "10");
    EXPECT_EQ(AlertValue(time, "date"), "");
    EXPECT_EQ(AlertValue(time, "mode"), "3"); // the form kept "Notification" on
    const std::string below = NewSectionOf(alerts, "condition", "1");
    EXPECT_EQ(AlertValue(below, "price"), "1.1000");
    EXPECT_EQ(AlertValue(below, "alerttimes"), "-2");
    EXPECT_EQ(AlertValue(below, "currency"), "EURUSD");

    // The list shows them all, and the bar has reloaded: the first one fires.
    HWND list = GetDlgItem(OpenList(), IDC_ALERT_LIST);
    EXPECT_EQ(ListItemCount(list), 5);
    ASSERT_TRUE(simulator->Send(SimCommand::SetPrice, "EURUSD 1.26000 1.26012"));
    std::string message;
    ASSERT_TRUE(WaitUntil(
        [&] {
            for (HWND window : TopLevelWindows({"#32770", std::nullopt, program.Id()}))
                if (GetDlgItem(window, kPopupSymbol))
                    message = WindowText(GetDlgItem(window, kPopupMessage));
            return !message.empty();
        },
        kMainTick + kTickSlack + 2s));
    EXPECT_EQ(message, "first\r\nsecond");
}

TEST_F(AlertWindowsTest, AnEditedAlertResetsSwitchesOffAndClosesOnSubmit) {
    ASSERT_NO_FATAL_FAILURE(StartProgram(
        "[EURUSD1]\r\ncurrency=EURUSD\r\nenabled=1\r\ncondition=0\r\nprice=1.3000\r\nmode=4\r\n"
        "soundfile=Z:\\nowhere.wav\r\nspeaklen=0\r\nspeakname=1\r\ntraymsg=\r\nalerttimes=3\r\n"
        "autodelete=1\r\n"));
    HWND list = GetDlgItem(OpenList(), IDC_ALERT_LIST);
    ASSERT_EQ(ListItemCount(list), 1);
    ASSERT_TRUE(
        SetListItemState(list, 0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED));
    HWND editor = OpenEditor(IDC_EDIT_ALERT);
    ASSERT_TRUE(editor);
    EXPECT_TRUE(IsShownItem(editor, IDC_RESET));
    EXPECT_FALSE(IsEnabledItem(editor, IDC_ALERT_CURRENCY));
    EXPECT_TRUE(IsEnabledItem(editor, IDC_SOUND_FILE)); // only "Sound" is on
    EXPECT_FALSE(IsEnabledItem(editor, IDC_SPEAK_LAST));

    Click(editor, IDC_TEST); // its wave file does not exist
    EXPECT_EQ(Answer(IDOK), GetText(kTextSoundFile));
    TypeText(editor, IDC_ALERT_PRICE, "1.4000");
    Click(editor, IDC_RESET);
    ASSERT_TRUE(
        WaitUntil([&] { return WindowText(GetDlgItem(editor, IDC_ALERT_PRICE)) == "1.3000"; }, 5s));
    Click(editor, IDC_VOICE); // speaking instead of the file
    ASSERT_TRUE(WaitUntil([&] { return !IsEnabledItem(editor, IDC_SOUND_FILE); }, 5s));
    Click(editor, IDC_ALERT_ENABLED);
    ASSERT_TRUE(WaitUntil([&] { return !IsEnabledItem(editor, IDC_ALERT_PRICE); }, 5s));
    Click(editor, IDC_SUBMIT);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(editor); }, 5s)) << "Submit keeps the editor";
    EXPECT_EQ(AlertValue("EURUSD1", "enabled"), "0");
    EXPECT_EQ(AlertValue("EURUSD1", "mode"), "4"); // a switched-off alert keeps its keys
    EXPECT_TRUE(WaitUntil([&] { return ListItemText(list, 0, 2) == GetText(117); }, 5s));
}

// The date is stored as the user's date picker shows it ("12/8/2026", "08.12.2026"), and an
// alert for today at this minute fires whatever the Windows language.
TEST_F(AlertWindowsTest, ADatedAlertMadeInTheEditorFiresInUsAndGermanDateFormats) {
    for (const char* locale : {"en_US.UTF-8", "de_DE.UTF-8"}) {
        SCOPED_TRACE(locale);
        ASSERT_NO_FATAL_FAILURE(StartProgram("", "", locale));
        ASSERT_TRUE(OpenList());
        HWND editor = OpenEditor(IDC_ADD_ALERT);
        ASSERT_TRUE(editor);
        SYSTEMTIME now{};
        GetLocalTime(&now);
        if (now.wSecond > 52) { // saved and ticked within its minute
            Sleep((61 - now.wSecond) * 1000);
            GetLocalTime(&now);
        }
        Prepare(editor, kTimeOfDay);
        Click(editor, IDC_DATE_ON);      // the picker starts on today
        ChooseItem(editor, IDC_HOUR, 0); // "Any"
        TypeText(editor, IDC_MINUTE, (now.wMinute < 10 ? "0" : "") + std::to_string(now.wMinute));
        Click(editor, IDC_SUBMIT);
        EXPECT_EQ(Answer(IDOK), GetText(kTextFinished));
        const std::string alerts = install.ReadAlerts();
        const std::string id = NewSectionOf(alerts, "condition", "4");
        const std::string date = AlertValue(id, "date");
        const std::string day = std::to_string(now.wDay), month = std::to_string(now.wMonth);
        EXPECT_NE(date.find(std::to_string(now.wYear)), std::string::npos) << date;
        if (std::string(locale).rfind("de", 0) == 0)
            EXPECT_NE(date.find('.'), std::string::npos) << date;
        else
            EXPECT_EQ(date.rfind(month + "/" + day + "/", 0), 0u) << date;
        ASSERT_TRUE(simulator->Send(SimCommand::SetPrice, "EURUSD 1.20100 1.20112"));
        EXPECT_TRUE(WaitUntil(
            [&] {
                for (HWND window : TopLevelWindows({"#32770", std::nullopt, program.Id()}))
                    if (GetDlgItem(window, kPopupSymbol))
                        return true;
                return false;
            },
            kMainTick + kTickSlack + 2s))
            << "the dated alert did not fire";
        CloseMainProgram(program, bar);
        install.WriteAlerts("");
    }
}
