#include "common/BarGeometry.h"
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

SizeDecision DecideSize(int messageWidth, int messageHeight, int screenWidth, int windowHeight,
                        int dpi) {
    SizeDecision size;
    size.width = std::max(messageWidth, kMinBarWidth);
    size.width = std::min(size.width, screenWidth - kScreenWidthReserve);
    // Columns are never cut off: a bar wider than the screen keeps its width.
    size.width = std::max(size.width, messageWidth);
    size.height = windowHeight;
    if (messageHeight > ScaledPixels(kAdoptHeightAbove, dpi) &&
        messageHeight < ScaledPixels(kAdoptHeightBelow, dpi))
        size.height = messageHeight;
    size.height = std::min(size.height, ScaledPixels(kMaxBarHeight, dpi));
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

EdgeStep DecideEdgeAutoHide(const BarRect& window, int cursorX, int cursorY, bool hidden,
                            const EdgeScreen& screen) {
    const bool inside = window.Contains(cursorX, cursorY);
    if (hidden && !inside)
        return {};
    const int right = window.left + window.width;
    const int bottom = window.top + window.height;
    if (screen.rightOpen && right >= screen.right) {
        const int stripLeft = screen.right - kEdgeStripPixels;
        if (window.left < stripLeft && !inside)
            return {EdgeAction::SlideAway, ScreenEdge::Right, stripLeft};
        if (window.left >= stripLeft && inside)
            return {EdgeAction::Reveal, ScreenEdge::Right, screen.right - window.width};
        return {};
    }
    if (screen.leftOpen && window.left <= screen.left) {
        if (right - screen.left > kEdgeStripPixels && !inside)
            return {EdgeAction::SlideAway, ScreenEdge::Left,
                    screen.left + kEdgeStripPixels - window.width};
        if (inside)
            return {EdgeAction::Reveal, ScreenEdge::Left, screen.left};
        return {};
    }
    if (screen.topOpen && window.top <= screen.top) {
        if (bottom - screen.top > kEdgeStripPixels && !inside)
            return {EdgeAction::SlideAway, ScreenEdge::Top,
                    screen.top + kEdgeStripPixels - window.height};
        if (inside)
            return {EdgeAction::Reveal, ScreenEdge::Top, screen.top + kRevealedTop};
    }
    return {};
}

std::vector<int> SlidePositions(int from, int to, int stepPixels, int stopWithin) {
    std::vector<int> positions;
    if (stepPixels > 0 && to > from)
        for (int at = from + stepPixels; at < to - stopWithin; at += stepPixels)
            positions.push_back(at);
    if (stepPixels > 0 && to < from)
        for (int at = from - stepPixels; at > to + stopWithin; at -= stepPixels)
            positions.push_back(at);
    positions.push_back(to);
    return positions;
}

EdgeStep BringBackFromEdge(const BarRect& window, const EdgeScreen& screen) {
    constexpr int kUnderEdge = 10;
    if (window.left < screen.left - kUnderEdge)
        return {EdgeAction::Reveal, ScreenEdge::Left, screen.left};
    if (window.top < screen.top - kUnderEdge)
        return {EdgeAction::Reveal, ScreenEdge::Top, screen.top + kRevealedTop};
    if (window.left > screen.right - kUnderEdge)
        return {EdgeAction::Reveal, ScreenEdge::Right, screen.right - window.width};
    return {};
}
