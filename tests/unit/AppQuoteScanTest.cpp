#include "app/QuoteScan.h"
#include "common/ChangeMarks.h"
#include "platform/Clock.h"
#include <gtest/gtest.h>
#include <map>

namespace {
// Counts every read, as each one crosses into the terminal's process.
class FakeRows : public MarketRows {
public:
    explicit FakeRows(std::vector<std::string> symbols) : symbols(std::move(symbols)) {}
    int RowCount() override { return static_cast<int>(symbols.size()); }
    std::string Symbol(int row) override {
        ++symbolReads[row];
        return symbols[row];
    }
    std::string Price(const std::string& symbol, int row) override {
        ++priceReads;
        return symbol + "@" + std::to_string(row);
    }
    std::vector<std::string> symbols;
    std::map<int, int> symbolReads;
    int priceReads = 0;
};

class TickClock final : public Clock {
public:
    std::uint32_t ticks = 0;
    LocalTime Now() const override { return {}; }
    std::uint32_t TickCount() const override { return ticks; }
};

int Reads(const FakeRows& rows) {
    int reads = rows.priceReads;
    for (const auto& [row, count] : rows.symbolReads)
        reads += count;
    return reads;
}

std::vector<std::string> Texts(const std::vector<ScannedPrice>& prices) {
    std::vector<std::string> texts;
    for (const auto& price : prices)
        texts.push_back(price.text);
    return texts;
}
} // namespace

TEST(AppQuoteScan, MatchesColumnsToRowsInAnyOrder) {
    FakeRows rows({"GBPUSD", "USDJPY", "EURUSD"});
    CQuoteScan scan;
    const auto prices = scan.Scan({"EURUSD", "GBPUSD"}, "EURUSD,GBPUSD,", rows);
    EXPECT_EQ(Texts(prices), (std::vector<std::string>{"EURUSD@2", "GBPUSD@0"}));
    EXPECT_EQ(rows.priceReads, 2);
    // Each row's symbol is read once per refresh, however many columns scan past it.
    for (const auto& [row, reads] : rows.symbolReads)
        EXPECT_EQ(reads, 1) << "row " << row;
}

TEST(AppQuoteScan, UndisplayedRowsAreIgnoredOnLaterRefreshes) {
    FakeRows rows({"USDJPY", "EURUSD", "AUDUSD"});
    CQuoteScan scan;
    scan.Scan({"EURUSD"}, "EURUSD,", rows);
    EXPECT_EQ(scan.IgnoreList(), ",0,");
    rows.symbolReads.clear();
    scan.Scan({"EURUSD"}, "EURUSD,", rows);
    EXPECT_EQ(rows.symbolReads.count(0), 0u);
    EXPECT_EQ(rows.symbolReads[1], 1);
}

TEST(AppQuoteScan, DuplicateColumnShowsNotFound) {
    FakeRows rows({"EURUSD", "GBPUSD"});
    CQuoteScan scan;
    const auto prices = scan.Scan({"EURUSD", "EURUSD"}, "EURUSD,EURUSD,", rows);
    EXPECT_EQ(Texts(prices), (std::vector<std::string>{"EURUSD@0", "Not Found"}));
    EXPECT_FALSE(prices[1].found);
}

TEST(AppQuoteScan, MovedRowIsFoundAgainAfterTheIgnoreListResets) {
    FakeRows rows({"USDJPY", "EURUSD"});
    CQuoteScan scan;
    scan.Scan({"EURUSD"}, "EURUSD,", rows); // row 0 ignored
    rows.symbols = {"EURUSD", "USDJPY"};    // the terminal re-sorted its list
    const auto prices = scan.Scan({"EURUSD"}, "EURUSD,", rows);
    EXPECT_EQ(Texts(prices), (std::vector<std::string>{"EURUSD@0"}));
}

TEST(AppQuoteScan, EmptyTerminalGivesNotFoundForEveryColumn) {
    FakeRows rows({});
    CQuoteScan scan;
    EXPECT_EQ(Texts(scan.Scan({"EURUSD", "GBPUSD"}, "EURUSD,GBPUSD,", rows)),
              (std::vector<std::string>{"Not Found", "Not Found"}));
}

TEST(AppQuoteScan, MissingPairSearchRule) {
    const MissingPair last{"USDTRY", 40, 0xFFFFF000u};
    const struct {
        int rowCount;
        std::uint32_t now;
        bool again;
    } cases[] = {
        {40, 0xFFFFF000u, false},         {40, 0xFFFFF000u + 29999u, false},
        {40, 0xFFFFF000u + 30000u, true}, // after the tick count's wrap
        {41, 0xFFFFF001u, true},          {0, 0xFFFFF001u, true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SearchMissingPairAgain(last, c.rowCount, c.now, kMissingPairSearchMs), c.again)
            << c.rowCount << " " << c.now;
    EXPECT_TRUE(SearchMissingPairAgain(last, 40, last.searchedAt, 0));
}

// A pair the terminal does not list is looked for on the first refresh, then only when the
// row count changes or 30 s have passed, and the bar shows what a search every refresh
// would show.
TEST(AppQuoteScan, MissingPairIsLookedForAgainOnlyWhenTheListChangesOrAfterAWhile) {
    TickClock clock;
    SetCurrentClock(&clock);
    const std::vector<std::string> columns{"EURUSD", "USDTRY", "GOLD"};
    const std::string displayList = "EURUSD,USDTRY,GOLD,";
    FakeRows rows({"EURUSD", "GBPUSD", "USDJPY", "AUDUSD", "GOLD", "SILVER"});
    FakeRows everyTickRows = rows;
    CQuoteScan scan, everyTick(0);
    std::vector<int> readsPerTick;
    std::vector<ScannedPrice> prices;
    const auto tick = [&](std::uint32_t ms) {
        clock.ticks += ms;
        rows.symbolReads.clear();
        rows.priceReads = 0;
        prices = scan.Scan(columns, displayList, rows);
        const auto expected = everyTick.Scan(columns, displayList, everyTickRows);
        ASSERT_EQ(Texts(prices), Texts(expected)) << "tick at " << clock.ticks;
        for (std::size_t i = 0; i < prices.size(); ++i)
            EXPECT_EQ(prices[i].found, expected[i].found);
        readsPerTick.push_back(Reads(rows));
    };
    const auto edit = [&](std::vector<std::string> symbols) {
        rows.symbols = everyTickRows.symbols = std::move(symbols);
    };
    tick(0);    // every row read once, two prices
    tick(2000); // the listed pairs' rows and prices only
    tick(25000);
    tick(3000); // 30 s after the search
    edit({"EURUSD", "GBPUSD", "USDJPY", "AUDUSD", "GOLD"});
    tick(2000); // a row fewer
    EXPECT_EQ(readsPerTick, (std::vector<int>{8, 4, 4, 8, 7}));
    edit({"EURUSD", "GBPUSD", "USDJPY", "AUDUSD", "GOLD", "USDTRY"});
    tick(2000); // listed now: found at once
    EXPECT_EQ(prices[1].text, "USDTRY@5");
    edit({"EURUSD", "GBPUSD", "USDJPY", "AUDUSD", "GOLD", "SILVER"});
    tick(2000);
    edit({"EURUSD", "GBPUSD", "USDJPY", "AUDUSD", "GOLD", "SILVER", "USDTRY"});
    tick(2000);
    SetCurrentClock(nullptr);
}

TEST(AppChangeMarks, DirectionPerColumn) {
    CChangeMarks marks;
    marks.Reset(3);
    marks.Track(1, "1.2340", "1.2345");
    marks.Track(2, "1.2345", "1.2340");
    EXPECT_EQ(marks.Direction(0), kPriceSteady);
    EXPECT_EQ(marks.Direction(1), kPriceRose);
    EXPECT_EQ(marks.Direction(2), kPriceFell);
    // Unchanged keeps the colour of the last change.
    marks.Track(1, "1.2345", "1.23450");
    EXPECT_EQ(marks.Direction(1), kPriceRose);
    // Texts that are not prices (empty, "Not Found") record nothing.
    marks.Track(0, "", "1.2");
    marks.Track(0, "Not Found", "1.2");
    marks.Track(0, "12345.678", "1.2");
    EXPECT_EQ(marks.Direction(0), kPriceSteady);
    marks.Reset(3);
    EXPECT_EQ(marks.Direction(1), kPriceSteady);
}
