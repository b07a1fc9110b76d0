#pragma once
// Where the news window goes and how its controls are laid out, in pixels.
#include <optional>
#include <string>

struct NewsRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool operator==(const NewsRect&) const = default;
};

inline constexpr int kNewsNarrowWidth = 600; // a window narrower than this...
inline constexpr int kNewsSnapWidth = 620;   // ...is widened to this
inline constexpr int kNewsLeastWidth = 700;  // a restored size is at least this
inline constexpr int kNewsLeastHeight = 400;
inline constexpr int kNewsDefaultMargin = 60;

// The width a window of that width is set to; nothing when it may stay.
std::optional<int> SnappedNewsWidth(int width);

// The controls for a client area of width x height; the EXIT button keeps its own size,
// the others their height.
struct NewsLayout {
    NewsRect tab;
    NewsRect exit;
    NewsRect remove;
    NewsRect add;
    NewsRect edit;
    NewsRect refresh;
};
NewsLayout LayOutNews(int width, int height, int exitWidth, int exitHeight, int buttonHeight);

// A page view's place: the tab control's client area widened by -3 left, +20 top, +12
// right and +12 bottom.
NewsRect PageViewRect(const NewsRect& tabClient);

// The stored place ("X", "Y", "W", "H" as stored) applied to a window: the whole screen
// less 60 on each side when X and Y are both missing; an X or Y below -100 becomes 60; a
// size only when W or H is stored, then at least 700 x 400.
struct NewsPlacement {
    int x = 0;
    int y = 0;
    std::optional<int> width;  // nothing: keep the window's size
    std::optional<int> height;
    bool operator==(const NewsPlacement&) const = default;
};
NewsPlacement RestoredNewsPlacement(const std::string& x, const std::string& y,
                                    const std::string& width, const std::string& height,
                                    int screenWidth, int screenHeight);
