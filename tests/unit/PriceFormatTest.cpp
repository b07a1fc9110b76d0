#include "quotes/PriceFormat.h"
#include <gtest/gtest.h>

TEST(PriceFormat, DecimalsBySymbolName) {
    EXPECT_EQ(DecimalsFor("GOLDJPY"), 1); // gold overrides the yen rule
    EXPECT_EQ(DecimalsFor("黄金"), 1);
    EXPECT_EQ(DecimalsFor("XAGUSD"), 2);
    EXPECT_EQ(DecimalsFor("gold"), 4); // names are matched with case
}

TEST(PriceFormat, FractionalPipDroppedAndDecimalsPadded) {
    const struct {
        const char* symbol;
        const char* raw;
        const char* shown;
    } cases[] = {
        {"EURUSD", "1.23456", "1.2345"}, {"USDJPY", "110.123", "110.12"},
        {"GOLD", "1234.56", "1234.5"},   {"USDX", "80", "80.00"},
        {"XAUUSD", "1900", "1900.0"},    {"EURJPY", "145.1", "145.00"},
        {"EURUSD", "1.2", "1.000"},      {"EURUSD", "1.2345", "1.2345"},
        {"黄金", "2034.56", "2034.5"},   {"EURUSD", "1.08", "1.0800"},
        {"EURUSD", ".5", ".5000"},       {"USDJPY", "151.2345", "151.23"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatPrice(c.symbol, c.raw), c.shown) << c.symbol << " " << c.raw;
}

TEST(PriceFormat, MarkersAndEmptyText) {
    EXPECT_EQ(FormatPrice("EURUSD", "..."), "...");
    EXPECT_EQ(FormatPrice("GOLD", "..."), "..");
    for (const char* symbol : {"EURUSD", "USDJPY", "GOLD", "黄金"})
        EXPECT_EQ(FormatPrice(symbol, "Error"), "Error") << symbol;
    EXPECT_EQ(FormatPrice("EURUSD", ""), ".0000");
    EXPECT_EQ(FormatPrice("USDJPY", ""), ".00");
    EXPECT_EQ(FormatPrice("XAUUSD", ""), ".0");
}
