#include "floats/FloatRules.h"
#include "alerts/AlertNumbers.h"
#include "common/ChangeMarks.h"
#include "common/StartupRules.h"
#include "platform/Text.h"
#include "quotes/PriceFormat.h"
#include "settings/DateTime.h"
#include <algorithm>

namespace {
constexpr int kShortestLaidOutPrice = 4;
constexpr int kOddDecimalsDropped = 1;
constexpr int kPipDigits = 2;

struct PriceOffsets {
    int header;
    int digits;
};

// The halves are centred across the window; these push them apart until they meet.
PriceOffsets OffsetsFor(int digitCount) {
    if (digitCount >= 7)
        return {-25, 28};
    if (digitCount == 6)
        return {-26, 20};
    return {-22, 18};
}

constexpr int kLabelHeight = 50;
constexpr int kLabelLeft = -3;
constexpr int kHalfToLabels = 65;
constexpr int kLabelsAboveMiddle = 15;

bool HasPointAfterFirst(const std::string& price) {
    const std::size_t point = price.find('.');
    return point != std::string::npos && point >= 1;
}

bool Intersects(const FloatRect& a, const FloatRect& b) {
    return a.left < b.left + b.width && b.left < a.left + a.width && a.top < b.top + b.height &&
           b.top < a.top + a.height;
}

bool OnSomeArea(const FloatRect& rect, const std::vector<FloatRect>& areas) {
    return std::any_of(areas.begin(), areas.end(),
                       [&](const FloatRect& area) { return Intersects(rect, area); });
}

int SizeWithin(int stored, int largest) {
    return std::clamp(stored, kFloatSize, std::max(kFloatSize, largest));
}

std::string ListText(const std::vector<std::string>& names) {
    std::string list;
    for (const auto& name : names)
        list += "," + name;
    return list;
}

int StoredNumber(const std::string& text) {
    return ParseInteger<int>(text).value_or(-1);
}
} // namespace

FloatPriceParts SplitFloatPrice(const std::string& price, int decimals) {
    if (price == kNoPriceYet || price == kPriceError || !HasPointAfterFirst(price))
        return {price, ""};
    std::string text = price;
    const int digits = decimals > 1 ? kPipDigits : 1;
    if (decimals > 1 && (text.size() - text.find('.') - 1) % 2 == 1)
        text.resize(text.size() - kOddDecimalsDropped);
    const std::size_t cut = text.size() - std::min<std::size_t>(text.size(), digits);
    return {text.substr(0, cut), text.substr(cut)};
}

int FloatDigitCount(int current, const std::string& price) {
    if (current >= kShortestLaidOutPrice || !HoldsPrice(price) || !HasPointAfterFirst(price))
        return current;
    return static_cast<int>(price.size());
}

int FloatPriceDirection(const std::string& previous, const std::string& current) {
    if (!HoldsPrice(previous) || !HoldsPrice(current))
        return kPriceSteady;
    return PriceDirection(previous, current);
}

FloatLayout LayOutFloat(int width, int height, int digitCount) {
    width = std::max(width, 0);
    height = std::max(height, 0);
    const int half = height / 2;
    const int top = (half - kHalfToLabels) / 2;
    const int priceTop = half + top - kLabelsAboveMiddle;
    const PriceOffsets offsets = OffsetsFor(digitCount);
    FloatLayout layout;
    layout.line = {kLabelLeft, half - kLabelsAboveMiddle, width, 1};
    layout.symbol = {kLabelLeft, top, width, kLabelHeight};
    layout.digits = {offsets.digits, priceTop, width, kLabelHeight};
    layout.header = {offsets.header, priceTop, width, kLabelHeight};
    return layout;
}

StoredFloatGeometry ReadFloatGeometry(const std::string& x, const std::string& y,
                                      const std::string& width, const std::string& height) {
    return {StoredNumber(x), StoredNumber(y), StoredNumber(width), StoredNumber(height)};
}

FloatPlacement PlaceFloat(const StoredFloatGeometry& stored, std::optional<FloatPoint> previous,
                          const FloatScreen& screen) {
    FloatPlacement placement;
    FloatRect& rect = placement.rect;
    rect.width = stored.Any() ? SizeWithin(stored.width, screen.largestWidth) : kFloatSize;
    rect.height = stored.Any() ? SizeWithin(stored.height, screen.largestHeight) : kFloatSize;
    rect.left = stored.x;
    rect.top = stored.y;
    // A place on a monitor that is gone would open the window where nobody can reach it.
    if (stored.Any() && OnSomeArea(rect, screen.workAreas))
        return placement;

    placement.storePlace = true;
    const FloatPoint home{screen.width - rect.width,
                          screen.height - rect.height - kFloatBottomMargin};
    FloatPoint place = home;
    if (previous) {
        const FloatPoint above = previous->x == -1 && previous->y == -1 ? home : *previous;
        place = above.y > kFloatStackStep ? FloatPoint{above.x, above.y - kFloatStackStep}
                                          : FloatPoint{above.x - kFloatStackStep, home.y};
    }
    rect.left = place.x;
    rect.top = place.y;
    // So many columns that the next would leave the screens: back to the corner.
    if (!OnSomeArea(rect, screen.workAreas)) {
        rect.left = home.x;
        rect.top = home.y;
    }
    // A new window opens whole on the screen, however large it was made before.
    rect.left = std::clamp(rect.left, 0, std::max(0, screen.width - rect.width));
    rect.top = std::clamp(rect.top, 0, std::max(0, screen.height - rect.height));
    return placement;
}

std::vector<std::string> FloatNames(const std::string& openWindows) {
    std::vector<std::string> names;
    for (const auto& entry : SplitList(ToUpperAscii(openWindows))) {
        std::string name = TrimBlanks(entry);
        if (!name.empty())
            names.push_back(std::move(name));
    }
    return names;
}

FloatRegistration RegisterFloat(const std::string& openWindows, const std::string& lastClosed,
                                const std::string& symbol) {
    FloatRegistration registration;
    std::vector<std::string> names = FloatNames(openWindows);
    std::erase(names, symbol);
    registration.previous = names.empty() ? "" : names.back();
    names.push_back(symbol);
    registration.openWindows = ListText(names);

    std::vector<std::string> closed = FloatNames(lastClosed);
    // Reopened: a later close must not drop it from the list of open windows.
    if (std::erase(closed, symbol) > 0)
        registration.lastClosed = ListText(closed);
    return registration;
}

FloatCloseRecord RecordFloatClose(const std::string& openWindows, const std::string& lastClosed,
                                  const std::string& lastClosedTime, const std::string& now,
                                  const std::string& symbol) {
    FloatCloseRecord record;
    record.lastClosed = lastClosed;
    const auto trimmed =
        TrimClosedPopups(ToUpperAscii(openWindows), ToUpperAscii(lastClosed), lastClosedTime, now);
    if (trimmed) {
        record.openWindows = ListText(FloatNames(*trimmed));
        record.lastClosed.clear();
    }
    record.lastClosed += "," + symbol;
    return record;
}

bool ShowBarAgainAfterLastClose(const std::string& barHiddenSince, const std::string& now) {
    if (barHiddenSince.empty())
        return false;
    return DateDiffText('s', barHiddenSince, now) < kBarReturnSeconds;
}
