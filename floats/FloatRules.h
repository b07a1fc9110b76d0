#pragma once
#include <optional>
#include <string>
#include <vector>

// Floating price windows: how a price is split for the large digits, how the labels are laid
// out, where a new window goes, and what closing one does to the remembered list.

// Keys of a floating window's own section, named by its symbol.
namespace floatkey {
inline constexpr const char* kWindowHandle = "HWD";
inline constexpr const char* kX = "X";
inline constexpr const char* kY = "Y";
inline constexpr const char* kWidth = "W";
inline constexpr const char* kHeight = "H";
} // namespace floatkey

inline constexpr int kFloatSize = 120; // the size a window opens with, and its least size
inline constexpr int kFloatStackStep = 120;
inline constexpr int kFloatBottomMargin = 28; // keeps the default place clear of the task bar
inline constexpr long long kBarReturnSeconds = 20;

struct FloatPriceParts {
    std::string header; // the price without its last digits
    std::string digits; // the last digits, drawn large
};
// "..." and "Error" go whole into the header; a price with a decimal point gives up its last
// two digits (the last one with one decimal). Other texts show whole in the header.
FloatPriceParts SplitFloatPrice(const std::string& price, int decimals);

// The length of the first real price of four or more characters; no-price texts do not count.
int FloatDigitCount(int current, const std::string& price);

// The direction the digits take their colour from: rose (1), fell (-1) or stays (0). Only a
// change from one real price to another counts.
int FloatPriceDirection(const std::string& previous, const std::string& current);

struct FloatRect {
    int left = 0, top = 0, width = 0, height = 0;
    bool operator==(const FloatRect&) const = default;
};

struct FloatLayout {
    FloatRect line, symbol, digits, header;
};
// The labels for a window of this size; longer prices push the two halves apart.
FloatLayout LayOutFloat(int width, int height, int digitCount);

struct FloatPoint {
    int x = 0, y = 0;
    bool operator==(const FloatPoint&) const = default;
};

// The stored "X", "Y", "W", "H"; a value that is missing or not a number is -1.
struct StoredFloatGeometry {
    int x = -1, y = -1, width = -1, height = -1;
    bool Any() const { return x != -1 || y != -1 || width != -1 || height != -1; }
};
StoredFloatGeometry ReadFloatGeometry(const std::string& x, const std::string& y,
                                      const std::string& width, const std::string& height);

// What the placing code knows of the screens.
struct FloatScreen {
    int width = 0, height = 0; // the primary screen
    int largestWidth = 0;      // the largest work area's: a window is never larger
    int largestHeight = 0;
    std::vector<FloatRect> workAreas; // every monitor's
};

struct FloatPlacement {
    FloatRect rect;
    bool storePlace = false; // a new place was computed: "X" and "Y" are written
};

// The stored rectangle when it reaches some monitor; otherwise a new place: bottom-right
// above the task bar, one window above the previous one (`previous`: its stored X and Y,
// -1 when missing; nothing when no previous window is open), or a new column to the left,
// kept whole on the screen. A size below the least or beyond the screens is brought within.
FloatPlacement PlaceFloat(const StoredFloatGeometry& stored, std::optional<FloatPoint> previous,
                          const FloatScreen& screen);

// Opening a window: the symbol moves to the end of the open list ("POPWIN", each entry after
// a comma) and leaves the recently closed list, since it is open again.
struct FloatRegistration {
    std::string openWindows;
    std::string previous;                  // the window opened before; "" for none
    std::optional<std::string> lastClosed; // to store, when it changed
};
FloatRegistration RegisterFloat(const std::string& openWindows, const std::string& lastClosed,
                                const std::string& symbol);

// Closing a window: when the last close lies more than 10 seconds back, the windows closed
// then leave the open list; this one joins the recently closed list.
struct FloatCloseRecord {
    std::optional<std::string> openWindows; // to store, when names left it
    std::string lastClosed;
};
FloatCloseRecord RecordFloatClose(const std::string& openWindows, const std::string& lastClosed,
                                  const std::string& lastClosedTime, const std::string& now,
                                  const std::string& symbol);

// The last window closed soon after the bar was hidden: the bar shows at the next start.
bool ShowBarAgainAfterLastClose(const std::string& barHiddenSince, const std::string& now);

// The open list's names, upper-cased, blanks trimmed, empty ones dropped.
std::vector<std::string> FloatNames(const std::string& openWindows);
