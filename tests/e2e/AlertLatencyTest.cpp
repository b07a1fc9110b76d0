// How long a price change in the terminal takes to reach the screen as an alert popup, with
// the normal main tick. PIPWARDEN_LATENCY_CHANGES sets the number of changes (5 here, 50 for
// a measurement); the median and maximum are printed.
#include "tests/e2e/RunHarness.h"
#include <algorithm>
#include <cstdio>
#include <gtest/gtest.h>
#include <random>
#include <thread>

using namespace e2e;

namespace {
constexpr long kDefaultChanges = 5;
// One tick for the program to look, and a second for the popup to show on a loaded machine.
constexpr double kLatencyBoundMs = 2000.0 + 1000.0;
constexpr Milliseconds kPopupWait = 10s;
constexpr int kStepPips = 10;
} // namespace

TEST(AlertLatency, APriceChangeShowsItsPopupWithinOneTick) {
    const long changes = EnvironmentNumber("PIPWARDEN_LATENCY_CHANGES", kDefaultChanges);
    auto simulator = Simulator::Start("/rows:8 /frozen");
    ASSERT_TRUE(simulator);
    Installation install{{MainProgram()}};
    install.WriteSettings("[MAIN]\r\nSHOWOPTION=1\r\nDisplayCurrency=,EURUSD,GBPUSD,\r\n");
    // A step alert has no refire guard, so the changes can follow each other closely.
    install.WriteAlerts(StepAlert("EURUSD1", "EURUSD", kStepPips));
    const std::string path = install.MainProgramPath();
    Process program = Process::Start(path, "\"" + path + "\"");
    ASSERT_TRUE(program);
    const HWND bar = WaitForBar(program.Id());
    ASSERT_NE(bar, nullptr);
    RemoteQuoteList quotes(bar);
    ASSERT_TRUE(WaitUntil([&] { return quotes.Cell(0) == "1.0851"; }, kStartTimeout));

    // The step alert takes its reference from the first price that moves.
    ASSERT_TRUE(simulator->Send(SimCommand::SetPrice, "EURUSD 1.08612 1.08624"));
    ASSERT_TRUE(WaitUntil([&] { return quotes.Cell(0) == "1.0861"; }, kMainTick + kTickSlack));
    std::this_thread::sleep_for(kMainTick);
    ASSERT_TRUE(NotifyPopups(program.Id()).empty());

    std::mt19937 random(7);
    std::uniform_int_distribution<int> pause(0, 2000); // any phase of the tick
    std::vector<double> latencies;
    int bid = 108612; // points of the reference price
    for (long change = 0; change < changes; ++change) {
        std::this_thread::sleep_for(Milliseconds(pause(random)));
        bid += (change % 2 ? -2 : 2) * kStepPips * 10;
        char quote[64];
        std::snprintf(quote, sizeof quote, "EURUSD %d.%05d %d.%05d", bid / 100000, bid % 100000,
                      (bid + 12) / 100000, (bid + 12) % 100000);
        const double sent = NowMs();
        ASSERT_TRUE(simulator->Send(SimCommand::SetPrice, quote));
        std::vector<NotifyPopup> popups;
        ASSERT_TRUE(WaitUntil([&] { return !(popups = NotifyPopups(program.Id())).empty(); },
                              kPopupWait))
            << "no popup for change " << change << " (" << quote << "), bar shows "
            << quotes.Cell(0);
        latencies.push_back(NowMs() - sent);
        EXPECT_EQ(popups.size(), 1u);
        EXPECT_EQ(popups[0].symbol, "EURUSD");
        for (const NotifyPopup& popup : popups)
            PostMessageW(popup.window, WM_CLOSE, 0, 0);
        ASSERT_TRUE(WaitUntil([&] { return NotifyPopups(program.Id()).empty(); }, kPopupWait));
    }
    std::vector<double> sorted = latencies;
    std::sort(sorted.begin(), sorted.end());
    const double median = sorted.size() % 2
                              ? sorted[sorted.size() / 2]
                              : (sorted[sorted.size() / 2 - 1] + sorted[sorted.size() / 2]) / 2;
    std::printf("alert latency over %zu changes: median %.0f ms, maximum %.0f ms, minimum %.0f ms\n",
                sorted.size(), median, sorted.back(), sorted.front());
    EXPECT_LE(sorted.back(), kLatencyBoundMs);
    CloseMainProgram(program, bar);
}
