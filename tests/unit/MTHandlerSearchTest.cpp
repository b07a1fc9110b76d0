#include "FakeDesktop.h"
#include "quotes/MTHandler.h"

namespace {
const std::vector<std::vector<std::string>> kRows = {{"EURUSD", "1.08512", "1.08527"},
                                                     {"USDJPY", "151.234", "151.251"}};

// Terminal trees like the simulated terminal's layouts; returns the Market Watch list.
WindowHandle BuildLayout(FakeDesktop& desk, WindowHandle terminal, int strategy) {
    desk.AddChild(terminal, "ToolbarWindow32", "Standard");
    switch (strategy) {
    case 1:
    case 2: {
        const WindowHandle bar = desk.AddChild(terminal, "AfxControlBar42");
        const char* title = strategy == 1 ? "Market Watch: 10:15:02" : "市场报价: 10:15:02";
        return desk.AddList(desk.AddChild(bar, "Afx:400000:b:10003:0:0", title), kRows);
    }
    case 3: {
        const WindowHandle bar = desk.AddChild(terminal, "AfxControlBar42", "Market Watch");
        return desk.AddList(desk.AddChild(bar, "Afx:400000:b:10003:0:0", "Symbols: 2"), kRows);
    }
    case 4: {
        const WindowHandle bar = desk.AddChild(terminal, "AfxControlBar90su", "Navigator");
        const WindowHandle pane =
            desk.AddChild(bar, "Afx:00400000:b:00010003:00000000:00000000", "Market Watch");
        return desk.AddList(pane, kRows);
    }
    default: {
        // A colon ahead of the clock takes strategy 3's first search into a dead end.
        desk.AddChild(terminal, "msctls_statusbar32", "Default: ready");
        return desk.AddList(desk.AddChild(terminal, "Static", "10:15:02"), kRows);
    }
    }
}

class MarketWatchSearchTest : public ReaderTest {
protected:
    WindowHandle terminal = desk.AddTerminal("12345678: Demo Broker - Demo Account");
};

TEST_F(MarketWatchSearchTest, EachLayoutIsFoundByItsOwnStrategyFirst) {
    for (int strategy = 1; strategy <= CMTHandler::kStrategyCount; ++strategy) {
        SCOPED_TRACE(strategy);
        FakeDesktop layoutDesk;
        const WindowHandle window = layoutDesk.AddTerminal("12345678: Demo Broker - Demo Account");
        const WindowHandle list = BuildLayout(layoutDesk, window, strategy);
        CMTHandler reader(layoutDesk);
        for (int earlier = 1; earlier < strategy; ++earlier)
            EXPECT_NE(reader.SearchStrategy(earlier, window).result, MarketWatchSearch::Found);
        const MarketWatchOutcome outcome = reader.SearchStrategy(strategy, window);
        EXPECT_EQ(outcome.result, MarketWatchSearch::Found);
        EXPECT_EQ(outcome.list, list);

        ASSERT_EQ(reader.Attach(false), kAttachOk);
        EXPECT_EQ(reader.MarketWatchList(), list);
        EXPECT_EQ(reader.TerminalWindow(), window);
    }
}

TEST_F(MarketWatchSearchTest, NearMissesAreNotMatches) {
    CMTHandler reader(desk);
    const WindowHandle watch = desk.AddChild(terminal, "#32770", "market watch: 10:15:02");
    EXPECT_EQ(reader.SearchStrategy(1, terminal).result, MarketWatchSearch::NoListView);
    const WindowHandle list = desk.AddList(watch, kRows);
    EXPECT_EQ(reader.SearchStrategy(1, terminal).list, list); // case never matters
    EXPECT_EQ(reader.FindChild(terminal, "SYSLISTVIEW32", ""), list);

    desk.windows[watch].text = "Market Watch 10-15-02";
    EXPECT_EQ(reader.SearchStrategy(1, terminal).result, MarketWatchSearch::NotFound);
    // Without a colon anywhere the control-bar strategies end without a list view.
    EXPECT_EQ(reader.SearchStrategy(3, terminal).result, MarketWatchSearch::NoListView);
    EXPECT_EQ(reader.SearchStrategy(4, terminal).result, MarketWatchSearch::NoListView);

    for (const char* notATime : {"10:15:0x", "1:15:02 pm", "10:61:02", "10:15", "Market: 10:15"}) {
        desk.windows[watch].text = notATime;
        EXPECT_EQ(reader.SearchStrategy(5, terminal).result, MarketWatchSearch::NotFound)
            << notATime;
    }
    desk.windows[watch].text = "23:59:59";
    EXPECT_EQ(reader.SearchStrategy(5, terminal).list, list);
}

TEST_F(MarketWatchSearchTest, ListIsTakenUnderTheSecondResultInDepthFirstOrder) {
    CMTHandler reader(desk);
    const WindowHandle outer = desk.AddChild(terminal, "AfxControlBar42", "Market Watch: 10:15");
    desk.AddList(outer, kRows); // before the inner window, but the inner one is preferred
    const WindowHandle inner = desk.AddChild(outer, "#32770", "Market Watch: 10:15:02");
    const WindowHandle innerList = desk.AddList(inner, kRows);
    EXPECT_EQ(reader.SearchStrategy(1, terminal).list, innerList);

    // Depth first: the first sibling's subtree is searched before the next sibling.
    const WindowHandle second = desk.AddTerminal("87654321: Other Broker - Live");
    const WindowHandle frame = desk.AddChild(second, "MDIClient");
    const WindowHandle deep = desk.AddChild(desk.AddChild(frame, "#32770"), "#32770", "Quotes: 1");
    desk.AddChild(second, "#32770", "Quotes: 2");
    EXPECT_EQ(reader.FindChild(second, "", "quotes:"), deep);
}
} // namespace
