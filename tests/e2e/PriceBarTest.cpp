// The main program's price bar against the simulated terminal, seen from outside.
#include "app/QuoteColumns.h"
#include "door/AppMessages.h"
#include "platform/Text.h"
#include "resources/resource.h"
#include "settings/AppConfig.h"
#include "settings/Log.h"
#include "tests/e2e/PriceBarHarness.h"
#include "tests/e2e/SimHarness.h"
#include <commctrl.h>
#include <gtest/gtest.h>
#include <memory>
#include <numeric>
#include <thread>
#include "settings/LangTable.h"

using namespace e2e;

namespace {
constexpr int kOrderSymbolControl = 1001; // in the simulator's order window
constexpr COLORREF kPriceUpColour = 0x00FF0000;
constexpr COLORREF kPriceDownColour = 0x000000FF;
constexpr Milliseconds kOneTick = kMainTick + kTickSlack;
constexpr Milliseconds kColumnSaveDelay = 500ms;
constexpr int kDragDistance = 40;
constexpr int kSavedWidthMarginPixels = 50;

const char* const kFirstEight[] = {"EURUSD", "GBPUSD", "USDCHF", "USDJPY",
                                   "AUDUSD", "NZDUSD", "USDCAD", "EURJPY"};

// The message table in the edition's language (<windows.h> claims the name GetMessage).
std::string Message(int entry) {
    return GetMessageIn(AppConfig().languageIndex, entry);
}

bool LooksLikePrice(const std::string& text) {
    return text.size() >= 3 && text.find_first_not_of("0123456789.") == std::string::npos &&
           text.find('.') != std::string::npos;
}

std::string Setting(const Installation& install, const std::string& key) {
    return IniValue(install.ReadSettings(), "MAIN", key).value_or("");
}

class PriceBarTest : public ::testing::Test {
protected:
    void SetUp() override {
        simulator = Simulator::Start("/frozen");
        ASSERT_TRUE(simulator);
    }
    void TearDown() override { CloseMainProgram(program, bar); }

    // Starts the copy with these settings; the bar is not waited for.
    void Start(const std::string& settings = "", const Placement& copy = MainProgram()) {
        programPath = install.Path(copy.target);
        if (!settings.empty())
            install.WriteSettings(settings);
        program = Process::Start(programPath, "\"" + programPath + "\"");
        ASSERT_TRUE(program);
    }
    // Starts the copy and waits for its bar and its first prices.
    void StartBar(const std::string& settings = "", const Placement& copy = MainProgram()) {
        ASSERT_NO_FATAL_FAILURE(Start(settings, copy));
        bar = WaitForBar(program.Id());
        ASSERT_NE(bar, nullptr) << "the price bar did not come up";
        quotes = std::make_unique<RemoteQuoteList>(bar);
        ASSERT_TRUE(*quotes) << "cannot read the bar's list";
        ASSERT_TRUE(WaitUntil([&] { return !quotes->Cell(0).empty(); }, kOneTick));
    }
    bool WaitForCell(int column, const std::string& text) {
        return WaitUntil([&] { return quotes->Cell(column) == text; }, kOneTick);
    }
    RECT Cell(int column) {
        const std::optional<RECT> cell = quotes->CellOnScreen(column);
        EXPECT_TRUE(cell) << "no rectangle for column " << column;
        return cell.value_or(RECT{});
    }
    HWND WaitForMenu() {
        return WaitForWindow({"#32768", std::nullopt, program.Id()}, kStartTimeout);
    }
    void DismissMenu(HWND menu) {
        PostMessageW(bar, WM_KEYDOWN, VK_ESCAPE, 0); // the menu loop reads the thread's keys
        EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(menu); }, kStartTimeout));
    }

    Installation install{{MainProgram(), MainProgramWithLog()}};
    std::unique_ptr<Simulator> simulator;
    std::string programPath;
    Process program;
    HWND bar = nullptr;
    std::unique_ptr<RemoteQuoteList> quotes;
};

TEST_F(PriceBarTest, FirstStartShowsTheFirstEightSymbolsAndStoresThemWithTheHotKeys) {
    ASSERT_NO_FATAL_FAILURE(StartBar());
    const std::vector<std::string> expected(std::begin(kFirstEight), std::end(kFirstEight));
    EXPECT_EQ(quotes->ColumnTitles(), expected);
    EXPECT_TRUE(WaitUntil(
        [&] {
            for (int column = 0; column < 8; ++column)
                if (!LooksLikePrice(quotes->Cell(column)))
                    return false;
            return true;
        },
        kOneTick));
    EXPECT_EQ(Setting(install, "DisplayCurrency"),
              "EURUSD,GBPUSD,USDCHF,USDJPY,AUDUSD,NZDUSD,USDCAD,EURJPY,");

    const std::pair<const char*, const char*> defaults[] = {
        {"OPTHOTMT4VC", "90"},  {"OPTHOTMT4WM", "3"},       {"OPTHOTBARVC", "88"},
        {"OPTHOTBARWM", "3"},   {"OPTHOTSETTINGSVC", "83"}, {"OPTHOTSETTINGSWM", "3"},
        {"OPTHOTICONVC", "84"}, {"OPTHOTICONWM", "3"},      {"OPTHOTNEWSVC", "86"},
        {"OPTHOTNEWSWM", "3"}};
    for (const auto& [key, value] : defaults)
        EXPECT_EQ(Setting(install, key), value) << key;

    // What only mail, TLS, secrets, downloads, the browser and the file dialogs need loads on
    // their first use: an idle bar that carried them would cost megabytes all day.
    const std::set<std::string> loaded = LoadedLibraries(program.Id());
    ASSERT_TRUE(loaded.count("kernel32.dll")) << "cannot list the program's libraries";
    for (const char* later : {"crypt32.dll", "secur32.dll", "ws2_32.dll", "wininet.dll",
                              "comdlg32.dll", "oleaut32.dll"})
        EXPECT_FALSE(loaded.count(later)) << later << " is loaded by the idle bar";
}

TEST_F(PriceBarTest, ASetPriceAppearsWithinOneTickInTheColourOfItsDirection) {
    ASSERT_NO_FATAL_FAILURE(StartBar());
    ASSERT_TRUE(simulator->Send(SimCommand::SetPrice, "EURUSD 1.20000 1.20012"));
    ASSERT_TRUE(WaitForCell(0, "1.2000"));

    ASSERT_TRUE(simulator->Send(SimCommand::SetPrice, "EURUSD 1.21000 1.21012"));
    ASSERT_TRUE(WaitForCell(0, "1.2100")) << "a rise did not show within one tick";
    const RECT eurusd = Cell(0);
    const RECT gbpusd = Cell(1);
    EXPECT_TRUE(WaitUntil([&] { return CountScreenPixels(eurusd, kPriceUpColour) > 0; }, 1s))
        << "the risen price is not drawn in the price-up colour";
    EXPECT_EQ(CountScreenPixels(eurusd, kPriceDownColour), 0);
    // Only the changed cell takes a colour.
    EXPECT_EQ(CountScreenPixels(gbpusd, kPriceUpColour), 0);
    EXPECT_EQ(CountScreenPixels(gbpusd, kPriceDownColour), 0);

    ASSERT_TRUE(simulator->Send(SimCommand::SetPrice, "EURUSD 1.19000 1.19012"));
    ASSERT_TRUE(WaitForCell(0, "1.1900")) << "a fall did not show within one tick";
    EXPECT_TRUE(WaitUntil([&] { return CountScreenPixels(eurusd, kPriceDownColour) > 0; }, 1s))
        << "the fallen price is not drawn in the price-down colour";
    EXPECT_EQ(CountScreenPixels(eurusd, kPriceUpColour), 0);
}

TEST_F(PriceBarTest, ASecondStartMakesTheFirstShowItselfAndEndsWithoutAWindow) {
    ASSERT_NO_FATAL_FAILURE(StartBar());
    PostMessageW(bar, WM_COMMAND, IDM_PRICE_BAR, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(bar); }, kStartTimeout));

    Process second = Process::Start(programPath, "\"" + programPath + "\"");
    ASSERT_TRUE(second);
    bool sawWindow = false;
    const bool ended = WaitUntil(
        [&] {
            sawWindow =
                sawWindow || !TopLevelWindows({"", std::nullopt, second.Id(), false}).empty();
            return !second.IsRunning();
        },
        kStartTimeout);
    EXPECT_TRUE(ended) << "the second start did not end";
    EXPECT_FALSE(sawWindow) << "the second start made a window";
    EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(bar) != FALSE; }, kOneTick))
        << "the first instance did not show itself within one tick";
    EXPECT_TRUE(program.IsRunning());
}

TEST_F(PriceBarTest, ASymbolListedTwiceIsNotFoundInItsSecondColumn) {
    ASSERT_NO_FATAL_FAILURE(StartBar("[MAIN]\r\nDisplayCurrency=EURUSD,EURUSD,GBPUSD,\r\n"));
    EXPECT_EQ(quotes->ColumnTitles(), (std::vector<std::string>{"EURUSD", "EURUSD", "GBPUSD"}));
    EXPECT_TRUE(WaitUntil([&] { return LooksLikePrice(quotes->Cell(2)); }, kOneTick));
    EXPECT_TRUE(LooksLikePrice(quotes->Cell(0)));
    EXPECT_EQ(quotes->Cell(1), "Not Found");
}

TEST_F(PriceBarTest, DraggingAColumnDividerStoresTheWidthsAndResizesTheBar) {
    ASSERT_NO_FATAL_FAILURE(StartBar());
    const int before = quotes->ColumnWidth(0);
    const std::optional<POINT> divider = quotes->DividerOnScreen(0);
    ASSERT_TRUE(divider);
    MouseDrag(*divider, {divider->x + kDragDistance, divider->y});
    ASSERT_TRUE(WaitUntil([&] { return quotes->ColumnWidth(0) > before; }, kStartTimeout))
        << "the drag did not widen the column";

    std::string saved;
    ASSERT_TRUE(WaitUntil(
        [&] {
            saved = Setting(install, "ColumnWidth");
            return !saved.empty();
        },
        kColumnSaveDelay + kOneTick));
    const std::vector<std::string> entries = SplitList(saved);
    ASSERT_EQ(entries.size(), 8u) << saved;
    EXPECT_EQ(saved.back(), ',') << "each width is followed by a comma";
    std::vector<int> widths;
    for (int column = 0; column < 8; ++column) {
        widths.push_back(LeadingInteger<int>(entries[column]));
        EXPECT_EQ(widths.back(), quotes->ColumnWidth(column)) << "column " << column;
    }
    EXPECT_GT(widths[0], before);
    const int expectedWidth =
        std::accumulate(widths.begin(), widths.end(), kSavedWidthMarginPixels);
    EXPECT_TRUE(WaitUntil(
        [&] {
            RECT rect{};
            GetWindowRect(bar, &rect);
            return rect.right - rect.left == expectedWidth;
        },
        kStartTimeout))
        << "the bar is not as wide as its columns plus " << kSavedWidthMarginPixels;
}

TEST_F(PriceBarTest, TrayMenuHoldsTheTerminalModeItems) {
    ASSERT_NO_FATAL_FAILURE(StartBar("", MainProgramWithLog()));
    PostMessageW(bar, kTrayCallbackMessage, 0, WM_RBUTTONDOWN);
    const HWND menu = WaitForMenu();
    ASSERT_NE(menu, nullptr) << "no menu opened";

    const std::string gap = AppConfig().languageIndex == kLangChinese ? "" : " ";
    // Bar and terminal are both shown: both items offer to hide. No order, no news.
    const std::string expected = GetText(10) + "...|" + GetText(29) + "...|" + GetText(238) +
                                 "...|" + GetText(44) + "...|" + GetText(13) + gap + GetText(30) +
                                 "|" + GetText(13) + gap + GetText(31) + "|" + GetText(11) + "|";
    EXPECT_EQ(WaitForLoggedMenu(programPath, "tray"), expected);
    DismissMenu(menu);
}

TEST_F(PriceBarTest, TakenHotKeysAreListedInOneWarning) {
    HeldHotKeys held;
    ASSERT_TRUE(held.Hold(MOD_CONTROL | MOD_SHIFT, 'Z'));
    ASSERT_TRUE(held.Hold(MOD_CONTROL | MOD_SHIFT, 'X'));
    ASSERT_NO_FATAL_FAILURE(Start());
    const HWND warning = WaitForWindow({"#32770", std::string("Warning"), program.Id()});
    ASSERT_NE(warning, nullptr) << "no warning about the taken keys";
    EXPECT_EQ(MessageBoxText(warning),
              GetText(54) + ":\r\n\r\n" + GetText(51) + "\r\n" + GetText(52));
    ASSERT_TRUE(PressButton(warning, IDOK));
    bar = WaitForBar(program.Id());
    ASSERT_NE(bar, nullptr);
    // The taken keys keep their settings; the others are stored.
    EXPECT_EQ(Setting(install, "OPTHOTMT4VC"), "");
    EXPECT_EQ(Setting(install, "OPTHOTBARVC"), "");
    EXPECT_EQ(Setting(install, "OPTHOTSETTINGSVC"), "83");
    EXPECT_EQ(Setting(install, "OPTHOTNEWSWM"), "3");
}

TEST_F(PriceBarTest, TheProgramEndsAfterItsMessageWhenTheTerminalQuits) {
    ASSERT_NO_FATAL_FAILURE(StartBar());
    ASSERT_TRUE(simulator->Quit());
    const HWND box = WaitForWindow({"#32770", Message(0), program.Id()}, kOneTick + 2s);
    ASSERT_NE(box, nullptr) << "no message about the terminal";
    EXPECT_EQ(MessageBoxText(box), Message(18));
    EXPECT_TRUE(program.IsRunning()) << "the program must wait for the message to be read";
    ASSERT_TRUE(PressButton(box, IDOK));
    EXPECT_TRUE(program.WaitForExit(kStartTimeout)) << "the program went on after its message";
}

TEST_F(PriceBarTest, OrderCommandOpensTheTerminalsOrderWindowForTheClickedSymbol) {
    ASSERT_NO_FATAL_FAILURE(StartBar());
    const RECT gbpusd = Cell(1);
    MouseRightClick({(gbpusd.left + gbpusd.right) / 2, (gbpusd.top + gbpusd.bottom) / 2});
    const HWND menu = WaitForMenu();
    ASSERT_NE(menu, nullptr) << "the right click opened no menu";
    EXPECT_EQ(Setting(install, "ORDERSYMBOL"), "GBPUSD");
    EXPECT_EQ(Setting(install, "ORDERFROM"), "BAR");
    RECT menuRect{}, barRect{};
    GetWindowRect(menu, &menuRect);
    GetWindowRect(bar, &barRect);
    EXPECT_EQ(menuRect.top, barRect.bottom) << "the menu opens at the bar's bottom edge";
    DismissMenu(menu);
    // A selected row would paint the prices white on blue and hide their direction colours.
    EXPECT_EQ(SendMessageW(GetDlgItem(bar, IDC_QUOTE_LIST), LVM_GETITEMSTATE, 0, LVIS_SELECTED), 0)
        << "the right click left the price row selected";

    PostMessageW(bar, WM_COMMAND, IDM_NEW_ORDER, 0);
    const HWND order = WaitForWindow(
        {"", std::string(kSimDefaultOrderTitle), simulator->ProcessId()}, kStartTimeout);
    ASSERT_NE(order, nullptr) << "the terminal's order window did not open";
    EXPECT_EQ(WindowText(GetDlgItem(order, kOrderSymbolControl)), "GBPUSD");
}

// Under Wine neither a folder's nor a file's read-only attribute stops a write (the prefix runs
// as the Unix user, often root); a settings file held by another program that shares no
// writing does, as an installation under Program Files does on Windows.
TEST_F(PriceBarTest, AFolderThatCannotBeWrittenIsReportedOnceAndTheBarStillComesUp) {
    const std::string settings = "[MAIN]\r\nSHOWOPTION=1\r\n";
    install.WriteSettings(settings);
    const HANDLE holder =
        CreateFileW(Widen(install.Path("file\\pipward.cfg")).c_str(), GENERIC_READ, FILE_SHARE_READ,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    const std::unique_ptr<void, decltype(&CloseHandle)> held(holder, &CloseHandle);
    ASSERT_NO_FATAL_FAILURE(Start());
    const HWND box = WaitForWindow({"#32770", Message(0), program.Id()});
    ASSERT_NE(box, nullptr) << "no message about the folder";
    std::string expected = Message(29);
    expected.replace(expected.find("%s"), 2, install.Path("file"));
    EXPECT_EQ(MessageBoxText(box), expected);
    ASSERT_TRUE(PressButton(box, IDOK));
    bar = WaitForBar(program.Id());
    ASSERT_NE(bar, nullptr) << "the price bar did not come up";
    // The first start's writes (symbols, hot keys) and a tick's fail without a word.
    RemoteQuoteList list(bar);
    ASSERT_TRUE(WaitUntil([&] { return !list.Cell(0).empty(); }, kOneTick));
    std::this_thread::sleep_for(kOneTick);
    EXPECT_TRUE(TopLevelWindows({"#32770", Message(0), program.Id()}).empty());
    EXPECT_EQ(install.ReadSettings(), settings);
}

TEST_F(PriceBarTest, RestartLeavesExactlyOneInstance) {
    ASSERT_NO_FATAL_FAILURE(StartBar());
    PostMessageW(bar, kRestartRequestMessage, 0, 0);
    ASSERT_TRUE(program.WaitForExit(kStartTimeout)) << "the old instance did not end";
    HWND fresh = nullptr;
    ASSERT_TRUE(WaitUntil(
        [&] {
            const std::vector<HWND> bars = TopLevelWindows({"#32770", std::string(kBarTitle)});
            fresh = bars.size() == 1 ? bars.front() : nullptr;
            return fresh != nullptr;
        },
        kStartTimeout))
        << "no new instance came up";
    // The new one has run its start-up checks and a tick by now.
    ASSERT_TRUE(WaitUntil([&] { return RemoteQuoteList(fresh).Cell(0).size() > 0; }, kOneTick));
    EXPECT_EQ(ProcessesOf(programPath).size(), 1u);
    EXPECT_EQ(TopLevelWindows({"#32770", std::string(kBarTitle)}).size(), 1u);

    PostMessageW(fresh, WM_COMMAND, 32772, 0);
    EXPECT_TRUE(WaitUntil([&] { return ProcessesOf(programPath).empty(); }, kStartTimeout));
}

} // namespace
