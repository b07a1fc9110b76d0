// A trading day of main ticks in well under an hour, for scripts/soak.sh: the program with a
// shortened tick beside a terminal whose eight displayed pairs move on every tick, a level
// and a step alert firing with popups, two floating windows and the alerts list open, and
// the terminal's list emptied and refilled every few minutes. It prints a sample of the
// program's resources each interval ("soak-sample ..."); the script judges their slopes.
// Disabled in the test run: it runs for minutes.
#include "resources/resource.h"
#include "tests/e2e/RunHarness.h"
#include <cstdio>
#include <gtest/gtest.h>
#include <set>
#include <thread>

using namespace e2e;

namespace {
constexpr long kDefaultSeconds = 120;
constexpr long kDefaultTickMs = 50;
constexpr long kDefaultSampleSeconds = 60;
constexpr long kDefaultCycleSeconds = 180;
constexpr Milliseconds kPollStep = 1s;
constexpr Milliseconds kListGoneFor = 2s;
constexpr Milliseconds kPopupSeconds = 3s; // the popups close themselves this soon

HWND DialogWith(DWORD processId, int childId) {
    for (HWND window : TopLevelWindows({"#32770", std::nullopt, processId}))
        if (GetDlgItem(window, childId))
            return window;
    return nullptr;
}

int FloatCount(DWORD processId) {
    int count = 0;
    for (HWND window : TopLevelWindows({"#32770", std::nullopt, processId}))
        if (GetDlgItem(window, IDC_FLOAT_SYMBOL))
            ++count;
    return count;
}

// What a disconnect looks like from outside: the list empties and the window goes, then
// both come back with the symbols at their opening prices.
void EmptyAndRefill(const Simulator& simulator) {
    for (const char* symbol : kEightPairSymbols)
        EXPECT_TRUE(simulator.Send(SimCommand::RemoveSymbol, symbol));
    EXPECT_TRUE(simulator.Send(SimCommand::HideTerminal));
    std::this_thread::sleep_for(kListGoneFor);
    EXPECT_TRUE(simulator.Send(SimCommand::ShowTerminal));
    for (const char* quote : kEightPairQuotes)
        EXPECT_TRUE(simulator.Send(SimCommand::AddSymbol, quote));
}
} // namespace

TEST(Soak, DISABLED_ATradingDayOfTicks) {
    const long seconds = EnvironmentNumber("PIPWARDEN_SOAK_SECONDS", kDefaultSeconds);
    const long tickMs = EnvironmentNumber("PIPWARDEN_SOAK_TICK_MS", kDefaultTickMs);
    const long sampleSeconds =
        EnvironmentNumber("PIPWARDEN_SOAK_SAMPLE_SECONDS", kDefaultSampleSeconds);
    const long cycleSeconds = EnvironmentNumber("PIPWARDEN_SOAK_CYCLE_SECONDS", kDefaultCycleSeconds);

    // The walk steps at least as often as the program looks.
    auto simulator = Simulator::Start("/rows:8 /seed:11 /interval:" + std::to_string(tickMs));
    ASSERT_TRUE(simulator);
    Installation install{{MainProgram()}};
    std::string display = ",";
    for (const char* symbol : kEightPairSymbols)
        display += std::string(symbol) + ",";
    install.WriteSettings("[MAIN]\r\nSHOWOPTION=1\r\nDisplayCurrency=" + display +
                          "\r\nTestTickMs=" + std::to_string(tickMs) +
                          "\r\nCLSNTFSNDS=" + std::to_string(kPopupSeconds.count() / 1000) +
                          "\r\nDISPLAY=0\r\nPOPWIN=,EURUSD,GBPUSD\r\n");
    // GBPUSD stays above 1.0 all day: the level alert fires whenever its guard allows.
    install.WriteAlerts(LevelAlert("GBPUSD1", "GBPUSD", true, "1.0000") +
                        StepAlert("EURUSD1", "EURUSD", 5));
    const std::string path = install.MainProgramPath();
    Process program = Process::Start(path, "\"" + path + "\"");
    ASSERT_TRUE(program);
    const HWND bar = WaitForWindow({"#32770", std::string(kBarTitle), program.Id(), false});
    ASSERT_NE(bar, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return FloatCount(program.Id()) == 2 && !IsWindowVisible(bar); },
                          kStartTimeout));
    // The start-up may hide the bar once more after it is first shown: ask until it stays.
    ASSERT_TRUE(WaitUntil(
        [&] {
            if (!IsWindowVisible(bar))
                PostMessageW(bar, WM_COMMAND, IDM_PRICE_BAR, 0);
            std::this_thread::sleep_for(kPollStep);
            return IsWindowVisible(bar) != FALSE;
        },
        kStartTimeout));
    PostMessageW(bar, WM_COMMAND, IDM_ALERTS, 0);
    HWND list = nullptr;
    ASSERT_TRUE(WaitUntil(
        [&] { return (list = DialogWith(program.Id(), IDC_ALERT_LIST)) != nullptr; }, kStartTimeout));

    const std::string pid = std::to_string(program.Id());
    const double start = NowMs();
    const long firstCount = RefreshCount(*simulator);
    std::set<HWND> shown;
    long popups = 0;
    long cycles = 0;
    double nextSample = start;
    double nextCycle = start + 1000.0 * cycleSeconds;
    std::string boxes;
    while (NowMs() - start < 1000.0 * seconds) {
        ASSERT_TRUE(program.IsRunning()) << "the program ended after " << (NowMs() - start) / 1000
                                         << " s";
        for (const std::string& text : MessageBoxTexts(program.Id()))
            boxes += text + "\n";
        ASSERT_EQ(boxes, "") << "message boxes appeared";
        std::set<HWND> now;
        for (const NotifyPopup& popup : NotifyPopups(program.Id())) {
            now.insert(popup.window);
            popups += shown.count(popup.window) ? 0 : 1;
        }
        shown = now;
        if (NowMs() >= nextSample) {
            const std::string counts = RunBuiltTool("procstat.exe", pid);
            std::printf("soak-sample seconds=%.0f ticks=%ld popups=%ld %s\n",
                        (NowMs() - start) / 1000, RefreshCount(*simulator) - firstCount, popups,
                        counts.c_str());
            std::fflush(stdout);
            nextSample += 1000.0 * sampleSeconds;
        }
        if (NowMs() >= nextCycle) {
            EmptyAndRefill(*simulator);
            ++cycles;
            nextCycle += 1000.0 * cycleSeconds;
        }
        std::this_thread::sleep_for(kPollStep);
    }
    const double elapsed = (NowMs() - start) / 1000;
    const long ticks = RefreshCount(*simulator) - firstCount;
    std::printf("soak-end seconds=%.0f ticks=%ld ticks_per_second=%.2f nominal_per_second=%.2f "
                "popups=%ld list_cycles=%ld\n",
                elapsed, ticks, ticks / elapsed, 1000.0 / tickMs, popups, cycles);
    std::fflush(stdout);
    // Four times the normal rate at least: the test tick is honoured.
    EXPECT_GT(ticks / elapsed, 4 * 1000.0 / 2000);
    EXPECT_GT(popups, 0) << "no alert fired";
    EXPECT_EQ(FloatCount(program.Id()), 2);
    EXPECT_TRUE(IsWindow(list)) << "the alerts list closed";
    CloseMainProgram(program, bar);
}
