// The alerts list window driven like a user: deleting checked rows, opening one with Enter,
// clearing, the currency choice that may not be empty, and the switch that stops every alert.
#include "resources/resource.h"
#include "tests/e2e/AlertWindowsHarness.h"
#include "settings/LangTable.h"

using namespace e2e;

namespace {
constexpr int kTextSelectOne = 25, kTextAskDelete = 131, kTextAskClear = 132;
constexpr int kTextClearCount = 280, kTextClearHiddenCount = 281;
constexpr int kRowOffset = 8; // from the header's bottom to inside the first row

std::string PriceAlert(const std::string& id, const std::string& price) {
    return "[" + id + "]\r\ncurrency=EURUSD\r\nenabled=1\r\ncondition=0\r\nprice=" + price +
           "\r\nmode=1\r\nsoundfile=\r\nspeaklen=0\r\nspeakname=1\r\ntraymsg=\r\n"
           "alerttimes=-2\r\nautodelete=0\r\n";
}

std::string WithCount(int text, int count) {
    std::string pattern = GetText(text);
    return pattern.replace(pattern.find("%s"), 2, std::to_string(count));
}

// A click inside the first row: it selects the row and gives the list the keyboard.
bool ClickFirstRow(HWND list) {
    RECT header{};
    GetWindowRect(reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0)), &header);
    MouseLeftClick({header.left + (header.right - header.left) / 2, header.bottom + kRowOffset});
    return WaitUntil(
        [&] {
            GUITHREADINFO thread{};
            thread.cbSize = sizeof thread;
            return GetGUIThreadInfo(GetWindowThreadProcessId(list, nullptr), &thread) &&
                   thread.hwndFocus == list;
        },
        5s);
}

void PressKey(HWND control, WPARAM key) {
    PostMessageW(control, WM_KEYDOWN, key, 1);
    PostMessageW(control, WM_KEYUP, key, 1);
}
} // namespace

TEST_F(AlertWindowsTest, DeleteTakesTheCheckedRowsEnterOpensARowAndClearSaysWhatGoes) {
    ASSERT_NO_FATAL_FAILURE(StartProgram(
        PriceAlert("EURUSD1", "1.5") + PriceAlert("EURUSD2", "1.6") + PriceAlert("EURUSD3", "1.7") +
        "[GBPUSD4]\r\ncurrency=GBPUSD\r\nenabled=1\r\n"));
    HWND window = OpenList();
    ASSERT_TRUE(window);
    HWND list = GetDlgItem(window, IDC_ALERT_LIST);
    ASSERT_EQ(ListItemCount(list), 3) << "GBPUSD is not displayed";
    EXPECT_TRUE(WaitUntil([&] { return !IsEnabledItem(window, IDC_EDIT_ALERT); }, 2s));

    ASSERT_TRUE(CheckListItem(list, 0, true));
    ASSERT_TRUE(CheckListItem(list, 2, true));
    ASSERT_TRUE(
        SetListItemState(list, 1, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED));
    ASSERT_TRUE(WaitUntil([&] { return IsEnabledItem(window, IDC_EDIT_ALERT); }, 5s));
    PressKey(list, VK_DELETE);
    EXPECT_EQ(Answer(IDOK), GetText(kTextAskDelete));
    ASSERT_TRUE(WaitUntil([&] { return ListItemCount(list) == 1; }, 5s));
    const std::string alerts = install.ReadAlerts();
    EXPECT_FALSE(IniValue(alerts, "EURUSD1", "currency"));
    EXPECT_TRUE(IniValue(alerts, "EURUSD2", "currency"));
    EXPECT_FALSE(IniValue(alerts, "EURUSD3", "currency"));
    EXPECT_TRUE(IniValue(alerts, "GBPUSD4", "currency"));

    // Enter on the row opens it; Up and Down in its price box step like "+" and "-".
    ASSERT_TRUE(ClickFirstRow(list)) << "the click did not reach the list";
    PressKey(list, VK_RETURN);
    HWND editor = nullptr;
    ASSERT_TRUE(WaitUntil(
        [&] {
            for (HWND found : TopLevelWindows({"#32770", std::nullopt, program.Id()}))
                if (GetDlgItem(found, IDC_ALERT_CONDITION))
                    editor = found;
            return editor != nullptr;
        },
        10s))
        << "Enter did not open the row";
    TypeText(editor, IDC_PRICE_STEP, "20");
    HWND price = GetDlgItem(editor, IDC_ALERT_PRICE);
    EXPECT_EQ(WindowText(price), "1.6");
    PressKey(price, VK_UP);
    EXPECT_TRUE(WaitUntil([&] { return WindowText(price) == "1.6020"; }, 5s)) << WindowText(price);
    PressKey(price, VK_DOWN);
    PressKey(price, VK_DOWN);
    EXPECT_TRUE(WaitUntil([&] { return WindowText(price) == "1.5980"; }, 5s)) << WindowText(price);
    Click(editor, IDC_EDITOR_CLOSE);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(editor); }, 5s));

    // The file holds an alert on a pair that is not displayed: the question says so.
    const std::string question = GetText(kTextAskClear) + "\n" + WithCount(kTextClearCount, 2) +
                                 "\n" + WithCount(kTextClearHiddenCount, 1);
    Click(window, IDC_CLEAR_ALERTS);
    EXPECT_EQ(Answer(IDCANCEL), question);
    EXPECT_EQ(ListItemCount(list), 1);
    Click(window, IDC_CLEAR_ALERTS);
    EXPECT_EQ(Answer(IDOK), question);
    ASSERT_TRUE(WaitUntil([&] { return ListItemCount(list) == 0; }, 5s));
    EXPECT_FALSE(IsFile(install.Path("file\\fxconset.ini")));
    EXPECT_TRUE(WaitUntil([&] { return !IsEnabledItem(window, IDC_CLEAR_ALERTS); }, 5s));
}

TEST_F(AlertWindowsTest, TheLastCurrencyCannotBeUncheckedAndDisableAllStopsAFiringAlert) {
    ASSERT_NO_FATAL_FAILURE(StartProgram(PriceAlert("EURUSD1", "1.2500")));
    HWND window = OpenList();
    ASSERT_TRUE(window);
    HWND currencies = GetDlgItem(window, IDC_CURRENCY_LIST);
    ASSERT_GT(ListItemCount(currencies), 2);
    for (int item = 0; item < ListItemCount(currencies); ++item)
        CheckListItem(currencies, item, false);
    EXPECT_EQ(Answer(IDOK), GetText(kTextSelectOne));
    EXPECT_EQ(IniValue(install.ReadSettings(), "MAIN", "DisplayCurrency"), "EURUSD,USDJPY,");

    Click(window, IDC_DISABLE_ALL);
    ASSERT_TRUE(WaitUntil([&] { return !IsEnabledItem(window, IDC_ADD_ALERT); }, 5s));
    EXPECT_FALSE(IsEnabledItem(window, IDC_ALERT_LIST));
    EXPECT_FALSE(IsEnabledItem(window, IDC_CLEAR_ALERTS));
    EXPECT_FALSE(IsEnabledItem(window, IDC_DELETE_ALERT));
    EXPECT_EQ(IniValue(install.ReadSettings(), "MAIN", "disableall"), "1");
    ASSERT_TRUE(simulator->Send(SimCommand::SetPrice, "EURUSD 1.26000 1.26012"));
    EXPECT_FALSE(WaitUntil([&] { return PopupShown(program.Id()); }, kMainTick + kTickSlack));

    Click(window, IDC_DISABLE_ALL);
    EXPECT_TRUE(WaitUntil([&] { return PopupShown(program.Id()); }, kMainTick + kTickSlack + 2s));
    EXPECT_EQ(IniValue(install.ReadSettings(), "MAIN", "disableall"), "0");

    // "Contact" shows the about box with the folder that holds these files.
    Click(window, IDC_CONTACT);
    HWND about = nullptr;
    ASSERT_TRUE(WaitUntil(
        [&] {
            for (HWND found : TopLevelWindows({"#32770", std::nullopt, program.Id()}))
                if (GetDlgItem(found, IDC_ABOUT_FOLDER))
                    about = found;
            return about != nullptr;
        },
        5s));
    EXPECT_EQ(WindowText(GetDlgItem(about, IDC_ABOUT_FOLDER)), install.Path("file"));
    EXPECT_FALSE(IsShownItem(about, IDC_ABOUT_HOMEPAGE)) << "no home page in this build";
    Click(about, IDOK);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(about); }, 5s));
}
