// The paths a trader takes every day, driven from outside as the clicks and keys arrive:
// a day's pairs, floating window and alerts coming back after a restart, bid or ask in every
// window and alerts with only floating windows shown, every alert kind saved unchanged, and
// the hot-key page with what each global key does.
#include "alerts/AlertStore.h"
#include "quotes/QuoteKeys.h"
#include "resources/resource.h"
#include "settings/BarSettings.h"
#include "tests/e2e/AlertWindowsHarness.h"
#include <shellapi.h>
#include <utility>
#include <vector>
#include "settings/LangTable.h"

using namespace e2e;

namespace {
constexpr Milliseconds kOneTick = kMainTick + kTickSlack;
constexpr UINT kTrayIconId = 128; // the bar's own
constexpr int kTextHotKeyFailureHead = 54, kTextAlertsKey = 121, kTextNewsKey = 94;
const Placement kNewsProgram{"Pipwarden_news.exe", "file\\Pipwarden.exe"};

// Modifying an icon succeeds only while it is in the tray.
bool TrayIconShown(HWND bar) {
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof data;
    data.hWnd = bar;
    data.uID = kTrayIconId;
    return Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE;
}

HWND FloatWindow(DWORD processId, const std::string& symbol) {
    for (HWND window : TopLevelWindows({"#32770", std::nullopt, processId}))
        if (GetDlgItem(window, IDC_FLOAT_SYMBOL) &&
            WindowText(GetDlgItem(window, IDC_FLOAT_SYMBOL)) == symbol)
            return window;
    return nullptr;
}

std::string FloatPrice(HWND window) {
    return WindowText(GetDlgItem(window, IDC_FLOAT_HEADER)) +
           WindowText(GetDlgItem(window, IDC_FLOAT_DIGITS));
}

std::string Alert(const std::string& id, const std::string& currency, const std::string& keys,
                  const std::string& soundFile = "") {
    return "[" + id + "]\r\ncurrency=" + currency + "\r\nenabled=1\r\n" + keys +
           "soundfile=" + soundFile + "\r\n";
}

class TraderPathsTest : public AlertWindowsTest {
protected:
    std::string Setting(const char* key) {
        return IniValue(install.ReadSettings(), "MAIN", key).value_or("<missing>");
    }
    HWND WaitForFloat(const std::string& symbol) {
        HWND window = nullptr;
        WaitUntil([&] { return (window = FloatWindow(program.Id(), symbol)) != nullptr; },
                  kStartTimeout);
        return window;
    }
    HWND ListControl(int id) { return GetDlgItem(OpenList(), id); }
    // The program on what its folder holds: nothing at a first start.
    void StartFromItsFolder() {
        const std::string path = install.MainProgramPath();
        program = Process::Start(path, "\"" + path + "\"");
        ASSERT_TRUE(program);
        bar = WaitForBar(program.Id());
        ASSERT_NE(bar, nullptr) << "the price bar did not come up";
    }
    void Exit() {
        PostMessageW(bar, WM_COMMAND, IDM_EXIT, 0);
        ASSERT_TRUE(program.WaitForExit(kStartTimeout)) << "the program did not exit";
    }
};
} // namespace

// A first start takes the terminal's pairs; the trader drops one, opens a floating window
// from the bar's header and sets two alerts in the editor; one fires once and deletes itself.
// After an exit the files bring back all of it, without a question, and nothing fires again.
TEST_F(TraderPathsTest, ADaysPairsWindowAndAlertsComeBackFromTheFilesAfterARestart) {
    ASSERT_NO_FATAL_FAILURE(StartFromItsFolder());
    HWND currencies = ListControl(IDC_CURRENCY_LIST);
    ASSERT_TRUE(currencies);
    int usdjpy = -1;
    for (int item = 0; item < ListItemCount(currencies); ++item)
        if (ListItemText(currencies, item, 0) == "USDJPY")
            usdjpy = item;
    ASSERT_GE(usdjpy, 0);
    ASSERT_TRUE(CheckListItem(currencies, usdjpy, false));
    ASSERT_TRUE(WaitUntil(
        [&] { return Setting(barkey::kDisplayList).find("USDJPY") == std::string::npos; }, 10s));
    const std::string pairs = Setting(barkey::kDisplayList);

    HWND editor = OpenEditor(IDC_ADD_ALERT);
    ASSERT_TRUE(editor);
    const auto chooseEurusd = [&] {
        const LRESULT item =
            SendMessageW(GetDlgItem(editor, IDC_ALERT_CURRENCY), CB_FINDSTRINGEXACT,
                         static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(L"EURUSD"));
        ChooseItem(editor, IDC_ALERT_CURRENCY, static_cast<int>(item));
    };
    chooseEurusd();
    ChooseItem(editor, IDC_ALERT_CONDITION, kPriceAbove);
    TypeText(editor, IDC_ALERT_PRICE, "1.2500");
    TypeText(editor, IDC_ALERT_TIMES, "1");
    Click(editor, IDC_AUTO_DELETE);
    Click(editor, IDC_SUBMIT);
    EXPECT_FALSE(Answer(IDOK).empty()); // finished
    chooseEurusd();
    ChooseItem(editor, IDC_ALERT_CONDITION, kPriceBelow);
    TypeText(editor, IDC_ALERT_PRICE, "1.1000");
    Click(editor, IDC_UNLIMITED);
    Click(editor, IDC_SUBMIT);
    EXPECT_FALSE(Answer(IDOK).empty());
    Click(editor, IDC_EDITOR_CLOSE);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(editor); }, 5s));
    Click(GetParent(currencies), IDC_LIST_CLOSE);

    RemoteQuoteList quotes(bar);
    std::optional<POINT> divider;
    ASSERT_TRUE(WaitUntil([&] { return (divider = quotes.DividerOnScreen(0)).has_value(); },
                          kStartTimeout));
    MouseLeftClick({divider->x - quotes.ColumnWidth(0) / 2, divider->y});
    ASSERT_TRUE(WaitForFloat("EURUSD")) << "the header click opened no window";

    // The trader exits as soon as the alert has rung: it has rung its once.
    ASSERT_TRUE(simulator->Send(SimCommand::SetPrice, "EURUSD 1.26000 1.26012"));
    EXPECT_TRUE(WaitUntil([&] { return PopupShown(program.Id()); }, kOneTick + 2s));
    EXPECT_EQ(install.ReadAlerts().find("1.2500"), std::string::npos)
        << "the spent alert is still there: " << install.ReadAlerts();
    const int columns = quotes.ColumnCount();
    ASSERT_NO_FATAL_FAILURE(Exit());
    const std::string alerts = install.ReadAlerts();

    ASSERT_NO_FATAL_FAILURE(StartFromItsFolder());
    EXPECT_TRUE(WaitForFloat("EURUSD")) << "the floating window did not come back";
    EXPECT_EQ(WaitForMessageBox(kOneTick), nullptr) << "a question at the second start";
    EXPECT_EQ(Setting(barkey::kDisplayList), pairs);
    EXPECT_EQ(RemoteQuoteList(bar).ColumnCount(), columns);
    EXPECT_EQ(install.ReadAlerts(), alerts);
    EXPECT_EQ(ListItemCount(ListControl(IDC_ALERT_LIST)), 1);
    EXPECT_FALSE(WaitUntil([&] { return PopupShown(program.Id()); }, 2 * kOneTick))
        << "the spent alert fired again";
    EXPECT_EQ(install.ReadAlerts().find("1.2500"), std::string::npos);
}

// Show Ask and Show Bid rebuild the bar; with the list open the bar and the floating window
// show the same price. Hidden, the bar still watches: its alert fires beside the window.
TEST_F(TraderPathsTest, BidOrAskShowsInEveryWindowAndAlertsFireWithOnlyFloatingWindows) {
    ASSERT_TRUE(simulator->Send(SimCommand::SetPrice, "EURUSD 1.23450 1.23482"));
    ASSERT_NO_FATAL_FAILURE(StartProgram(Alert("EURUSD1", "EURUSD",
                                               "condition=0\r\nprice=1.2500\r\nmode=1\r\n"
                                               "alerttimes=-2\r\nautodelete=0\r\n"),
                                         "POPWIN=,EURUSD\r\n"));
    HWND window = WaitForFloat("EURUSD");
    ASSERT_TRUE(window);
    RemoteQuoteList quotes(bar);
    const auto bothShow = [&](const std::string& price) {
        return WaitUntil([&] { return quotes.Cell(0) == price && FloatPrice(window) == price; },
                         2 * kOneTick);
    };
    EXPECT_TRUE(bothShow("1.2345")) << quotes.Cell(0) << " " << FloatPrice(window);
    HWND list = OpenList();
    ASSERT_TRUE(list);
    Click(list, IDC_SHOW_ASK);
    EXPECT_TRUE(bothShow("1.2348")) << quotes.Cell(0) << " " << FloatPrice(window);
    EXPECT_EQ(Setting(quotekey::kShowBid), "0");
    Click(list, IDC_SHOW_BID);
    EXPECT_TRUE(bothShow("1.2345")) << quotes.Cell(0) << " " << FloatPrice(window);
    EXPECT_EQ(Setting(quotekey::kShowBid), "1");
    Click(list, IDC_LIST_CLOSE);

    PostMessageW(bar, WM_COMMAND, IDM_PRICE_BAR, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(bar); }, 5s));
    ASSERT_TRUE(simulator->Send(SimCommand::SetPrice, "EURUSD 1.26000 1.26012"));
    EXPECT_TRUE(WaitUntil([&] { return FloatPrice(window) == "1.2600"; }, 2 * kOneTick));
    EXPECT_TRUE(WaitUntil([&] { return PopupShown(program.Id()); }, kOneTick + 2s))
        << "no alert while the bar is hidden";
}

// Each kind as the editor stores it, opened in the editor and submitted unchanged.
TEST_F(TraderPathsTest, EveryAlertKindSavedUnchangedKeepsItsKeys) {
    wchar_t date[64] = {};
    const SYSTEMTIME day{2031, 3, 0, 17, 0, 0, 0, 0};
    ASSERT_GT(GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &day, nullptr, date, 64), 0);
    const std::string dated = "date=" + Narrow(date) + "\r\n";
    const std::string plain = "speaklen=0\r\nspeakname=1\r\ntraymsg=\r\n";
    const std::vector<std::pair<std::string, std::string>> kinds = {
        {"EURUSD1", "condition=0\r\nprice=1.3000\r\nmode=3\r\nspeaklen=3\r\nspeakname=0\r\n"
                    "traymsg=first@#@second\r\nalerttimes=-2\r\nautodelete=0\r\n"},
        {"EURUSD2",
         "condition=1\r\nprice=1.1000\r\nmode=4\r\n" + plain + "alerttimes=5\r\nautodelete=1\r\n"},
        // No count in force, as an older version may have stored it for a level.
        {"EURUSD3",
         "condition=1\r\nprice=1.0500\r\nmode=1\r\n" + plain + "alerttimes=-1\r\nautodelete=0\r\n"},
        {"EURUSD4", "condition=2\r\ndiffpips=20\r\nstartcon=0\r\nstartpips=1.2100\r\nmode=1\r\n" +
                        plain + "alerttimes=-1\r\nautodelete=0\r\n"},
        {"EURUSD5", "condition=2\r\ndiffpips=15\r\nstartcon=-1\r\nmode=2\r\nspeaklen=0\r\n"
                    "speakname=0\r\ntraymsg=\r\nalerttimes=-1\r\nautodelete=0\r\n"},
        {"USDJPY1", "condition=3\r\nintervalmins=15\r\nmode=1\r\n" + plain +
                        "alerttimes=-1\r\nautodelete=0\r\n"},
        {"USDJPY2", "condition=4\r\n" + dated + "hour=-1\r\nminute=30\r\nmode=1\r\n" + plain +
                        "alerttimes=2\r\nautodelete=1\r\n"},
        {"USDJPY3", "condition=4\r\n" + dated + "hour=14\r\nminute=05\r\nmode=1\r\n" + plain +
                        "alerttimes=1\r\nautodelete=1\r\n"},
        {"USDJPY4", "condition=4\r\ndate=\r\nhour=09\r\nminute=00\r\nmode=1\r\n" + plain +
                        "alerttimes=-2\r\nautodelete=0\r\n"},
        {"EURUSD6", "condition=5\r\nmovepips=30\r\nmovemins=15\r\nmoveway=2\r\nmode=1\r\n" + plain +
                        "alerttimes=3\r\nautodelete=0\r\n"},
        {"EURUSD7", "condition=6\r\nchanlow=1.1500\r\nchanhigh=1.2500\r\nchanway=1\r\nmode=1\r\n" +
                        plain + "alerttimes=1\r\nautodelete=1\r\n"},
        {"EURUSD8", "condition=7\r\nspreadpips=2.5\r\nmode=1\r\n" + plain +
                        "alerttimes=-2\r\nautodelete=0\r\n"},
    };
    install.WriteFile("file\\ring.wav", "RIFF");
    std::string file;
    for (const auto& [id, keys] : kinds)
        file += Alert(id, id.substr(0, 6), keys, install.Path("file\\ring.wav"));
    ASSERT_NO_FATAL_FAILURE(StartProgram(file));
    HWND list = ListControl(IDC_ALERT_LIST);
    ASSERT_EQ(ListItemCount(list), static_cast<int>(kinds.size()));
    for (int row = 0; row < static_cast<int>(kinds.size()); ++row) {
        SCOPED_TRACE(kinds[row].first);
        ASSERT_TRUE(SetListItemState(list, row, LVIS_SELECTED | LVIS_FOCUSED,
                                     LVIS_SELECTED | LVIS_FOCUSED));
        HWND editor = OpenEditor(IDC_EDIT_ALERT);
        ASSERT_TRUE(editor);
        Click(editor, IDC_SUBMIT);
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(editor); }, 5s))
            << "Submit kept the editor: " << MessageBoxText(WaitForMessageBox(1s));
    }

    const std::string saved = install.ReadAlerts();
    const char* const keys[] = {"currency", "enabled",    "condition",    "price",    "diffpips",
                                "startcon", "startpips",  "intervalmins", "date",     "hour",
                                "minute",   "mode",       "soundfile",    "speaklen", "speakname",
                                "traymsg",  "alerttimes", "autodelete",   "movepips", "movemins",
                                "moveway",  "chanlow",    "chanhigh",     "chanway",  "spreadpips",
                                "until"};
    for (const auto& [id, ignored] : kinds)
        for (const char* key : keys)
            EXPECT_EQ(IniValue(saved, id, key), IniValue(file, id, key)) << id << " " << key;
}

// The page registers what it is given at once; a key taken by another program is listed in
// one warning and stored as none, but the News row keeps its keys. Each global key acts.
TEST_F(TraderPathsTest, HotKeyPageAppliesAtOnceAndEachGlobalKeyActs) {
    install.Place(kNewsProgram); // the News row shows
    ASSERT_TRUE(simulator->Send(SimCommand::SetPrice, "EURUSD 1.23450 1.23482"));
    ASSERT_NO_FATAL_FAILURE(StartProgram(""));
    // The bar is in its cycle before the first key.
    ASSERT_TRUE(WaitUntil([&] { return RemoteQuoteList(bar).Cell(0) == "1.2345"; }, 4 * kOneTick));
    const HWND terminal = simulator->Window();
    // On a miss, which modifiers the system still took for held: a lost key-up would show.
    const auto heldModifiers = [] {
        std::string names;
        for (const auto& [key, name] :
             {std::pair{VK_CONTROL, "Ctrl"}, {VK_SHIFT, "Shift"}, {VK_MENU, "Alt"}})
            if (GetAsyncKeyState(key) & 0x8000)
                names += std::string(" ") + name;
        return names.empty() ? std::string(" none") : names;
    };
    // A key sent while Wine moves the focus can lose its modifiers (Wine then sets them to
    // the X server's, which never saw them): one more press then, never more.
    const auto pressUntil = [](std::initializer_list<WORD> keys,
                               const std::function<bool()>& done) {
        for (int press = 0; press < 2; ++press) {
            PressKeys(keys);
            if (WaitUntil(done, 5s))
                return true;
        }
        return false;
    };
    const auto toggles = [&](const std::function<bool()>& shown,
                             std::initializer_list<WORD> keys) -> ::testing::AssertionResult {
        const bool before = shown();
        if (!pressUntil(keys, [&] { return shown() != before; }))
            return ::testing::AssertionFailure()
                   << "no change after a press; held:" << heldModifiers();
        if (!pressUntil(keys, [&] { return shown() == before; }))
            return ::testing::AssertionFailure() << "no change back; held:" << heldModifiers();
        return ::testing::AssertionSuccess();
    };
    EXPECT_TRUE(
        toggles([&] { return IsWindowVisible(terminal) != FALSE; }, {VK_CONTROL, VK_SHIFT, 'Z'}))
        << "the terminal key";
    EXPECT_TRUE(toggles([&] { return IsWindowVisible(bar) != FALSE; }, {VK_CONTROL, VK_SHIFT, 'X'}))
        << "the price bar key";
    EXPECT_TRUE(toggles(
        [&] {
            for (HWND window : TopLevelWindows({"#32770", std::nullopt, program.Id()}))
                if (GetDlgItem(window, IDC_ALERT_LIST))
                    return true;
            return false;
        },
        {VK_CONTROL, VK_SHIFT, 'S'}))
        << "the alerts list key";
    EXPECT_TRUE(toggles([&] { return TrayIconShown(bar); }, {VK_CONTROL, VK_SHIFT, 'T'}))
        << "the tray icon key";

    HeldHotKeys held;
    ASSERT_TRUE(held.Hold(MOD_CONTROL | MOD_ALT, 'B'));
    ASSERT_TRUE(held.Hold(MOD_CONTROL | MOD_ALT, 'N'));
    PostMessageW(bar, WM_COMMAND, IDM_OPTIONS, 0);
    HWND options = nullptr;
    ASSERT_TRUE(
        WaitUntil([&] { return (options = OptionsWindowOf(program.Id())) != nullptr; }, 10s));
    HWND page = OptionsPageWith(options, IDC_HOTKEY_BAR);
    ASSERT_TRUE(page);
    // Apply takes the page in front: the trader goes to its tab.
    const HWND tab = GetDlgItem(options, IDC_OPT_TAB);
    PostMessageW(tab, WM_KEYDOWN, VK_RIGHT, 1);
    PostMessageW(tab, WM_KEYUP, VK_RIGHT, 1);
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(page) != FALSE; }, 5s));
    constexpr BYTE kCtrlAlt = HOTKEYF_CONTROL | HOTKEYF_ALT;
    for (const auto& [control, key] :
         {std::pair{IDC_HOTKEY_BAR, 'A'}, {IDC_HOTKEY_ALERTS, 'B'}, {IDC_HOTKEY_NEWS, 'N'}}) {
        HWND box = GetDlgItem(page, control);
        SendMessageW(box, HKM_SETHOTKEY, MAKEWORD(key, kCtrlAlt), 0);
        PostMessageW(page, WM_COMMAND, MAKEWPARAM(control, EN_CHANGE),
                     reinterpret_cast<LPARAM>(box));
    }
    ASSERT_TRUE(WaitUntil([&] { return IsEnabledItem(options, IDC_OPT_APPLY); }, 5s));
    Click(options, IDC_OPT_APPLY);
    EXPECT_EQ(Answer(IDOK), GetText(kTextHotKeyFailureHead) + ":\r\n\r\n" +
                                GetText(kTextAlertsKey) + "\r\n" + GetText(kTextNewsKey));
    EXPECT_EQ(WaitForMessageBox(1s), nullptr) << "a second warning";
    Click(options, IDC_OPT_CANCEL);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(options); }, 10s));

    EXPECT_EQ(Setting("OPTHOTBARVC"), "65");
    EXPECT_EQ(Setting("OPTHOTBARWM"), "6");
    EXPECT_EQ(Setting("OPTHOTSETTINGSVC"), "0");
    EXPECT_EQ(Setting("OPTHOTSETTINGSWM"), "0");
    EXPECT_EQ(Setting("OPTHOTNEWSVC"), "86");
    EXPECT_EQ(Setting("OPTHOTNEWSWM"), "3");
    // The new key works at once; the old one is let go.
    PressKeys({VK_CONTROL, VK_SHIFT, 'X'});
    EXPECT_FALSE(WaitUntil([&] { return !IsWindowVisible(bar); }, 2s)) << "the old key still acts";
    EXPECT_TRUE(toggles([&] { return IsWindowVisible(bar) != FALSE; }, {VK_CONTROL, VK_MENU, 'A'}))
        << "the new price bar key";
}
