#include "floats/FloatRules.h"
#include "common/BarGeometry.h"
#include <gtest/gtest.h>

namespace {
const FloatRect kScreen1600{0, 0, 1600, 872}; // work area above a 28-pixel task bar

FloatScreen OneScreen() {
    return {1600, 900, 1600, 872, {kScreen1600}};
}

FloatRect Placed(const StoredFloatGeometry& stored, std::optional<FloatPoint> previous = {},
                 const FloatScreen& screen = OneScreen()) {
    return PlaceFloat(stored, previous, screen).rect;
}
} // namespace

TEST(FloatRules, PriceSplitsIntoHeaderAndDigits) {
    struct Case {
        const char* price;
        int decimals;
        const char *header, *digits;
    } cases[] = {
        {"1.2345", 4, "1.23", "45"},
        {"110.12", 2, "110.", "12"},
        {"1234.5", 1, "1234.", "5"},
        {"1.23456", 4, "1.23", "45"}, // an odd decimal dropped
        {"...", 4, "...", ""},
        {"Error", 4, "Error", ""},
        {".0000", 4, ".0000", ""},
        {"1.", 4, "", "1."},
        {"", 4, "", ""},
    };
    for (const auto& c : cases) {
        const FloatPriceParts parts = SplitFloatPrice(c.price, c.decimals);
        EXPECT_EQ(parts.header, c.header) << c.price;
        EXPECT_EQ(parts.digits, c.digits) << c.price;
    }
}

TEST(FloatRules, DigitCountTakesTheFirstRealPriceOfFourOrMore) {
    EXPECT_EQ(FloatDigitCount(0, "..."), 0);
    EXPECT_EQ(FloatDigitCount(0, "Error"), 0); // an error text must not fix the layout
    EXPECT_EQ(FloatDigitCount(0, "1.2345"), 6);
    EXPECT_EQ(FloatDigitCount(6, "10.41274"), 6);
    EXPECT_EQ(FloatDigitCount(0, "9.5"), 3);
    EXPECT_EQ(FloatDigitCount(3, "1234.5"), 6);
}

TEST(FloatRules, DirectionOnlyBetweenRealPrices) {
    EXPECT_EQ(FloatPriceDirection("1.2345", "1.2346"), 1);
    EXPECT_EQ(FloatPriceDirection("1.2346", "1.2345"), -1);
    EXPECT_EQ(FloatPriceDirection("1.2345", "1.2345"), 0);
    EXPECT_EQ(FloatPriceDirection("...", "1.2345"), 0);
    EXPECT_EQ(FloatPriceDirection("1.2345", "Error"), 0);
}

TEST(FloatRules, LayoutByDigitCount) {
    struct Case {
        int digits, header, price;
    } cases[] = {{7, -25, 28}, {9, -25, 28}, {6, -26, 20}, {5, -22, 18}, {0, -22, 18}};
    for (const auto& c : cases) {
        const FloatLayout layout = LayOutFloat(120, 120, c.digits);
        EXPECT_EQ(layout.header, (FloatRect{c.header, 43, 120, 50})) << c.digits;
        EXPECT_EQ(layout.digits, (FloatRect{c.price, 43, 120, 50})) << c.digits;
    }
    const FloatLayout tall = LayOutFloat(200, 301, 6);
    EXPECT_EQ(tall.line, (FloatRect{-3, 135, 200, 1}));
    EXPECT_EQ(tall.symbol, (FloatRect{-3, 42, 200, 50}));
    EXPECT_EQ(tall.digits.top, 177);
    // Below the middle's offset the division rounds toward zero.
    EXPECT_EQ(LayOutFloat(120, 92, 6).symbol.top, -9);
}

TEST(FloatRules, NewWindowsStackUpThenStartAColumnToTheLeft) {
    const StoredFloatGeometry none;
    EXPECT_EQ(Placed(none), (FloatRect{1480, 752, 120, 120}));
    EXPECT_EQ(Placed(none, FloatPoint{1480, 752}), (FloatRect{1480, 632, 120, 120}));
    EXPECT_EQ(Placed(none, FloatPoint{-1, -1}), (FloatRect{1480, 632, 120, 120}));
    EXPECT_EQ(Placed(none, FloatPoint{1480, 121}), (FloatRect{1480, 1, 120, 120}));
    EXPECT_EQ(Placed(none, FloatPoint{1480, 120}), (FloatRect{1360, 752, 120, 120}));
    // A window larger than the default stays whole on the screen above the last one.
    EXPECT_EQ(Placed(ReadFloatGeometry("9000", "0", "150", "500"), FloatPoint{1480, 752}),
              (FloatRect{1450, 400, 150, 500}));
    // A column that would leave the screens goes back to the corner.
    EXPECT_EQ(Placed(none, FloatPoint{-100, 32}), (FloatRect{1480, 752, 120, 120}));
    EXPECT_TRUE(PlaceFloat(none, {}, OneScreen()).storePlace);
}

TEST(FloatRules, StoredGeometryIsKeptOnAnyMonitorAndMendedOffThem) {
    // A second monitor right of the first: a window there stays.
    FloatScreen two = OneScreen();
    two.largestWidth = 3200;
    two.workAreas.push_back({1600, 0, 1600, 900});
    const auto onSecond = PlaceFloat(ReadFloatGeometry("2000", "300", "200", "150"), {}, two);
    EXPECT_EQ(onSecond.rect, (FloatRect{2000, 300, 200, 150}));
    EXPECT_FALSE(onSecond.storePlace);

    // The same place with that monitor gone: the default place, stored.
    const auto mended = PlaceFloat(ReadFloatGeometry("5000", "300", "200", "150"), {}, OneScreen());
    EXPECT_EQ(mended.rect, (FloatRect{1400, 722, 200, 150}));
    EXPECT_TRUE(mended.storePlace);

    struct Case {
        const char *x, *y, *w, *h;
        FloatRect expected;
    } cases[] = {
        {"-5", "10", "", "", {-5, 10, 120, 120}},           // partly off the left edge: reachable
        {"0", "0", "0", "-40", {0, 0, 120, 120}},           // never below the least size
        {"left", "top", "wide", "", {1480, 752, 120, 120}}, // letters count as missing
        {"100", "100", "100000", "100000", {100, 100, 1600, 872}},
        {"9000", "0", "120", "872", {1480, 0, 120, 872}},
        {"-100000", "50", "", "", {1480, 752, 120, 120}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Placed(ReadFloatGeometry(c.x, c.y, c.w, c.h)), c.expected) << c.x << "," << c.y;
}

TEST(FloatRules, OpenListKeepsEachWindowOnceAndTheNewestLast) {
    const FloatRegistration first = RegisterFloat(",eurusd,,GBPUSD, EURUSD,EURUSDX", "", "EURUSD");
    EXPECT_EQ(first.openWindows, ",GBPUSD,EURUSDX,EURUSD");
    EXPECT_EQ(first.previous, "EURUSDX");
    EXPECT_FALSE(first.lastClosed);

    EXPECT_EQ(RegisterFloat("", "", "GOLD").previous, "");
    // Reopened after a close: no longer counted as closed.
    const FloatRegistration again = RegisterFloat(",GBPUSD", ",EURUSD,USDJPY", "EURUSD");
    EXPECT_EQ(again.lastClosed, ",USDJPY");
}

TEST(FloatRules, CloseRuleDropsWindowsClosedMoreThanTenSecondsBefore) {
    const std::string now = "2024-05-01 10:00:20";
    const FloatCloseRecord soon =
        RecordFloatClose(",EURUSD,GBPUSD,GOLD", ",EURUSD", "2024-05-01 10:00:10", now, "GBPUSD");
    EXPECT_FALSE(soon.openWindows);
    EXPECT_EQ(soon.lastClosed, ",EURUSD,GBPUSD");

    const FloatCloseRecord late =
        RecordFloatClose(",eurusd,GBPUSD,GOLD", ",EURUSD", "2024-05-01 10:00:09", now, "GBPUSD");
    EXPECT_EQ(late.openWindows, ",GBPUSD,GOLD");
    EXPECT_EQ(late.lastClosed, ",GBPUSD");

    EXPECT_EQ(RecordFloatClose(",GOLD", "", "", now, "GOLD").lastClosed, ",GOLD");

    EXPECT_TRUE(ShowBarAgainAfterLastClose("2024-05-01 10:00:01", now));
    EXPECT_FALSE(ShowBarAgainAfterLastClose("2024-05-01 10:00:00", now));
    EXPECT_FALSE(ShowBarAgainAfterLastClose("", now));
}

TEST(FloatRules, EdgeAutoHideAtRightLeftAndTop) {
    const EdgeScreen screen{0, 0, 1600};
    struct Case {
        BarRect window;
        int x, y;
        bool hidden;
        EdgeAction action;
        ScreenEdge edge;
        int target;
    } cases[] = {
        {{1480, 300, 120, 120}, 10, 10, false, EdgeAction::SlideAway, ScreenEdge::Right, 1598},
        {{1598, 300, 120, 120}, 1599, 350, true, EdgeAction::Reveal, ScreenEdge::Right, 1480},
        {{1598, 300, 120, 120}, 10, 10, true, EdgeAction::None, ScreenEdge::None, 0},
        {{1480, 300, 120, 120}, 1500, 350, false, EdgeAction::None, ScreenEdge::None, 0},
        {{0, 300, 120, 120}, 800, 10, false, EdgeAction::SlideAway, ScreenEdge::Left, -118},
        {{-118, 300, 120, 120}, 1, 350, true, EdgeAction::Reveal, ScreenEdge::Left, 0},
        {{500, 0, 120, 120}, 10, 800, false, EdgeAction::SlideAway, ScreenEdge::Top, -118},
        {{500, -118, 120, 120}, 550, 0, true, EdgeAction::Reveal, ScreenEdge::Top, -1},
        // The right edge wins over the top in a corner.
        {{1480, 0, 120, 120}, 10, 800, false, EdgeAction::SlideAway, ScreenEdge::Right, 1598},
        {{700, 300, 120, 120}, 10, 10, false, EdgeAction::None, ScreenEdge::None, 0},
    };
    for (const auto& c : cases) {
        const EdgeStep step = DecideEdgeAutoHide(c.window, c.x, c.y, c.hidden, screen);
        EXPECT_EQ(step.action, c.action) << c.window.left << "," << c.window.top;
        EXPECT_EQ(step.edge, c.edge) << c.window.left << "," << c.window.top;
        if (c.action != EdgeAction::None) {
            EXPECT_EQ(step.target, c.target) << c.window.left << "," << c.window.top;
        }
    }
    // A monitor beyond the right edge: the window is not pulled back onto this one.
    EdgeScreen left = screen;
    left.rightOpen = false;
    EXPECT_EQ(DecideEdgeAutoHide({1700, 300, 120, 120}, 10, 10, false, left).action,
              EdgeAction::None);
}

TEST(FloatRules, SlidesMoveTwoPixelsAStepAndBringBackFindsTheEdge) {
    const std::vector<int> right = SlidePositions(1480, 1598, 2, 10);
    ASSERT_EQ(right.size(), 54u);
    EXPECT_EQ(right[0], 1482);
    EXPECT_EQ(right[52], 1586); // the last step still more than 10 pixels away
    EXPECT_EQ(right.back(), 1598);
    EXPECT_EQ(SlidePositions(0, -118, 2, 5).size(), 57u);
    EXPECT_EQ(SlidePositions(0, -3, 2, 5), (std::vector<int>{-3}));
    EXPECT_EQ(SlidePositions(0, 7, 2, 0), (std::vector<int>{2, 4, 6, 7}));

    const EdgeScreen screen{0, 0, 1600};
    EXPECT_EQ(BringBackFromEdge({-118, 300, 120, 120}, screen).target, 0);
    EXPECT_EQ(BringBackFromEdge({500, -118, 120, 120}, screen).target, -1);
    EXPECT_EQ(BringBackFromEdge({1598, 300, 120, 120}, screen).target, 1480);
    EXPECT_EQ(BringBackFromEdge({700, 300, 120, 120}, screen).action, EdgeAction::None);
}
