// The options window's data-source page: choosing among running terminals, also from inside
// the alert editor, and the start without a terminal that ends with the chosen terminal
// running and the program attached.
#include "platform/Text.h"
#include "resources/resource.h"
#include "tests/e2e/AlertWindowsHarness.h"

using namespace e2e;

namespace {
constexpr int kFileNameBox = 1148; // the common file dialog's file name

// Shown once its page is: the page itself may be hidden behind another tab.
bool HasShowStyle(HWND control) {
    return (GetWindowLongW(control, GWL_STYLE) & WS_VISIBLE) != 0;
}

class OptionsSourceTest : public AlertWindowsTest {
protected:
    HWND OpenSourcePage() {
        PostMessageW(bar, WM_COMMAND, IDM_OPTIONS, 0);
        WaitUntil([&] { return (options = OptionsWindowOf(program.Id())) != nullptr; }, 10s);
        return options ? OptionsPageWith(options, IDC_SOURCE_TERMINAL) : nullptr;
    }
    void CloseOptions() {
        Click(options, IDC_OPT_CANCEL);
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(options); }, 10s));
    }
    std::string Setting(const char* key) {
        return IniValue(install.ReadSettings(), "MAIN", key).value_or("<missing>");
    }
    HWND options = nullptr;
};

// No terminal runs, none is installed where the reader looks, and none has been chosen.
class OptionsStartTest : public OptionsSourceTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(WaitUntil(
            [] {
                return TopLevelWindows({kSimTerminalClass, std::nullopt}).empty();
            },
            kStartTimeout))
            << "a terminal is still running";
    }
};
} // namespace

TEST_F(OptionsSourceTest, TerminalListFollowsTheRunningTerminals) {
    auto second = Simulator::Start("/frozen /account:87654321");
    ASSERT_TRUE(second);
    // The list keeps the order in which the terminals' windows are found.
    const std::vector<HWND> terminals = TopLevelWindows({kSimTerminalClass, std::nullopt});
    ASSERT_EQ(terminals.size(), 2u);
    const std::string first = WindowText(terminals[0]), last = WindowText(terminals[1]);
    ASSERT_NO_FATAL_FAILURE(
        StartProgram("", "MTSource=" + last.substr(0, last.find(':')) + "\r\n"));

    HWND page = OpenSourcePage();
    ASSERT_TRUE(page);
    HWND list = GetDlgItem(page, IDC_SOURCE_TERMINALS);
    EXPECT_TRUE(HasShowStyle(list));
    EXPECT_EQ(SendMessageW(list, CB_GETCOUNT, 0, 0), 2);
    EXPECT_EQ(SendMessageW(list, CB_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(Setting("MTSource"), last);
    EXPECT_TRUE(IsDlgButtonChecked(page, IDC_SOURCE_TERMINAL));

    // Picking the other terminal asks before restarting; declined, its title stays stored.
    SendMessageW(list, CB_SETCURSEL, 0, 0);
    PostMessageW(page, WM_COMMAND, MAKEWPARAM(IDC_SOURCE_TERMINALS, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(list));
    EXPECT_NE(Answer(IDNO).find(first), std::string::npos);
    EXPECT_EQ(Setting("MTSource"), first);
    ASSERT_NO_FATAL_FAILURE(CloseOptions());

    // With one terminal there is nothing to choose; its title is remembered.
    ASSERT_TRUE((simulator->Window() == terminals[0] ? simulator : second)->Quit());
    page = OpenSourcePage();
    ASSERT_TRUE(page);
    EXPECT_FALSE(HasShowStyle(GetDlgItem(page, IDC_SOURCE_TERMINALS)));
    EXPECT_EQ(Setting("MTSource"), last);
    ASSERT_NO_FATAL_FAILURE(CloseOptions());
}

// The options opened from the alert editor's "Email" box restart the program for another
// terminal: the old program, still inside the editor, neither ticks nor fires any more.
TEST_F(OptionsSourceTest, ARestartFromInsideTheAlertEditorLeavesOneProgramFiring) {
    auto second = Simulator::Start("/frozen /account:87654321");
    ASSERT_TRUE(second);
    ASSERT_TRUE(second->Send(SimCommand::SetPrice, "EURUSD 1.20000 1.20012"));
    const std::string last = WindowText(TopLevelWindows({kSimTerminalClass, std::nullopt})[1]);
    ASSERT_NO_FATAL_FAILURE(
        StartProgram("[EURUSD1]\r\ncurrency=EURUSD\r\nenabled=1\r\ncondition=0\r\nprice=1.2500\r\n"
                     "mode=1\r\nalerttimes=-2\r\nautodelete=0\r\n",
                     "MTSource=" + last.substr(0, last.find(':')) + "\r\n"));
    ASSERT_TRUE(OpenList());
    HWND editor = OpenEditor(IDC_ADD_ALERT);
    ASSERT_TRUE(editor);
    Click(editor, IDC_EMAIL); // no address yet: the options open over the editor
    ASSERT_TRUE(
        WaitUntil([&] { return (options = OptionsWindowOf(program.Id())) != nullptr; }, 10s));
    // By the radio button: the general page has a control of the list's number.
    HWND page = OptionsPageWith(options, IDC_SOURCE_TERMINAL);
    ASSERT_TRUE(page);
    // The other terminal than the one in use, wherever the program lists it.
    HWND list = GetDlgItem(page, IDC_SOURCE_TERMINALS);
    ASSERT_EQ(SendMessageW(list, CB_GETCOUNT, 0, 0), 2);
    const WPARAM other = SendMessageW(list, CB_GETCURSEL, 0, 0) == 0 ? 1 : 0;
    SendMessageW(list, CB_SETCURSEL, other, 0);
    PostMessageW(page, WM_COMMAND, MAKEWPARAM(IDC_SOURCE_TERMINALS, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(list));
    ASSERT_FALSE(Answer(IDYES).empty()); // switch terminals?

    DWORD restarted = 0;
    ASSERT_TRUE(WaitUntil(
        [&] {
            for (DWORD id : ProcessesOf(install.MainProgramPath()))
                if (id != program.Id())
                    restarted = id;
            return restarted != 0;
        },
        kStartTimeout));
    HWND fresh = WaitForBar(restarted, 30s);
    ASSERT_TRUE(fresh) << "the new program did not come up";
    ASSERT_TRUE(IsWindow(editor)) << "the old program left its editor";
    for (Simulator* terminal : {simulator.get(), second.get()})
        ASSERT_TRUE(terminal->Send(SimCommand::SetPrice, "EURUSD 1.26000 1.26012"));
    EXPECT_TRUE(WaitUntil([&] { return PopupShown(restarted); }, kMainTick + kTickSlack + 2s))
        << "the new program did not fire";
    EXPECT_FALSE(WaitUntil([&] { return PopupShown(program.Id()); }, kMainTick + kTickSlack))
        << "the old program fires too";
    program.End();
    PostMessageW(fresh, WM_COMMAND, IDM_EXIT, 0);
    EXPECT_TRUE(
        WaitUntil([&] { return ProcessesOf(install.MainProgramPath()).empty(); }, kStartTimeout));
}

// The terminal loads its Market Watch only after the options' wait for it has given up: the
// restarted program still attaches, without a second question.
TEST_F(OptionsStartTest, StartWithoutTerminalChoosesStartsAndAttaches) {
    const std::string terminal = install.Path("MT4 终端\\terminal.exe");
    install.Place({"mt4sim.exe", "MT4 终端\\terminal.exe"});
    install.WriteFile("MT4 终端\\mt4sim.switches", "/loaddelay:14000");
    install.WriteSettings("[MAIN]\r\nDisplayCurrency=,EURUSD,USDJPY,\r\n");
    const std::string path = install.MainProgramPath();
    program = Process::Start(path, "\"" + path + "\"");
    ASSERT_TRUE(program);

    ASSERT_TRUE(WaitUntil([&] { return (options = OptionsWindowOf(program.Id())) != nullptr; },
                          kStartTimeout));
    EXPECT_EQ(SendMessageW(GetDlgItem(options, IDC_OPT_TAB), TCM_GETCURSEL, 0, 0), 2);
    HWND page = OptionsPageWith(options, IDC_SOURCE_TERMINAL);
    ASSERT_TRUE(page);
    EXPECT_FALSE(IsDlgButtonChecked(page, IDC_SOURCE_TERMINAL));
    Click(options, IDC_OPT_OK); // no source chosen yet
    EXPECT_FALSE(Answer(IDOK).empty());
    ASSERT_TRUE(IsWindow(options));

    Click(page, IDC_SOURCE_OTHER); // only a note; nothing stays chosen
    EXPECT_FALSE(Answer(IDOK).empty());
    EXPECT_FALSE(IsDlgButtonChecked(page, IDC_SOURCE_OTHER));

    Click(page, IDC_SOURCE_TERMINAL);
    EXPECT_FALSE(Answer(IDYES).empty()); // choose the terminal's program?
    HWND files = nullptr;
    ASSERT_TRUE(WaitUntil(
        [&] {
            for (HWND window : TopLevelWindows({"#32770", std::nullopt, program.Id()}))
                if (GetDlgItem(window, kFileNameBox))
                    return (files = window) != nullptr;
            return false;
        },
        10s));
    TypeText(files, kFileNameBox, terminal);
    PressButton(files, IDOK);
    EXPECT_FALSE(Answer(IDYES).empty()); // start it?

    ASSERT_TRUE(WaitUntil([&] { return !ProcessesOf(terminal).empty(); }, kStartTimeout));
    EXPECT_TRUE(program.WaitForExit(kStartTimeout)) << "the program did not restart";
    DWORD restarted = 0;
    ASSERT_TRUE(WaitUntil(
        [&] {
            const auto running = ProcessesOf(path);
            return !running.empty() && (restarted = running.front()) != 0;
        },
        kStartTimeout));
    EXPECT_TRUE(WaitForBar(restarted, 30s)) << "the restarted program did not attach";
    EXPECT_EQ(ProcessesOf(terminal).size(), 1u);
    EXPECT_EQ(Setting("MTPATH"), terminal);
}
