// Floating price windows against the simulated terminal, seen from outside.
#include "resources/resource.h"
#include "tests/e2e/PriceBarHarness.h"
#include "tests/e2e/SimHarness.h"
#include <gtest/gtest.h>
#include <memory>

using namespace e2e;

namespace {
constexpr COLORREF kRiseColour = RGB(0, 0, 255);
constexpr COLORREF kFallColour = RGB(255, 0, 0);
constexpr int kScreenWidth = 1600; // the test display
constexpr Milliseconds kRefresh = 2000ms + kTickSlack;
constexpr Milliseconds kSlideOut = 2000ms + 2 * kTickSlack; // the first auto-hide tick, animated

struct Geometry {
    int left, top, width, height;
    bool operator==(const Geometry&) const = default;
};

Geometry GeometryOf(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

std::ostream& operator<<(std::ostream& out, const Geometry& g) {
    return out << g.left << "," << g.top << " " << g.width << "x" << g.height;
}

class FloatWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        simulator = Simulator::Start("/frozen");
        ASSERT_TRUE(simulator);
        ASSERT_TRUE(simulator->Send(SimCommand::SetPrice, "EURUSD 1.23450 1.23462"));
    }
    void TearDown() override { CloseMainProgram(program, bar); }

    // Starts the program on these settings and waits for its bar, shown or not.
    void Start(const std::string& settings) {
        if (!settings.empty())
            install.WriteSettings("[MAIN]\r\n" + settings);
        const std::string path = install.MainProgramPath();
        program = Process::Start(path, "\"" + path + "\"");
        ASSERT_TRUE(program);
        bar = WaitForWindow({"#32770", std::string(kBarTitle), program.Id(), false});
        ASSERT_NE(bar, nullptr) << "the price bar did not come up";
    }
    std::vector<HWND> Floats() {
        std::vector<HWND> floats;
        for (HWND window : TopLevelWindows({"#32770", std::nullopt, program.Id()}))
            if (GetDlgItem(window, IDC_FLOAT_SYMBOL))
                floats.push_back(window);
        return floats;
    }
    HWND WaitForFloat(const std::string& symbol) {
        HWND found = nullptr;
        WaitUntil(
            [&] {
                for (HWND window : Floats())
                    if (WindowText(GetDlgItem(window, IDC_FLOAT_SYMBOL)) == symbol)
                        found = window;
                return found != nullptr;
            },
            kStartTimeout);
        return found;
    }
    // The program replaces the settings file as a whole, which fails under Wine while a
    // reader holds it open: read it once the window shows that the writes are done.
    std::string Setting(const std::string& section, const std::string& key) {
        return IniValue(install.ReadSettings(), section, key).value_or("");
    }
    void CloseFloat(HWND window) {
        PostMessageW(window, WM_CLOSE, 0, 0);
        EXPECT_TRUE(WaitUntil([&] { return !IsWindow(window); }, kStartTimeout));
    }
    bool WaitForDigits(HWND window, const std::string& header, const std::string& digits) {
        return WaitUntil(
            [&] {
                return WindowText(GetDlgItem(window, IDC_FLOAT_HEADER)) == header &&
                       WindowText(GetDlgItem(window, IDC_FLOAT_DIGITS)) == digits;
            },
            kRefresh);
    }

    Installation install{{MainProgram()}};
    std::unique_ptr<Simulator> simulator;
    Process program;
    HWND bar = nullptr;
};

// With the bar hidden at the last exit, the listed windows open in its place.
TEST_F(FloatWindowTest, ListedWindowsOpenOncePerPairStackedAtTheBottomRight) {
    ASSERT_NO_FATAL_FAILURE(Start("DISPLAY=0\r\nPOPWIN=,EURUSD, ,GBPUSD,eurusd,NOSUCH\r\n"));
    const HWND eurusd = WaitForFloat("EURUSD");
    const HWND gbpusd = WaitForFloat("GBPUSD");
    const HWND unknown = WaitForFloat("NOSUCH");
    ASSERT_NE(eurusd, nullptr);
    ASSERT_NE(gbpusd, nullptr);
    ASSERT_NE(unknown, nullptr);
    EXPECT_EQ(Floats().size(), 3u) << "a pair listed twice opened twice";
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(bar); }, kStartTimeout));

    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    EXPECT_EQ(GeometryOf(eurusd), (Geometry{kScreenWidth - 120, screenHeight - 148, 120, 120}));
    EXPECT_EQ(GeometryOf(gbpusd), (Geometry{kScreenWidth - 120, screenHeight - 268, 120, 120}));
    EXPECT_EQ(GeometryOf(unknown), (Geometry{kScreenWidth - 120, screenHeight - 388, 120, 120}));
    // A pair the terminal does not list waits for its price.
    EXPECT_TRUE(WaitForDigits(unknown, "...", ""));
    EXPECT_EQ(Setting("MAIN", "POPWIN"), ",EURUSD,GBPUSD,NOSUCH");
    EXPECT_EQ(Setting("EURUSD", "HWD"), std::to_string(reinterpret_cast<INT_PTR>(eurusd)));
}

// The windows left open beside a shown bar come back with it; a click on a pair's name in
// the bar's header tears that pair off too.
TEST_F(FloatWindowTest, WindowsReopenBesideTheShownBarAndAHeaderClickOpensAnother) {
    ASSERT_NO_FATAL_FAILURE(Start("DisplayCurrency=EURUSD,GBPUSD,\r\nPOPWIN=,EURUSD\r\n"));
    EXPECT_NE(WaitForFloat("EURUSD"), nullptr) << "the listed window did not come back";
    EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(bar) != FALSE; }, kStartTimeout));
    RemoteQuoteList quotes(bar);
    std::optional<POINT> divider;
    ASSERT_TRUE(WaitUntil([&] { return (divider = quotes.DividerOnScreen(1)).has_value(); },
                          kStartTimeout));
    MouseLeftClick({divider->x - quotes.ColumnWidth(1) / 2, divider->y});
    EXPECT_NE(WaitForFloat("GBPUSD"), nullptr) << "the click opened no window";
    EXPECT_EQ(Floats().size(), 2u);
    EXPECT_EQ(Setting("MAIN", "POPWIN"), ",EURUSD,GBPUSD");
}

TEST_F(FloatWindowTest, DigitsTakeTheColourOfTheLastChange) {
    ASSERT_NO_FATAL_FAILURE(Start("DISPLAY=0\r\nPOPWIN=,EURUSD\r\n"));
    const HWND window = WaitForFloat("EURUSD");
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(WaitForDigits(window, "1.23", "45"));
    RECT digits{};
    GetWindowRect(GetDlgItem(window, IDC_FLOAT_DIGITS), &digits);
    RECT client{};
    GetWindowRect(window, &client);
    IntersectRect(&digits, &digits, &client);

    ASSERT_TRUE(simulator->Send(SimCommand::SetPrice, "EURUSD 1.23460 1.23472"));
    ASSERT_TRUE(WaitForDigits(window, "1.23", "46")) << "a rise did not show";
    EXPECT_TRUE(WaitUntil([&] { return CountScreenPixels(digits, kRiseColour) > 0; }, 1s));
    EXPECT_EQ(CountScreenPixels(digits, kFallColour), 0);

    ASSERT_TRUE(simulator->Send(SimCommand::SetPrice, "EURUSD 1.23450 1.23462"));
    ASSERT_TRUE(WaitForDigits(window, "1.23", "45")) << "a fall did not show";
    EXPECT_TRUE(WaitUntil([&] { return CountScreenPixels(digits, kFallColour) > 0; }, 1s));
    EXPECT_EQ(CountScreenPixels(digits, kRiseColour), 0);

    // Market Watch reordered: the window follows its pair, not the row it was on.
    ASSERT_TRUE(simulator->Send(SimCommand::MoveSymbol, "EURUSD 4"));
    ASSERT_TRUE(simulator->Send(SimCommand::SetPrice, "EURUSD 1.30010 1.30022"));
    EXPECT_TRUE(WaitForDigits(window, "1.30", "01"));
}

TEST_F(FloatWindowTest, WindowsComeBackWhereTheyWereLeftAndNeverOffTheScreens) {
    // GBPUSD was last seen on a monitor that is gone.
    ASSERT_NO_FATAL_FAILURE(Start("DISPLAY=0\r\nPOPWIN=,EURUSD,GBPUSD\r\n"
                                  "[GBPUSD]\r\nX=5000\r\nY=300\r\nW=150\r\nH=130\r\n"));
    const HWND eurusd = WaitForFloat("EURUSD");
    const HWND gbpusd = WaitForFloat("GBPUSD");
    ASSERT_NE(eurusd, nullptr);
    ASSERT_NE(gbpusd, nullptr);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(bar); }, kStartTimeout))
        << "the bar shows although only the windows should";
    // Placed as if nothing were stored: one window above the first, whole on the screen, and
    // that place stored.
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    EXPECT_EQ(GeometryOf(gbpusd), (Geometry{kScreenWidth - 150, screenHeight - 268, 150, 130}));
    EXPECT_EQ(Setting("GBPUSD", "X"), std::to_string(kScreenWidth - 150));

    const Geometry moved{300, 200, 180, 160};
    SetWindowPos(eurusd, nullptr, moved.left, moved.top, moved.width, moved.height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    // Sent to the window's thread: handled by the time the call returns.
    EXPECT_EQ(Setting("EURUSD", "H"), "160");
    EXPECT_EQ(Setting("EURUSD", "X"), "300");
    EXPECT_EQ(Setting("EURUSD", "Y"), "200");
    EXPECT_EQ(Setting("EURUSD", "W"), "180");

    CloseMainProgram(program, bar);
    ASSERT_FALSE(program.IsRunning());
    ASSERT_NO_FATAL_FAILURE(Start(""));
    const HWND again = WaitForFloat("EURUSD");
    ASSERT_NE(again, nullptr) << "the window did not come back after a restart";
    EXPECT_EQ(GeometryOf(again), moved);
    ASSERT_NE(WaitForFloat("GBPUSD"), nullptr);
}

TEST_F(FloatWindowTest, WindowsClosedWithinTenSecondsStayListed) {
    ASSERT_NO_FATAL_FAILURE(Start("DISPLAY=0\r\nPOPWIN=,EURUSD,GBPUSD,USDCHF,AUDUSD\r\n"));
    const char* const symbols[] = {"EURUSD", "GBPUSD", "USDCHF", "AUDUSD"};
    std::vector<HWND> windows;
    for (const char* symbol : symbols) {
        windows.push_back(WaitForFloat(symbol));
        ASSERT_NE(windows.back(), nullptr) << symbol;
    }

    CloseFloat(windows[0]);
    EXPECT_EQ(Setting("MAIN", "LASTCLSWIN"), ",EURUSD");
    CloseFloat(windows[1]);
    EXPECT_EQ(Setting("MAIN", "LASTCLSWIN"), ",EURUSD,GBPUSD");
    EXPECT_EQ(Setting("MAIN", "POPWIN"), ",EURUSD,GBPUSD,USDCHF,AUDUSD");

    // Make the last close lie long ago: the next close drops the windows closed then.
    const std::string settings = install.ReadSettings();
    const std::string stamp = "LASTCLSTIME=" + Setting("MAIN", "LASTCLSTIME");
    const std::size_t at = settings.find(stamp);
    ASSERT_NE(at, std::string::npos);
    install.WriteSettings(settings.substr(0, at) + "LASTCLSTIME=2001-01-01 00:00:00" +
                          settings.substr(at + stamp.size()));
    CloseFloat(windows[2]);
    EXPECT_EQ(Setting("MAIN", "LASTCLSWIN"), ",USDCHF");
    EXPECT_EQ(Setting("MAIN", "POPWIN"), ",USDCHF,AUDUSD");

    // Quitting at once keeps the window closed last for the next start.
    CloseMainProgram(program, bar);
    EXPECT_EQ(Setting("MAIN", "POPWIN"), ",USDCHF,AUDUSD");
    EXPECT_EQ(Setting("MAIN", "LASTCLSWIN"), "");
}

TEST_F(FloatWindowTest, TheLastWindowClosedWhileTheBarIsHiddenEndsTheProgram) {
    ASSERT_NO_FATAL_FAILURE(Start("DISPLAY=0\r\nPOPWIN=,EURUSD\r\n"));
    const HWND window = WaitForFloat("EURUSD");
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(bar); }, kStartTimeout));
    PostMessageW(bar, WM_COMMAND, IDM_PRICE_BAR, 0);
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(bar) != FALSE; }, kStartTimeout));
    // The bar's close button only hides the bar while a floating window shows prices.
    PostMessageW(bar, WM_COMMAND, MAKEWPARAM(IDC_CLOSE_PICTURE, STN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(bar, IDC_CLOSE_PICTURE)));
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(bar); }, kStartTimeout));
    EXPECT_TRUE(program.IsRunning());

    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(program.WaitForExit(kStartTimeout)) << "the program went on without a window";
    // Hidden only moments ago: the bar shows at the next start.
    EXPECT_EQ(Setting("MAIN", "DISPLAY"), "1");
    EXPECT_EQ(Setting("MAIN", "POPWIN"), ",EURUSD");
}

TEST_F(FloatWindowTest, AtTheRightEdgeTheWindowSlidesOutAndComesBackUnderThePointer) {
    MouseMove({kScreenWidth / 2, 10});
    ASSERT_NO_FATAL_FAILURE(Start("DISPLAY=0\r\nOPTGENAUTOHIDE=1\r\nPOPWIN=,EURUSD\r\n"));
    const HWND window = WaitForFloat("EURUSD");
    ASSERT_NE(window, nullptr);
    const Geometry shown = GeometryOf(window);
    ASSERT_EQ(shown.left + shown.width, kScreenWidth) << "not opened against the right edge";

    EXPECT_TRUE(WaitUntil([&] { return GeometryOf(window).left == kScreenWidth - 2; }, kSlideOut))
        << "the window did not slide out leaving 2 pixels: " << GeometryOf(window);
    EXPECT_EQ(GeometryOf(window).top, shown.top);
    EXPECT_EQ(Setting("EURUSD", "X"), std::to_string(shown.left)) << "the hidden place was stored";

    MouseMove({kScreenWidth - 1, shown.top + shown.height / 2});
    EXPECT_TRUE(WaitUntil([&] { return GeometryOf(window) == shown; }, kTickSlack))
        << "the window did not come back under the pointer: " << GeometryOf(window);
    MouseMove({kScreenWidth / 2, 10});
}

} // namespace
