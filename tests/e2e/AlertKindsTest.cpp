// The move, channel and spread alerts made in the editor and set off by the simulated
// terminal; a snooze chosen on a real popup; quiet hours holding back a sound.
#include "alerts/AlertKinds.h"
#include "feed/AlertHistory.h"
#include "resources/notify_resource.h"
#include "resources/resource.h"
#include "settings/KindTextIds.h"
#include "settings/TextIds.h"
#include "tests/e2e/AlertWindowsHarness.h"
#include <cstdio>
#include <thread>
#include "settings/LangTable.h"

using namespace e2e;

namespace {
constexpr Milliseconds kOneTick = kMainTick + kTickSlack;
// More than the refire guard and two ticks: a level alert not held would have rung again.
constexpr Milliseconds kLongerThanARefire = 5s + 2 * kOneTick;
const char kHistory[] = "file\\alerthistory.csv";
const char kStayingPopups[] = "CLSNTFSNDS=-1\r\n";

const char kLevelAlert[] = "[EURUSD1]\r\ncurrency=EURUSD\r\nenabled=1\r\ncondition=0\r\n"
                           "price=1.1000\r\nmode=%d\r\nsoundfile=C:\\windows\\media\\ding.wav\r\n"
                           "speaklen=0\r\nspeakname=1\r\ntraymsg=\r\nalerttimes=-2\r\n"
                           "autodelete=0\r\n%s";

std::string LevelAlert(int mode, const std::string& more = "") {
    char text[512] = {};
    std::snprintf(text, sizeof text, kLevelAlert, mode, more.c_str());
    return text;
}

// The program's notification popups now shown, with their messages.
std::vector<std::pair<HWND, std::string>> Popups(DWORD processId) {
    std::vector<std::pair<HWND, std::string>> popups;
    for (HWND window : TopLevelWindows({"#32770", std::nullopt, processId}))
        if (GetDlgItem(window, IDC_NOTIFY_SYMBOL))
            popups.emplace_back(window, WindowText(GetDlgItem(window, IDC_NOTIFY_MESSAGE)));
    return popups;
}

bool PopupSays(DWORD processId, const std::string& message) {
    for (const auto& [window, text] : Popups(processId))
        if (text == message)
            return true;
    return false;
}

// "hh:mm" of the local clock moved by whole hours.
std::string ClockInHours(int hours) {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    char text[8] = {};
    std::snprintf(text, sizeof text, "%02d:%02d", (now.wHour + 24 + hours) % 24, now.wMinute);
    return text;
}

// The local time some seconds from now, as the alerts file keeps it.
std::string LocalTimeIn(int seconds) {
    FILETIME file{};
    GetSystemTimeAsFileTime(&file);
    ULARGE_INTEGER value{};
    value.LowPart = file.dwLowDateTime;
    value.HighPart = file.dwHighDateTime;
    value.QuadPart += static_cast<ULONGLONG>(seconds) * 10000000ULL;
    file.dwLowDateTime = value.LowPart;
    file.dwHighDateTime = value.HighPart;
    FILETIME local{};
    SYSTEMTIME at{};
    FileTimeToLocalFileTime(&file, &local);
    FileTimeToSystemTime(&local, &at);
    char text[32] = {};
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", at.wYear, at.wMonth, at.wDay,
                  at.wHour, at.wMinute, at.wSecond);
    return text;
}

// A click on a control of another process's window, as the mouse gives it.
void ClickControl(HWND control) {
    PostMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    PostMessageW(control, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
}
} // namespace

class AlertKindsTest : public AlertWindowsTest {
protected:
    void Save(HWND editor, int expected) {
        Click(editor, IDC_SUBMIT);
        EXPECT_EQ(Answer(IDOK), GetText(expected));
    }
    void Prepare(HWND editor, int condition, const std::string& message) {
        ChooseItem(editor, IDC_ALERT_CURRENCY, 0); // EURUSD, the sorted box's first
        ChooseItem(editor, IDC_ALERT_CONDITION, condition);
        TypeText(editor, IDC_CUSTOM_TEXT, message);
    }
    bool WaitForPopup(const std::string& message) {
        return WaitUntil([&] { return PopupSays(program.Id(), message); }, kOneTick + 2s);
    }
};

TEST_F(AlertKindsTest, MoveChannelAndSpreadAlertsMadeInTheEditorFire) {
    ASSERT_NO_FATAL_FAILURE(StartProgram("", kStayingPopups));
    ASSERT_TRUE(OpenList());
    HWND editor = OpenEditor(IDC_ADD_ALERT);
    ASSERT_TRUE(editor);
    Click(editor, IDC_CUSTOM_TEXT_ON);

    Prepare(editor, kMoveCondition, "move");
    EXPECT_TRUE(IsShownItem(editor, IDC_MOVE_PIPS));
    EXPECT_FALSE(IsShownItem(editor, IDC_ALERT_PRICE));
    TypeText(editor, IDC_MOVE_PIPS, "0");
    Save(editor, kTextCheckMovePips);
    TypeText(editor, IDC_MOVE_PIPS, "20");
    TypeText(editor, IDC_MOVE_MINUTES, "15");
    ChooseItem(editor, IDC_MOVE_WAY, kMoveWayDown);
    Save(editor, kTextFinished);

    Prepare(editor, kChannelCondition, "channel");
    TypeText(editor, IDC_CHANNEL_LOW, "1.2100");
    TypeText(editor, IDC_CHANNEL_HIGH, "1.2100");
    Save(editor, kTextCheckChannel);
    TypeText(editor, IDC_CHANNEL_HIGH, "1.2200");
    ChooseItem(editor, IDC_CHANNEL_WAY, kChannelEnters);
    Save(editor, kTextFinished);

    Prepare(editor, kSpreadCondition, "spread");
    TypeText(editor, IDC_SPREAD_PIPS, "2.55");
    Save(editor, kTextCheckSpread);
    TypeText(editor, IDC_SPREAD_PIPS, "3");
    Save(editor, kTextFinished);
    Click(editor, IDC_EDITOR_CLOSE);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(editor); }, 5s));

    HWND list = GetDlgItem(OpenList(), IDC_ALERT_LIST);
    ASSERT_EQ(ListItemCount(list), 3);
    std::vector<std::string> conditions;
    for (int row = 0; row < 3; ++row)
        conditions.push_back(ListItemText(list, row, 3));
    EXPECT_EQ(conditions,
              (std::vector<std::string>{"Moves 20 pips within 15 min, down",
                                        "Channel 1.2100-1.2200, enters", "Spread >= 3 pips"}));

    // The reloaded alerts see the price of 1.2000 first.
    std::this_thread::sleep_for(kOneTick);
    ASSERT_TRUE(simulator->Send(SimCommand::SetPrice, "EURUSD 1.19800 1.19812"));
    EXPECT_TRUE(WaitForPopup("move"));
    ASSERT_TRUE(simulator->Send(SimCommand::SetPrice, "EURUSD 1.21500 1.21512"));
    EXPECT_TRUE(WaitForPopup("channel"));
    // The terminal's ask widened to 4 pips.
    EXPECT_FALSE(PopupSays(program.Id(), "spread"));
    ASSERT_TRUE(simulator->Send(SimCommand::SetPrice, "EURUSD 1.21500 1.21540"));
    EXPECT_TRUE(WaitForPopup("spread"));
}

TEST_F(AlertKindsTest, ASnoozeChosenOnThePopupHoldsTheAlertAlsoAcrossARestart) {
    ASSERT_NO_FATAL_FAILURE(StartProgram(LevelAlert(1), kStayingPopups));
    HWND popup = nullptr;
    ASSERT_TRUE(WaitUntil(
        [&] {
            const auto popups = Popups(program.Id());
            return !popups.empty() && (popup = popups.front().first) != nullptr;
        },
        kOneTick + 2s));
    HWND hour = GetDlgItem(popup, IDC_NOTIFY_SNOOZE_HOUR);
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(hour) != FALSE; }, 5s));
    EXPECT_EQ(WindowText(hour), GetText(kTextSnoozeHour));
    ClickControl(hour);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(popup); }, 5s));
    ASSERT_TRUE(WaitUntil([&] { return AlertValue("EURUSD1", "snoozeuntil") != "<missing>"; }, 5s));
    EXPECT_GE(AlertValue("EURUSD1", "snoozeuntil"), LocalTimeIn(3590));
    EXPECT_LE(AlertValue("EURUSD1", "snoozeuntil"), LocalTimeIn(3610));
    std::this_thread::sleep_for(kLongerThanARefire);
    EXPECT_TRUE(Popups(program.Id()).empty());
    const std::string history = install.ReadFile(kHistory);
    EXPECT_NE(history.find(std::string(",EURUSD,") + kHistorySnoozed + ","), std::string::npos)
        << history;

    // Restarted with the snooze ending in a few seconds: quiet until then, ringing after.
    CloseMainProgram(program, bar);
    const std::string end = LocalTimeIn(12);
    install.WriteAlerts(LevelAlert(1, "snoozeuntil=" + end + "\r\n"));
    ASSERT_NO_FATAL_FAILURE(StartProgram("", kStayingPopups));
    while (LocalTimeIn(0) < end) {
        ASSERT_TRUE(Popups(program.Id()).empty()) << LocalTimeIn(0) << " before " << end;
        std::this_thread::sleep_for(500ms);
    }
    EXPECT_TRUE(WaitUntil([&] { return !Popups(program.Id()).empty(); }, kOneTick + 2s));
}

TEST_F(AlertKindsTest, QuietHoursHoldBackTheSoundAndTheHistorySaysSo) {
    const std::string quiet = "QUIETHOURS=1\r\nQUIETFROM=" + ClockInHours(-1) +
                              "\r\nQUIETTO=" + ClockInHours(1) + "\r\nQUIETACTIONS=4\r\n";
    ASSERT_NO_FATAL_FAILURE(StartProgram(LevelAlert(1 | 4), kStayingPopups + quiet));
    // The popup is not held back.
    ASSERT_TRUE(WaitUntil([&] { return !Popups(program.Id()).empty(); }, kOneTick + 2s));
    std::string history;
    ASSERT_TRUE(WaitUntil(
        [&] {
            history = install.ReadFile(kHistory);
            return history.find(kHistoryHeld) != std::string::npos;
        },
        5s))
        << history;
    const std::string held = history.substr(history.find(std::string(",") + kHistoryHeld + ","));
    EXPECT_NE(held.find(GetText(kTextSound)), std::string::npos) << held;
    EXPECT_EQ(held.find(GetText(kTextNotification)), std::string::npos) << held;
}
