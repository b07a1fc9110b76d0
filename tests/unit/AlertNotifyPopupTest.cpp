#include "FakeDesktop.h"
#include "alerts/NotifyPopup.h"
#include <gtest/gtest.h>

TEST(AlertNotifyPopup, HeightFollowsTheMessageLinesAndTheBottomStaysPut) {
    const auto height = [](int lines) {
        const NotifyRect r = NotifyPlacement(1600, 900, 320, lines);
        EXPECT_EQ(r.bottom, 870);
        EXPECT_EQ(r.left, 1277);
        EXPECT_EQ(r.right, 1597);
        return r.bottom - r.top;
    };
    EXPECT_EQ(height(NotifyLines(false, 3)), 60);
    EXPECT_EQ(height(NotifyLines(true, 1)), 80);
    EXPECT_EQ(height(NotifyLines(true, 0)), 80);
    EXPECT_EQ(height(NotifyLines(true, 3)), 120);
    EXPECT_EQ(height(NotifyLines(true, 25)), 260);
}

TEST(AlertNotifyPopup, CloseSecondsSetting) {
    EXPECT_EQ(NotifyCloseSeconds(""), 5);
    EXPECT_EQ(NotifyCloseSeconds("12"), 12);
    EXPECT_EQ(NotifyCloseSeconds("-1"), 0);
    EXPECT_EQ(NotifyCloseSeconds("0"), 0);
    EXPECT_EQ(NotifyCloseSeconds("never"), 0);
    EXPECT_EQ(NotifyCloseSeconds("99999999999"), 86400);
}
