// Figures of the price bar under Wine, printed for scripts/bench.sh. Disabled in the test
// run: it measures, it does not judge.
#include "app/QuoteColumns.h"
#include "app/TerminalRows.h"
#include "platform/Text.h"
#include "quotes/MTHandler.h"
#include "tests/e2e/SimHarness.h"
#include <algorithm>
#include <cstdio>
#include <gtest/gtest.h>

using namespace e2e;

namespace {
constexpr std::size_t kDisplayedPairs = 8;
constexpr int kSteadyTicks = 50;

double ElapsedMs(LARGE_INTEGER from, LARGE_INTEGER to) {
    LARGE_INTEGER frequency{};
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) /
           static_cast<double>(frequency.QuadPart);
}

LARGE_INTEGER Now() {
    LARGE_INTEGER now{};
    QueryPerformanceCounter(&now);
    return now;
}

// The terminal's rows as the bar reads them, counting the reads that cross into the terminal.
class CountingRows final : public MarketRows {
public:
    explicit CountingRows(CMTHandler& reader) : rows(reader) {}
    int RowCount() override { return rows.RowCount(); }
    std::string Symbol(int row) override {
        ++reads;
        return rows.Symbol(row);
    }
    std::string Price(const std::string& symbol, int row) override {
        ++reads;
        return rows.Price(symbol, row);
    }
    // The scan's batches, as the bar reads them.
    std::vector<std::string> Read(const std::vector<RowAsk>& asks) override {
        reads += static_cast<int>(asks.size());
        ++batches;
        return rows.Read(asks);
    }
    int reads = 0;
    int batches = 0;

private:
    TerminalRows rows;
};

} // namespace

// The price scan of one main tick, the part that crosses into the terminal: the first tick
// reads every row's symbol, later ones skip the rows of pairs not displayed.
TEST(PriceBarBench, DISABLED_MainTickWithEightPairsInA40RowMarketWatch) {
    auto simulator = Simulator::Start("/rows:40");
    ASSERT_TRUE(simulator);
    CMTHandler reader;
    ASSERT_EQ(reader.Attach(false), kAttachOk);
    std::vector<std::string> symbols;
    ASSERT_TRUE(reader.GetSymbols(symbols));
    ASSERT_EQ(symbols.size(), 40u);
    // Displayed pairs spread over the list, so the first tick meets rows it must ignore.
    std::vector<std::string> displayed;
    for (std::size_t row = 0; row < symbols.size() && displayed.size() < kDisplayedPairs;
         row += symbols.size() / kDisplayedPairs)
        displayed.push_back(symbols[row]);
    symbols = displayed;
    const std::string displayList = JoinList(symbols);

    CQuoteScan scan;
    CountingRows rows(reader);
    LARGE_INTEGER start = Now();
    scan.Scan(symbols, displayList, rows);
    const double first = ElapsedMs(start, Now());
    const int firstReads = rows.reads;

    std::vector<double> ticks;
    rows.reads = rows.batches = 0;
    for (int tick = 0; tick < kSteadyTicks; ++tick) {
        start = Now();
        const std::vector<ScannedPrice> prices = scan.Scan(symbols, displayList, rows);
        ticks.push_back(ElapsedMs(start, Now()));
        ASSERT_TRUE(std::all_of(prices.begin(), prices.end(),
                                [](const ScannedPrice& price) { return price.found; }));
    }
    std::sort(ticks.begin(), ticks.end());
    double sum = 0;
    for (double tick : ticks)
        sum += tick;
    std::printf("main tick, 8 pairs in a 40-row Market Watch: first %.2f ms (%d reads), "
                "then mean %.2f ms, median %.2f ms, max %.2f ms (%d reads in %d batches each)\n",
                first, firstReads, sum / kSteadyTicks, ticks[kSteadyTicks / 2], ticks.back(),
                rows.reads / kSteadyTicks, rows.batches / kSteadyTicks);
}
