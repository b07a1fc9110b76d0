#include "app/QuoteColumns.h"
#include "platform/Text.h"
#include <gtest/gtest.h>

namespace {
const std::vector<std::string> kTwelve = {"EURUSD", "GBPUSD", "USDCHF", "USDJPY",
                                          "AUDUSD", "NZDUSD", "USDCAD", "EURJPY",
                                          "GBPJPY", "XAUUSD", "XAGUSD", "USDX"};
}

TEST(AppQuoteColumns, EmptyDisplayListTakesFirstEightTerminalSymbolsAndStoresThem) {
    const ColumnPlan plan = PlanColumns("", "", kTwelve, false);
    ASSERT_EQ(plan.symbols.size(), 8u);
    EXPECT_EQ(plan.symbols.back(), "EURJPY");
    EXPECT_TRUE(plan.fromTerminal);
    EXPECT_EQ(plan.newDisplayList, "EURUSD,GBPUSD,USDCHF,USDJPY,AUDUSD,NZDUSD,USDCAD,EURJPY,");
    EXPECT_EQ(plan.barWidth, kBarMargin + 8 * 70);
}

TEST(AppQuoteColumns, DisplayListOfCommasOnlyCountsAsEmpty) {
    const ColumnPlan plan = PlanColumns(",,,", "", {"EURUSD", "GBPUSD"}, false);
    EXPECT_TRUE(plan.fromTerminal);
    EXPECT_EQ(plan.symbols.size(), 2u);
    EXPECT_EQ(PlanColumns(",,,", "", {}, false).symbols.size(), 0u);
}

TEST(AppQuoteColumns, SavedWidthsApplyOnlyWithOneWidthPerSymbol) {
    const ColumnPlan plan = PlanColumns("EURUSD,GBPUSD,XAUUSD,", "60,90,30,", kTwelve, true);
    EXPECT_FALSE(plan.fromTerminal);
    EXPECT_EQ(plan.widths, (std::vector<int>{60, 90, kMinColumnWidth}));
    EXPECT_EQ(plan.barWidth, kBarMarginWithTime + 60 + 90 + 50);

    // A count that does not match: the default of the first symbol for all.
    EXPECT_EQ(ChooseColumnWidths({"EURUSD", "GBPUSD"}, "60,"), (std::vector<int>{70, 70}));
    EXPECT_EQ(ChooseColumnWidths({"EURUSDm", "X"}, ""), (std::vector<int>{70, 70}));
    EXPECT_EQ(ChooseColumnWidths({"EURUSD.m", "X"}, ""), (std::vector<int>{80, 80}));
    EXPECT_EQ(ChooseColumnWidths({"EURUSD.pro", "X"}, ""), (std::vector<int>{100, 100}));
}

// Defaults and the margin grow with the screen's resolution; saved widths are its pixels.
TEST(AppQuoteColumns, DefaultsScaleWithTheDpiButSavedWidthsDoNot) {
    EXPECT_EQ(PlanColumns("EURUSD,GBPUSD,", "", {}, false, 144).widths,
              (std::vector<int>{105, 105}));
    EXPECT_EQ(PlanColumns("EURUSD,GBPUSD,", "", {}, false, 144).barWidth, 90 + 2 * 105);
    EXPECT_EQ(PlanColumns("EURUSD,GBPUSD,", "60,90,", {}, false, 144).widths,
              (std::vector<int>{60, 90}));
    EXPECT_EQ(ScaledPixels(-13, 144), -20);
    EXPECT_EQ(ScaledPixels(45, 120), 56);
}

TEST(AppQuoteColumns, NonNumericWidthsFallToTheFloor) {
    EXPECT_EQ(ChooseColumnWidths({"EURUSD", "GBPUSD"}, "abc,-20,"),
              (std::vector<int>{kMinColumnWidth, kMinColumnWidth}));
    EXPECT_EQ(WidthsText({60, 80, 80}), "60,80,80,");
}
