#include "FakeDesktop.h"
#include "alerts/AlertKinds.h"
#include "app/QuoteScan.h"
#include "app/TerminalRows.h"
#include "quotes/MTHandler.h"

namespace {
class SpreadSidesTest : public ReaderTest {};
} // namespace

// A spread alert's pair costs one cell more per tick: the shown price is taken as read, with
// its fractional pip, and only the other column is asked for.
TEST_F(SpreadSidesTest, TheOtherColumnIsOneCellMore) {
    const WindowHandle terminal = desk.AddTerminal("12345678: Demo Broker", 4321);
    desk.AddList(desk.AddChild(terminal, "#32770", "Market Watch: 10:15:02"),
                 {{"EURUSD", "1.08512", "1.08537"}, {"USDJPY", "151.234", "151.251"}});
    SetCurrentDesktop(&desk);
    CMTHandler reader(desk);
    ASSERT_EQ(reader.Attach(false), kAttachOk);
    const std::vector<std::string> pairs{"EURUSD", "USDJPY"};
    for (const bool bid : {true, false}) {
        reader.SetShowBid(bid);
        TerminalRows rows(reader);
        CQuoteScan scan;
        scan.Scan(pairs, JoinList(pairs), rows);
        desk.itemTextMessages = 0;
        const QuoteSides sides = rows.Sides("EURUSD");
        EXPECT_EQ(desk.itemTextMessages, 1) << bid;
        EXPECT_EQ(sides.bid, "1.08512") << bid;
        EXPECT_EQ(sides.ask, "1.08537") << bid;
        EXPECT_EQ(SpreadTenths("EURUSD", sides.bid, sides.ask), 25);
        EXPECT_TRUE(rows.Sides("GBPUSD").ask.empty()); // not read this refresh
    }
    SetCurrentDesktop(nullptr);
}
