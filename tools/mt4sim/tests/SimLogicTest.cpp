#include "tools/mt4sim/SimCommand.h"
#include "tools/mt4sim/SimMarket.h"

#include <gtest/gtest.h>

#include <set>

namespace {

const SimQuote& QuoteOf(const SimMarket& market, const std::string& symbol) {
    const int row = market.Find(symbol);
    EXPECT_GE(row, 0) << symbol;
    return market.Quotes().at(static_cast<std::size_t>(row < 0 ? 0 : row));
}

std::vector<std::string> Symbols(const SimMarket& market) {
    std::vector<std::string> symbols;
    for (const SimQuote& quote : market.Quotes())
        symbols.push_back(quote.symbol);
    return symbols;
}

} // namespace

TEST(SimPrices, PointsRoundTripAtEveryPrecision) {
    std::int64_t points = 0;
    ASSERT_TRUE(ParsePoints("1.08512", 5, points));
    EXPECT_EQ(points, 108512);
    EXPECT_EQ(FormatPoints(points, 5), "1.08512");
    ASSERT_TRUE(ParsePoints("0.00012", 5, points));
    EXPECT_EQ(FormatPoints(points, 5), "0.00012");
    ASSERT_TRUE(ParsePoints("151.234", 3, points));
    EXPECT_EQ(FormatPoints(points, 3), "151.234");
    ASSERT_TRUE(ParsePoints("2034", 2, points));
    EXPECT_EQ(FormatPoints(points, 2), "2034.00");
    ASSERT_TRUE(ParsePoints("1.2", 5, points));
    EXPECT_EQ(points, 120000);
    ASSERT_TRUE(ParsePoints("1.234567890123", 5, points)); // cut, not refused
    EXPECT_EQ(points, 123456);
    EXPECT_EQ(FormatPoints(7, 0), "7");
    EXPECT_EQ(DecimalsOf("11.40210"), 5);
    EXPECT_EQ(DecimalsOf("103"), 0);
}

TEST(SimPrices, NonNumbersAndHugeValuesAreRefused) {
    std::int64_t points = 42;
    for (const char* bad : {"", ".", "1.", ".5", "1.2.3", "-1", "1e5", " 1", "1,5", "abc"})
        EXPECT_FALSE(ParsePoints(bad, 5, points)) << bad;
    EXPECT_FALSE(ParsePoints("99999999999999999999", 5, points));
    EXPECT_FALSE(ParsePoints("1.0", 9, points));
    EXPECT_EQ(points, 42);
}

TEST(SimDefaultSet, HoldsTheSymbolsTheReaderIsTestedWith) {
    const SimMarket market(DefaultQuotes(), 1);
    ASSERT_GE(market.Quotes().size(), 12u);
    const std::pair<const char*, int> expected[] = {
        {"EURUSD", 5}, {"GBPUSD", 5}, {"USDCHF", 5}, {"AUDUSD", 5}, {"NZDUSD", 5},
        {"USDCAD", 5}, {"USDJPY", 3}, {"EURJPY", 3}, {"GBPJPY", 3}, {"GOLD", 2},
        {"XAUUSD", 2}, {"XAGUSD", 3}, {"USDX", 3}};
    for (const auto& [symbol, digits] : expected)
        EXPECT_EQ(QuoteOf(market, symbol).digits, digits) << symbol;
    bool hasLongSymbol = false;
    for (const SimQuote& quote : market.Quotes()) {
        hasLongSymbol = hasLongSymbol || quote.symbol.size() >= 10;
        EXPECT_GT(quote.ask, quote.bid) << quote.symbol;
        EXPECT_EQ(DecimalsOf(quote.bidText), quote.digits) << quote.symbol;
        EXPECT_EQ(FormatPoints(quote.ask, quote.digits), quote.askText) << quote.symbol;
    }
    EXPECT_TRUE(hasLongSymbol);
}

TEST(SimDefaultSet, RowsGivesExactlyThatManyDistinctSymbols) {
    EXPECT_TRUE(DefaultQuotes(0).empty());
    EXPECT_EQ(DefaultQuotes(3).size(), 3u);
    for (int rows : {40, kSimMaxRows}) {
        const std::vector<SimQuote> quotes = DefaultQuotes(rows);
        ASSERT_EQ(quotes.size(), static_cast<std::size_t>(rows));
        std::set<std::string> names;
        for (const SimQuote& quote : quotes)
            names.insert(quote.symbol);
        EXPECT_EQ(names.size(), quotes.size());
    }
    EXPECT_EQ(DefaultQuotes(kSimMaxRows + 10).size(), static_cast<std::size_t>(kSimMaxRows));
}

TEST(SimWalk, SameSeedSameWalkAndPricesStaySane) {
    SimMarket a(DefaultQuotes(), 99);
    SimMarket b(DefaultQuotes(), 99);
    SimMarket other(DefaultQuotes(), 100);
    bool differs = false;
    for (int step = 0; step < 5000; ++step) {
        a.Step();
        b.Step();
        other.Step();
        for (std::size_t i = 0; i < a.Quotes().size(); ++i) {
            ASSERT_EQ(a.Quotes()[i].bidText, b.Quotes()[i].bidText);
            differs = differs || a.Quotes()[i].bid != other.Quotes()[i].bid;
        }
    }
    EXPECT_TRUE(differs);
    for (const SimQuote& quote : a.Quotes()) {
        EXPECT_GE(quote.ask - quote.bid, quote.spread) << quote.symbol;
        EXPECT_LE(quote.ask - quote.bid, quote.spread + quote.spread / 8) << quote.symbol;
        EXPECT_EQ(DecimalsOf(quote.bidText), quote.digits) << quote.symbol;
        // The pull towards the anchor keeps a long walk within a few percent.
        EXPECT_LT(std::llabs(quote.bid - quote.anchor), quote.anchor / 20) << quote.symbol;
    }
}

TEST(SimWalk, FrozenMarketDoesNotMove) {
    SimMarket market(DefaultQuotes(), 5);
    market.SetFrozen(true);
    const std::vector<SimQuote> before = market.Quotes();
    for (int step = 0; step < 50; ++step)
        market.Step();
    for (std::size_t i = 0; i < before.size(); ++i)
        EXPECT_EQ(market.Quotes()[i].bidText, before[i].bidText);
}

TEST(SimMarketEdits, SetPriceShowsTheTextsAndTheWalkGoesOnFromThem) {
    SimMarket market(DefaultQuotes(), 3);
    ASSERT_TRUE(market.SetPrice("EURUSD", "1.2", "1.234567890123"));
    EXPECT_EQ(QuoteOf(market, "EURUSD").bidText, "1.2");
    EXPECT_EQ(QuoteOf(market, "EURUSD").askText, "1.234567890123");
    EXPECT_FALSE(market.SetPrice("eurusd", "1.1", "1.2")); // case matters
    EXPECT_FALSE(market.SetPrice("EURUSD", "1.1", "x"));
    EXPECT_EQ(QuoteOf(market, "EURUSD").bidText, "1.2");
    for (int step = 0; step < 20; ++step)
        market.Step();
    const SimQuote& quote = QuoteOf(market, "EURUSD");
    EXPECT_LE(std::llabs(quote.bid - 120000), 20 * quote.maxStep);
    EXPECT_EQ(DecimalsOf(quote.bidText), 5);
}

TEST(SimMarketEdits, AddRemoveAndMoveKeepTheOrderTheyAskFor) {
    SimMarket market(DefaultQuotes(3), 1); // EURUSD GBPUSD USDCHF
    ASSERT_TRUE(market.Add("EURSEK", "11.40210", "11.40980"));
    EXPECT_EQ(market.Quotes().back().digits, 5);
    EXPECT_EQ(market.Quotes().back().spread, 770);
    ASSERT_TRUE(market.Add("USDX", "103", "104", 0));
    EXPECT_EQ(Symbols(market),
              (std::vector<std::string>{"USDX", "EURUSD", "GBPUSD", "USDCHF", "EURSEK"}));
    EXPECT_FALSE(market.Add("USDX", "1", "2"));   // duplicate
    EXPECT_FALSE(market.Add("NEW", "1", "2", 6)); // past the end
    EXPECT_FALSE(market.Add("NEW", "1..2", "2"));
    EXPECT_FALSE(market.Add("", "1", "2"));
    ASSERT_TRUE(market.Move("EURSEK", 0));
    ASSERT_TRUE(market.Move("USDX", 4));
    EXPECT_EQ(Symbols(market),
              (std::vector<std::string>{"EURSEK", "EURUSD", "GBPUSD", "USDCHF", "USDX"}));
    EXPECT_FALSE(market.Move("USDX", 5));
    EXPECT_FALSE(market.Move("NOPE", 0));
    ASSERT_TRUE(market.Remove("GBPUSD"));
    EXPECT_FALSE(market.Remove("GBPUSD"));
    EXPECT_EQ(market.Find("USDCHF"), 2);
}

TEST(SimChart, PastBidsEndAtTheCurrentBid) {
    const SimQuote quote = DefaultQuotes().front();
    const std::vector<std::int64_t> bids = PastBids(quote, 1, 300);
    ASSERT_EQ(bids.size(), 300u);
    EXPECT_EQ(bids.back(), quote.bid);
    for (std::size_t i = 1; i < bids.size(); ++i)
        EXPECT_NE(bids[i], bids[i - 1]);
}

TEST(SimOptionsParsing, SwitchesInEitherSpelling) {
    SimOptions options;
    std::string error;
    ASSERT_TRUE(ParseSimOptions({"/LAYOUT:4", "-account=55501", "/title:Other Broker - Live",
                                 "/seed:18446744073709551615", "/rows:40", "/interval=100",
                                 "/frozen", "/ordertitle:定单", "config.ini", "/portable"},
                                options, error))
        << error;
    EXPECT_EQ(options.layout, 4);
    EXPECT_EQ(TerminalTitle(options), "55501: Other Broker - Live");
    EXPECT_EQ(options.seed, 18446744073709551615ull);
    EXPECT_EQ(options.rows, 40);
    EXPECT_EQ(options.intervalMs, 100);
    EXPECT_TRUE(options.frozen);
    EXPECT_EQ(options.orderTitle, "定单");

    const SimOptions defaults;
    EXPECT_EQ(TerminalTitle(defaults), "12345678: Demo Broker - Demo Account");
    EXPECT_EQ(defaults.rows, -1);
    EXPECT_FALSE(defaults.frozen);
}

TEST(SimOptionsParsing, BadValuesAreReported) {
    for (const char* bad :
         {"/layout:0", "/layout:6", "/layout", "/rows:-1", "/rows:501", "/interval:5",
          "/account:12a", "/account:", "/seed:x", "/frozen:1", "/ordertitle:", "/title"}) {
        SimOptions options;
        std::string error;
        EXPECT_FALSE(ParseSimOptions({bad}, options, error)) << bad;
        EXPECT_NE(error.find(bad), std::string::npos) << bad;
    }
}

TEST(SimCommands, MarketCommandsCheckTheirFields) {
    SimMarket market(DefaultQuotes(3), 1);
    EXPECT_TRUE(RunMarketCommand(market, SimCommand::SetPrice, "EURUSD 1.23456\t1.23470\n"));
    EXPECT_EQ(QuoteOf(market, "EURUSD").askText, "1.23470");
    EXPECT_FALSE(RunMarketCommand(market, SimCommand::SetPrice, "EURUSD 1.23456"));
    EXPECT_FALSE(RunMarketCommand(market, SimCommand::SetPrice, "EURUSD 1 2 3"));
    EXPECT_TRUE(RunMarketCommand(market, SimCommand::AddSymbol, "GOLD 2034.15 2034.65 1"));
    EXPECT_EQ(market.Find("GOLD"), 1);
    EXPECT_FALSE(RunMarketCommand(market, SimCommand::AddSymbol, "SILVER 22.9 23.0 x"));
    EXPECT_FALSE(RunMarketCommand(market, SimCommand::AddSymbol, "SILVER 22.9 23.0 -1"));
    EXPECT_TRUE(RunMarketCommand(market, SimCommand::MoveSymbol, "GOLD 3"));
    EXPECT_EQ(market.Find("GOLD"), 3);
    EXPECT_FALSE(RunMarketCommand(market, SimCommand::MoveSymbol, "GOLD"));
    EXPECT_TRUE(RunMarketCommand(market, SimCommand::RemoveSymbol, " GOLD "));
    EXPECT_FALSE(RunMarketCommand(market, SimCommand::RemoveSymbol, "EURUSD GBPUSD"));

    EXPECT_FALSE(RunMarketCommand(market, SimCommand::FreezeWalk, "now"));
    EXPECT_FALSE(market.Frozen());
    EXPECT_TRUE(RunMarketCommand(market, SimCommand::FreezeWalk, ""));
    EXPECT_TRUE(market.Frozen());
    EXPECT_TRUE(RunMarketCommand(market, SimCommand::ResumeWalk, ""));
    EXPECT_FALSE(market.Frozen());
    // Window commands and unknown codes are not the table's business.
    EXPECT_FALSE(RunMarketCommand(market, SimCommand::Quit, ""));
    EXPECT_FALSE(RunMarketCommand(market, static_cast<SimCommand>(7), "EURUSD 1 2"));
}

TEST(SimCommands, RowsAndAlertTitles) {
    SimMarket market(DefaultQuotes(3), 1);
    EXPECT_EQ(ResolveRow(market, "USDCHF"), 2);
    EXPECT_EQ(ResolveRow(market, "1"), 1);
    EXPECT_EQ(ResolveRow(market, "3"), -1);
    EXPECT_EQ(ResolveRow(market, ""), -1);
    EXPECT_EQ(ResolveRow(SimMarket({}, 1), "0"), -1);
    EXPECT_EQ(AlertTitle(""), "Alert");
    EXPECT_EQ(AlertTitle(" 警报\n"), "警报");
    EXPECT_EQ(SplitFields("  a\t b\r\nc  "), (std::vector<std::string>{"a", "b", "c"}));
}
