// The feed guard under the real program: a terminal that says it has no connection and
// stops its prices is reported within a tick, prices that stop for the set minute are
// reported once with the bar greyed, and each episode's end is reported too; every event
// lands in the history.
#include "settings/AppConfig.h"
#include "settings/Log.h"
#include "settings/TextIds.h"
#include "tests/e2e/RunHarness.h"
#include <gtest/gtest.h>
#include <thread>
#include "settings/LangTable.h"

using namespace e2e;

namespace {
constexpr Milliseconds kOneTick = kMainTick + kTickSlack;
// The set minute, one tick for the guard to look and one for the popup on a loaded machine.
constexpr Milliseconds kStoppedWait = 60s + 2 * kOneTick;
// "Feed" in the language the program runs in, which the test shares.
std::string FeedPair() {
    return GetText(kTextFeedPair);
}

// Waits for a popup of `symbol`, checks that no second one follows within a tick, closes
// it and gives its price label; "" when none came.
std::string TakeOnePopup(DWORD processId, const std::string& symbol, Milliseconds timeout) {
    std::vector<NotifyPopup> popups;
    const auto matching = [&] {
        popups = NotifyPopups(processId);
        std::erase_if(popups, [&](const NotifyPopup& p) { return p.symbol != symbol; });
        return !popups.empty();
    };
    if (!WaitUntil(matching, timeout))
        return "";
    std::this_thread::sleep_for(kOneTick);
    matching();
    EXPECT_EQ(popups.size(), 1u) << symbol;
    const std::string price = popups.empty() ? "" : popups[0].price;
    for (const NotifyPopup& popup : popups)
        PostMessageW(popup.window, WM_CLOSE, 0, 0);
    WaitUntil([&] { return !matching(); }, 5s);
    return price;
}
} // namespace

TEST(FeedGuard, DisconnectedAndStoppedFeedsAreReportedOncePerEpisodeWithTheirEnd) {
    auto simulator = Simulator::Start("/rows:8");
    ASSERT_TRUE(simulator);
    Installation install{{MainProgram(), MainProgramWithLog()}};
    install.WriteSettings("[MAIN]\r\nSHOWOPTION=1\r\nDisplayCurrency=,EURUSD,GBPUSD,USDJPY,\r\n"
                          "FEEDGUARD=1\r\nFEEDGUARDMINS=1\r\nFEEDGUARDACTIONS=1\r\n"
                          "TestMarketOpen=1\r\n");
    const std::string path = install.Path(MainProgramWithLog().target);
    Process program = Process::Start(path, "\"" + path + "\"");
    ASSERT_TRUE(program);
    const HWND bar = WaitForBar(program.Id());
    ASSERT_NE(bar, nullptr);
    RemoteQuoteList quotes(bar);
    ASSERT_TRUE(WaitUntil([&] { return !quotes.Cell(0).empty() && quotes.Cell(0) != "..."; },
                          kStartTimeout));
    const auto log = [&] { return ReadTextFile(LogFilePath(path)); };
    const auto history = [&] { return install.ReadFile("file\\alerthistory.csv"); };

    // The terminal's status bar says so and its prices stop, as without a connection they
    // do: the popup names the account, within a tick (while prices move the status is read
    // only once a guard period).
    ASSERT_TRUE(simulator->Send(SimCommand::FreezeWalk));
    ASSERT_TRUE(simulator->Send(SimCommand::SetStatus, "No connection"));
    const double said = NowMs();
    EXPECT_FALSE(TakeOnePopup(program.Id(), "12345678", kOneTick).empty());
    EXPECT_LE(NowMs() - said, static_cast<double>((kOneTick + kOneTick).count()));
    ASSERT_TRUE(simulator->Send(SimCommand::SetStatus, ""));
    ASSERT_TRUE(simulator->Send(SimCommand::ResumeWalk));
    EXPECT_FALSE(TakeOnePopup(program.Id(), FeedPair(), kOneTick * 2).empty())
        << "no notice that prices move again";

    // Prices stop: one popup after the minute, the bar grey with its tip, then the end.
    ASSERT_TRUE(simulator->Send(SimCommand::FreezeWalk));
    const std::string since = TakeOnePopup(program.Id(), FeedPair(), kStoppedWait);
    EXPECT_EQ(since.size(), 5u) << since; // "10:32"
    EXPECT_NE(log().find("FEED:QUIET:"), std::string::npos) << log();
    EXPECT_NE(log().find(since), std::string::npos) << "the tip names the time: " << since;
    ASSERT_TRUE(simulator->Send(SimCommand::ResumeWalk));
    EXPECT_FALSE(TakeOnePopup(program.Id(), FeedPair(), kOneTick * 3).empty());
    EXPECT_TRUE(WaitUntil([&] { return log().find("FEED:MOVING") != std::string::npos; }, 5s));

    const std::string lines = history();
    for (const char* kind : {"DISCONNECTED", "STOPPED", "MOVING"})
        EXPECT_NE(lines.find(kind), std::string::npos) << kind << " missing from\n" << lines;
    CloseMainProgram(program, bar);
}
