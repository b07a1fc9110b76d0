#pragma once
#include "platform/DpiScale.h"
#include <optional>
#include <string>
#include <vector>

// Where the price bar sits and how it slides under the top screen edge.

inline constexpr int kDefaultBarHeight = 45;
inline constexpr int kBarWidthChinese = 501;
inline constexpr int kBarWidthOther = 701;
inline constexpr int kMinBarWidth = 110;
inline constexpr int kScreenWidthReserve = 100;
inline constexpr int kAdoptHeightAbove = 40; // heights strictly between these two
inline constexpr int kAdoptHeightBelow = 100;
inline constexpr int kMaxBarHeight = 55;
inline constexpr int kEdgeStripPixels = 2; // left visible when slid up
inline constexpr int kRevealedTop = -1;
inline constexpr int kSlideStopBeforeEnd = 5;

struct BarRect {
    int left = 0, top = 0, width = 0, height = 0;
    bool Contains(int x, int y) const {
        return x >= left && x < left + width && y >= top && y < top + height;
    }
};

// The saved height "H" when it is a usable number, else the given one.
int StartHeight(const std::string& savedHeight, int defaultHeight);

struct Placement {
    bool centre = false; // centre horizontally at the top, keep the size
    int x = 0, y = 0;
    bool resize = false; // with the saved width and height
    int width = 0, height = 0;
};

// From the saved "X", "Y", "W", "H"; a value that is missing or not a number counts as -1.
Placement PlanPlacement(const std::string& x, const std::string& y, const std::string& w,
                        const std::string& h, int screenWidth, int windowWidth);

struct SizeDecision {
    int width = 0;
    int height = 0; // the new window height
};

// WM_SIZE: the width within its limits (never below what the message brings), a height
// between 40 and 100 adopted, and the height capped (those heights at the dpi).
SizeDecision DecideSize(int messageWidth, int messageHeight, int screenWidth, int windowHeight,
                        int dpi = kBaseDpi);

// The tops of the slide-up animation for a window of this height, then the final top.
std::vector<int> SlideUpTops(int height);

enum class AutoHideAction { None, SlideUp, Reveal };

struct AutoHideState {
    bool edgeHidden = false;
    bool slideArmed = false;
};

// One auto-hide step at the top edge (pointer outside: slide up; on the strip: come down).
// `animate` tells the slide-up to show the window and move it pixel by pixel first.
AutoHideAction DecideAutoHide(const BarRect& window, int cursorX, int cursorY,
                              const AutoHideState& state, bool& animate);

// Floating windows hide at the right, the left or the top edge of their screen.
enum class ScreenEdge { None, Right, Left, Top };
enum class EdgeAction { None, SlideAway, Reveal };

// The screen a window hides on. An edge that another monitor lies beyond is no edge to hide
// at: the window would only move onto that monitor.
struct EdgeScreen {
    int left = 0, top = 0, right = 0;
    bool leftOpen = true, topOpen = true, rightOpen = true;
};

struct EdgeStep {
    EdgeAction action = EdgeAction::None;
    ScreenEdge edge = ScreenEdge::None;
    int target = 0; // the new left edge (right and left) or top edge (top)
};

// One auto-hide step of a floating window: the first edge it touches, right, left, top,
// decides; the pointer outside slides it away to a 2-pixel strip, the pointer inside brings
// it back.
EdgeStep DecideEdgeAutoHide(const BarRect& window, int cursorX, int cursorY, bool hidden,
                            const EdgeScreen& screen);

// The positions of an animated slide from `from` to `to`: `stepPixels` at a time until
// within `stopWithin` of the end, then the end itself.
std::vector<int> SlidePositions(int from, int to, int stepPixels, int stopWithin);
inline constexpr int kEdgeSlideStepPixels = 2;
inline constexpr int kEdgeSlideStopSides = 10;
inline constexpr int kEdgeSlideStopTop = 5;

// A floating window brought back in full from the edge it hides at; nothing when it is not
// under an edge.
EdgeStep BringBackFromEdge(const BarRect& window, const EdgeScreen& screen);
