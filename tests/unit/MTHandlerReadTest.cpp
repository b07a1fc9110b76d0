#include "FakeDesktop.h"
#include "app/QuoteScan.h"
#include "app/TerminalRows.h"
#include "quotes/MTHandler.h"
#include "quotes/PriceLookup.h"
#include "settings/AppConfig.h"
#include "settings/Config.h"
#include "settings/LangTable.h"

namespace {
class CellReadTest : public ReaderTest {
protected:
    WindowHandle AddTerminal(std::uint32_t process, Rows rows) {
        const WindowHandle terminal = desk.AddTerminal("12345678: Demo Broker", process);
        return desk.AddList(desk.AddChild(terminal, "#32770", "Market Watch: 10:15:02"),
                            std::move(rows));
    }
    WindowHandle list = AddTerminal(kTerminalProcess, {{"EURUSD", "1.08512", "1.08527"},
                                                       {"USDJPY", "151.234", "151.251"},
                                                       {"GOLD", "2034.56", "2035.10"},
                                                       {"EURUSDmicro", "1.08510", "1.08530"},
                                                       {"EURUSDmic", "1.0851", "1.0853"}});
};

TEST_F(CellReadTest, SymbolsRowsAndPrices) {
    CMTHandler reader(desk);
    ASSERT_EQ(reader.Attach(false), kAttachOk);
    std::vector<std::string> symbols{"kept"};
    ASSERT_TRUE(reader.GetSymbols(symbols));
    // The text buffer holds 9 characters: a longer symbol comes back cut, and is never found.
    EXPECT_EQ(symbols, (std::vector<std::string>{"kept", "EURUSD", "USDJPY", "GOLD", "EURUSDmic",
                                                 "EURUSDmic"}));
    EXPECT_EQ(reader.FindRow("EURUSDmicro"), -1);
    EXPECT_EQ(reader.FindRow("EURUSDMIC"), 3);
    EXPECT_EQ(reader.FindRow("usdjpy"), 1);
    EXPECT_EQ(reader.FindRow(""), -1);

    EXPECT_EQ(reader.GetPrice("EURUSD", -1), "1.0851");
    EXPECT_EQ(reader.GetPrice("GOLD", 2), "2034.5");
    EXPECT_EQ(reader.GetPrice("GBPUSD", -1), ".0000"); // unknown: the formatted empty text
    reader.SetShowBid(false);
    EXPECT_EQ(reader.GetPrice("USDJPY", -1), "151.25");
    Config().Set("ShowBidPrice", "0");
    CMTHandler askReader(desk);
    ASSERT_EQ(askReader.Attach(false), kAttachOk);
    EXPECT_EQ(askReader.GetPrice("EURUSD", 0), "1.0852");
    EXPECT_TRUE(boxes.empty());
}

TEST_F(CellReadTest, OneRemoteBlockPerProcess) {
    {
        CMTHandler reader(desk);
        std::string text;
        for (int i = 0; i < 20; ++i)
            ASSERT_TRUE(reader.ReadCell(list, i % 5, i % 3, text));
        EXPECT_EQ(text, "1.0851"); // row 4, column 1
        EXPECT_EQ(desk.allocations, 1);

        // Another terminal's list: the old block is released before a new one is made.
        const WindowHandle other = AddTerminal(5151, {{"AUDUSD", "0.65432", "0.65447"}});
        ASSERT_TRUE(reader.ReadCell(other, 0, 2, text));
        EXPECT_EQ(text, "0.65447");
        ASSERT_TRUE(reader.ReadCell(list, 0, 0, text));
        EXPECT_EQ(text, "EURUSD");
        EXPECT_EQ(desk.allocations, 3);
        EXPECT_EQ(desk.LiveBlocks(), 1u);
        EXPECT_EQ(desk.OpenHandles(), 1u);
    }
    EXPECT_EQ(desk.LiveBlocks(), 0u); // released with the reader
    EXPECT_EQ(desk.OpenHandles(), 0u);
}

TEST_F(CellReadTest, UnreadableCellsAreFailuresNotCrashes) {
    CMTHandler reader(desk);
    std::string text = "stale";
    EXPECT_FALSE(reader.ReadCell(list, 0, 3, text)); // no such column
    EXPECT_EQ(text, "");
    EXPECT_FALSE(reader.ReadCell(list, 5, 0, text));
    EXPECT_FALSE(reader.ReadCell(list, -1, 0, text));
    const WindowHandle denied = AddTerminal(6060, {{"EURUSD", "1.1", "1.2"}});
    desk.deniedProcesses.insert(6060);
    EXPECT_FALSE(reader.ReadCell(denied, 0, 0, text));

    ASSERT_EQ(reader.Attach(false), kAttachOk);
    desk.Destroy(desk.topLevel[0]); // the terminal quits
    EXPECT_FALSE(reader.ReadCell(list, 0, 0, text));
    EXPECT_EQ(reader.GetPrice("EURUSD", 0), ".0000");
    std::vector<std::string> symbols;
    EXPECT_FALSE(reader.GetSymbols(symbols));
    EXPECT_EQ(boxes, std::vector<std::string>{GetMessage(0) + "|" + GetMessage(16)});
}

TEST_F(CellReadTest, SymbolListNeedsAListViewBehindTheHandle) {
    CMTHandler reader(desk);
    ASSERT_EQ(reader.Attach(false), kAttachOk);
    desk.windows[list].rows.clear();
    std::vector<std::string> symbols;
    EXPECT_TRUE(reader.GetSymbols(symbols));
    EXPECT_TRUE(symbols.empty());
    desk.windows[list].className = "Edit"; // the handle now names another window
    EXPECT_FALSE(reader.GetSymbols(symbols));
    EXPECT_EQ(boxes, std::vector<std::string>{GetMessage(0) + "|" + GetMessage(17)});
}

// A batch costs one write of every request, one message per cell and one read of every
// answer, and gives each cell what a read of its own gives.
TEST_F(CellReadTest, CellsReadInBatches) {
    CMTHandler reader(desk);
    ASSERT_EQ(reader.Attach(false), kAttachOk);
    std::vector<ListCell> cells;
    for (int i = 0; i < 15; ++i)
        cells.push_back({i % 5, i / 5});
    cells.insert(cells.end(), {{7, 0}, {0, 5}, {-1, 0}}); // no such row, column, row
    const auto texts = reader.ReadCells(cells);
    EXPECT_EQ(desk.memoryWrites, 1);
    EXPECT_EQ(desk.itemTextMessages, 17);
    EXPECT_EQ(desk.memoryReads, 1);
    ASSERT_EQ(texts.size(), cells.size());
    for (std::size_t i = 0; i < cells.size(); ++i) {
        std::string alone;
        const bool read = reader.ReadCell(list, cells[i].row, cells[i].column, alone);
        EXPECT_EQ(texts[i], read ? std::optional<std::string>(alone) : std::nullopt) << i;
    }
    EXPECT_EQ(texts[3], "EURUSDmic");

    // More cells than the block's slots go in as many batches as they fill.
    desk.memoryWrites = desk.memoryReads = 0;
    const std::vector<ListCell> many(RemoteListReader::kBatchCells + 4, ListCell{2, 1});
    for (const auto& text : reader.ReadCells(many))
        EXPECT_EQ(text, "2034.56");
    EXPECT_EQ(desk.memoryWrites, 2);
    EXPECT_EQ(desk.memoryReads, 2);

    desk.Destroy(desk.topLevel[0]); // the terminal quits
    for (const auto& text : reader.ReadCells(cells))
        EXPECT_FALSE(text);
}

// A main tick of 8 displayed pairs spread over a 40-row Market Watch: once the rows are
// known, one batch of a symbol and a price per pair, with the prices GetPrice shows.
TEST_F(CellReadTest, SteadyTickIsOneBatch) {
    Rows market;
    for (int row = 0; row < 40; ++row)
        market.push_back({"PAIR" + std::to_string(row), "1.2" + std::to_string(row + 100),
                          "1.3" + std::to_string(row + 100)});
    const WindowHandle watch = desk.windows[list].parent;
    desk.Destroy(list);
    desk.AddList(watch, market);
    SetCurrentDesktop(&desk);
    CMTHandler reader(desk);
    ASSERT_EQ(reader.Attach(false), kAttachOk);
    std::vector<std::string> pairs;
    for (int row = 3; row < 40; row += 5)
        pairs.push_back("PAIR" + std::to_string(row));
    const std::string displayList = JoinList(pairs);
    TerminalRows rows(reader);
    CQuoteScan scan;
    scan.Scan(pairs, displayList, rows);
    desk.memoryWrites = desk.memoryReads = desk.itemTextMessages = 0;
    const std::vector<ScannedPrice> prices = scan.Scan(pairs, displayList, rows);
    SetCurrentDesktop(nullptr);
    EXPECT_EQ(desk.memoryWrites, 1);
    EXPECT_EQ(desk.itemTextMessages, 16);
    EXPECT_EQ(desk.memoryReads, 1);
    ASSERT_EQ(prices.size(), pairs.size());
    for (std::size_t i = 0; i < pairs.size(); ++i) {
        EXPECT_TRUE(prices[i].found);
        EXPECT_EQ(prices[i].text, reader.GetPrice(pairs[i], -1)) << pairs[i];
    }
}

class FixedSource final : public PriceSource {
public:
    bool GetSymbols(std::vector<std::string>&) override { return true; }
    int FindRow(const std::string&) override { return 7; }
    std::string GetPrice(const std::string&, int) override { return "1.0851"; }
};

TEST_F(CellReadTest, LookupsGoToTheActiveSource) {
    const int saved = AppConfig().dataSource;
    std::vector<std::string> symbols;
    AppConfig().dataSource = kInternetDataSource;
    EXPECT_FALSE(GetSymbols(symbols));
    EXPECT_EQ(FindRow("EURUSD"), -1);
    EXPECT_EQ(GetPrice("EURUSD"), "...");
    FixedSource internet;
    SetInternetPriceSource(&internet);
    EXPECT_TRUE(GetSymbols(symbols));
    EXPECT_EQ(FindRow("EURUSD"), 7);
    EXPECT_EQ(GetPrice("EURUSD"), "1.0851");

    AppConfig().dataSource = kTerminalDataSource;
    EXPECT_EQ(ActivePriceSource(), &MTHandler());
    EXPECT_EQ(GetPrice("EURUSD"), ".0000"); // nothing attached here
    SetInternetPriceSource(nullptr);
    AppConfig().dataSource = saved;
}
} // namespace
