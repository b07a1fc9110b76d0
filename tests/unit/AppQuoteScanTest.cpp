#include "app/ChangeMarks.h"
#include "app/QuoteScan.h"
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
