#include "app/BarGeometry.h"
#include "platform/Text.h"
#include <algorithm>

int StartHeight(const std::string& savedHeight, int defaultHeight) {
    const auto height = ParseInteger(savedHeight);
    // A height of 0 or less would make the bar vanish for good.
    return height && *height > 0 ? *height : defaultHeight;
}

Placement PlanPlacement(const std::string& x, const std::string& y, const std::string& w,
                        const std::string& h, int screenWidth, int windowWidth) {
    Placement placement;
    const int savedX = ParseInteger(x).value_or(-1);
    const int savedY = ParseInteger(y).value_or(-1);
    if (savedX == -1 && savedY == -1) {
        placement.centre = true;
        placement.x = (screenWidth - windowWidth) / 2;
        placement.y = 0;
        return placement;
    }
    placement.x = savedX;
    placement.y = savedY;
    const int savedW = ParseInteger(w).value_or(-1);
    const int savedH = ParseInteger(h).value_or(-1);
    if (savedW > 0 && savedH > 0) {
        placement.resize = true;
        placement.width = savedW;
        placement.height = savedH;
    }
    return placement;
}

SizeDecision DecideSize(int messageWidth, int messageHeight, int screenWidth, int windowHeight) {
    SizeDecision size;
    size.width = std::max(messageWidth, kMinBarWidth);
    size.width = std::min(size.width, screenWidth - kScreenWidthReserve);
    // Columns are never cut off: a bar wider than the screen keeps its width.
    size.width = std::max(size.width, messageWidth);
    size.height = windowHeight;
    if (messageHeight > kAdoptHeightAbove && messageHeight < kAdoptHeightBelow)
        size.height = messageHeight;
    size.height = std::min(size.height, kMaxBarHeight);
    return size;
}

std::vector<int> SlideUpTops(int height) {
    std::vector<int> tops;
    for (int step = 0; step < height - kSlideStopBeforeEnd; ++step)
        tops.push_back(-step);
    tops.push_back(-(height - kEdgeStripPixels));
    return tops;
}

AutoHideAction DecideAutoHide(const BarRect& window, int cursorX, int cursorY,
                              const AutoHideState& state, bool& animate) {
    animate = false;
    const bool inside = window.Contains(cursorX, cursorY);
    if (state.edgeHidden && !inside)
        return AutoHideAction::None;
    if (window.top > 0)
        return AutoHideAction::None; // only a bar docked at the top edge hides
    const int visibleHeight = window.top + window.height;
    if (visibleHeight > kEdgeStripPixels && !inside) {
        animate = state.slideArmed;
        return AutoHideAction::SlideUp;
    }
    if (state.edgeHidden && inside)
        return AutoHideAction::Reveal;
    return AutoHideAction::None;
}
