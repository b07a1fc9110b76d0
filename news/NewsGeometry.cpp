#include "news/NewsGeometry.h"
#include "platform/Text.h"
#include <algorithm>

namespace {
constexpr int kTabMargin = 5;
constexpr int kTabWidthLess = 20;
constexpr int kTabHeightLess = 75;
constexpr int kExitFromRight = 100;
constexpr int kExitFromBottom = 60;
constexpr int kRemoveLeft = 8;
constexpr int kRemoveWidth = 150;
constexpr int kAddLeft = 180;
constexpr int kEditLeft = 280;
constexpr int kRefreshLeft = 420;
constexpr int kButtonWidth = 80;
constexpr int kViewLeft = -3;
constexpr int kViewTop = 20;
constexpr int kViewRight = 12;
constexpr int kViewBottom = 12;
constexpr int kLowestStoredPlace = -100;

NewsRect At(int left, int top, int width, int height) {
    return {left, top, left + width, top + height};
}

// A coordinate read as the C library reads it: a missing one is 0.
int StoredCoordinate(const std::string& text) {
    const int value = LeadingInteger<int>(text);
    return value < kLowestStoredPlace ? kNewsDefaultMargin : value;
}
} // namespace

std::optional<int> SnappedNewsWidth(int width) {
    if (width < kNewsNarrowWidth)
        return kNewsSnapWidth;
    return std::nullopt;
}

NewsLayout LayOutNews(int width, int height, int exitWidth, int exitHeight, int buttonHeight) {
    NewsLayout layout;
    layout.tab = At(kTabMargin, kTabMargin, width - kTabWidthLess, height - kTabHeightLess);
    const int row = height - kExitFromBottom;
    layout.exit = At(width - kExitFromRight, row, exitWidth, exitHeight);
    layout.remove = At(kRemoveLeft, row, kRemoveWidth, buttonHeight);
    layout.add = At(kAddLeft, row, kButtonWidth, buttonHeight);
    layout.edit = At(kEditLeft, row, kButtonWidth, buttonHeight);
    layout.refresh = At(kRefreshLeft, row, kButtonWidth, buttonHeight);
    return layout;
}

NewsRect PageViewRect(const NewsRect& tabClient) {
    return {tabClient.left + kViewLeft, tabClient.top + kViewTop, tabClient.right + kViewRight,
            tabClient.bottom + kViewBottom};
}

NewsPlacement RestoredNewsPlacement(const std::string& x, const std::string& y,
                                    const std::string& width, const std::string& height,
                                    int screenWidth, int screenHeight) {
    NewsPlacement placement;
    if (x.empty() && y.empty()) {
        placement.x = kNewsDefaultMargin;
        placement.y = kNewsDefaultMargin;
        placement.width = std::max(0, screenWidth - 2 * kNewsDefaultMargin);
        placement.height = std::max(0, screenHeight - 2 * kNewsDefaultMargin);
        return placement;
    }
    placement.x = StoredCoordinate(x);
    placement.y = StoredCoordinate(y);
    if (width.empty() && height.empty())
        return placement;
    placement.width = std::max(LeadingInteger<int>(width), kNewsLeastWidth);
    placement.height = std::max(LeadingInteger<int>(height), kNewsLeastHeight);
    return placement;
}
