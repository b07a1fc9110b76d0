#include "common/BarGeometry.h"
#include <gtest/gtest.h>

TEST(AppBarGeometry, WithoutSavedPositionTheBarIsCentredAtTheTop) {
    const Placement p = PlanPlacement("", "", "", "", 1600, 620);
    EXPECT_TRUE(p.centre);
    EXPECT_EQ(p.x, 490);
    EXPECT_EQ(p.y, 0);
    // Values that are not numbers count as missing.
    EXPECT_TRUE(PlanPlacement("left", "top", "", "", 1600, 620).centre);
}

TEST(AppBarGeometry, SavedPositionWithAndWithoutSize) {
    const Placement sized = PlanPlacement("100", "-1", "640", "45", 1600, 620);
    EXPECT_FALSE(sized.centre);
    EXPECT_EQ(sized.x, 100);
    EXPECT_EQ(sized.y, -1);
    EXPECT_TRUE(sized.resize);
    EXPECT_EQ(sized.width, 640);

    const Placement unsized = PlanPlacement("100", "20", "wide", "45", 1600, 620);
    EXPECT_FALSE(unsized.resize);
    EXPECT_EQ(unsized.y, 20);
}

TEST(AppBarGeometry, StartHeightKeepsTheDefaultForUnusableValues) {
    EXPECT_EQ(StartHeight("50", kDefaultBarHeight), 50);
    EXPECT_EQ(StartHeight("", kDefaultBarHeight), kDefaultBarHeight);
    EXPECT_EQ(StartHeight("tall", kDefaultBarHeight), kDefaultBarHeight);
    EXPECT_EQ(StartHeight("0", kDefaultBarHeight), kDefaultBarHeight);
}

TEST(AppBarGeometry, SizeLimits) {
    EXPECT_EQ(DecideSize(60, 45, 1600, 45).width, kMinBarWidth);
    // Never narrower than the columns need, even beyond the screen reserve.
    EXPECT_EQ(DecideSize(1550, 45, 1600, 45).width, 1550);
    // Heights between 40 and 100 are adopted, then capped at 55.
    EXPECT_EQ(DecideSize(600, 50, 1600, 45).height, 50);
    EXPECT_EQ(DecideSize(600, 80, 1600, 45).height, kMaxBarHeight);
    EXPECT_EQ(DecideSize(600, 40, 1600, 45).height, 45);
    EXPECT_EQ(DecideSize(600, 300, 1600, 70).height, kMaxBarHeight);
    // At 150 % the limits grow with the header and row: 60..150 adopted, capped at 83.
    EXPECT_EQ(DecideSize(600, 80, 1600, 68, 144).height, 80);
    EXPECT_EQ(DecideSize(600, 58, 1600, 68, 144).height, 68);
    EXPECT_EQ(DecideSize(600, 120, 1600, 68, 144).height, ScaledPixels(kMaxBarHeight, 144));
}

TEST(AppBarGeometry, SlideUpLeavesATwoPixelStrip) {
    const std::vector<int> tops = SlideUpTops(45);
    ASSERT_EQ(tops.size(), 41u);
    EXPECT_EQ(tops.front(), 0);
    EXPECT_EQ(tops[39], -39);
    EXPECT_EQ(tops.back(), -43);
    EXPECT_EQ(SlideUpTops(3).size(), 1u); // too low to animate: straight to the strip
}

TEST(AppBarGeometry, AutoHideDecisions) {
    const BarRect docked{100, 0, 600, 45};
    bool animate = false;
    // Pointer away from a docked bar: slide up, animated only when armed.
    EXPECT_EQ(DecideAutoHide(docked, 10, 300, {false, true}, animate), AutoHideAction::SlideUp);
    EXPECT_TRUE(animate);
    EXPECT_EQ(DecideAutoHide(docked, 10, 300, {false, false}, animate), AutoHideAction::SlideUp);
    EXPECT_FALSE(animate);
    // Pointer on the bar: it stays.
    EXPECT_EQ(DecideAutoHide(docked, 200, 10, {false, true}, animate), AutoHideAction::None);
    // A bar away from the top edge never hides.
    EXPECT_EQ(DecideAutoHide({100, 5, 600, 45}, 10, 300, {false, true}, animate),
              AutoHideAction::None);

    const BarRect hidden{100, -43, 600, 45};
    EXPECT_EQ(DecideAutoHide(hidden, 200, 1, {true, false}, animate), AutoHideAction::Reveal);
    EXPECT_EQ(DecideAutoHide(hidden, 200, 5, {true, false}, animate), AutoHideAction::None);
}
