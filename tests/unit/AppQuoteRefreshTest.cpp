#include "app/QuoteRefresh.h"
#include <gtest/gtest.h>
#include <map>

namespace {
// A market whose prices move with its clock: one pip a second.
struct MovingMarket final : MarketRows {
    int seconds = 0;
    std::vector<std::string> symbols{"EURUSD", "USDJPY"};
    int RowCount() override { return 2; }
    std::string Symbol(int row) override { return symbols[row]; }
    std::string Price(const std::string& symbol, int) override {
        const int pips = 1000 + seconds;
        return symbol == "EURUSD" ? "1." + std::to_string(pips) : std::to_string(pips) + ".00";
    }
};

struct Row final : QuoteCells {
    std::map<int, std::string> texts{{0, "1.1000"}, {1, "1000.00"}};
    std::string Text(int column) override { return texts[column]; }
    void SetText(int column, const std::string& text) override { texts[column] = text; }
};

struct Evaluation {
    std::string symbol, previous, price;
};
} // namespace

// A voice alert pumps messages while it speaks: the main tick that arrives meanwhile must
// neither run inside the running one nor be lost, and no older price may overwrite a newer.
TEST(AppQuoteRefresh, NestedTickWaitsForTheRunningOne) {
    MovingMarket market;
    Row row;
    CQuoteScan scan;
    CTickGate gate;
    std::vector<Evaluation> evaluations;
    std::function<void()> tick;
    int depth = 0, deepest = 0;
    bool spoken = false;
    tick = [&] {
        deepest = std::max(deepest, ++depth);
        RefreshFromTerminal(scan, market.symbols, 0, "EURUSD,USDJPY,", market, row,
                            [&](int, const std::string& symbol, const std::string& previous,
                                const std::string& price) {
                                evaluations.push_back({symbol, previous, price});
                                if (spoken)
                                    return;
                                spoken = true;
                                market.seconds += 3; // speaking takes three seconds...
                                gate.Run(tick);      // ...and the timer fires meanwhile
                            });
        --depth;
    };
    market.seconds = 1;
    gate.Run(tick);

    EXPECT_EQ(deepest, 1);
    EXPECT_FALSE(gate.Busy());
    EXPECT_EQ(row.texts[0], "1.1004");
    EXPECT_EQ(row.texts[1], "1004.00");
    // Each pair's evaluations form one chain: every one starts where the last one ended.
    std::map<std::string, std::string> last{{"EURUSD", "1.1000"}, {"USDJPY", "1000.00"}};
    for (const auto& evaluation : evaluations) {
        EXPECT_EQ(evaluation.previous, last[evaluation.symbol]) << evaluation.symbol;
        last[evaluation.symbol] = evaluation.price;
    }
    EXPECT_EQ(evaluations.size(), 4u); // two ticks of two pairs: the held tick ran
}
