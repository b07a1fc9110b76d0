#include "alerts/AlertKinds.h"
#include "platform/Text.h"
#include "quotes/PriceFormat.h"
#include <algorithm>
#include <limits>

namespace {
constexpr long long kLargest = std::numeric_limits<long long>::max();
constexpr std::size_t kMostTenthsDigits = 7;

long long TimesTen(long long units, int steps) {
    for (int i = 0; i < steps && units != 0; ++i) {
        if (units > kLargest / 10 || units < -(kLargest / 10))
            return units < 0 ? -kLargest : kLargest;
        units *= 10;
    }
    return units;
}

// a - b, held at the largest magnitude: prices far apart must not overflow.
long long Difference(long long a, long long b) {
    if (b < 0 && a > kLargest + b)
        return kLargest;
    if (b > 0 && a < -kLargest + b)
        return -kLargest;
    return a - b;
}

// Divided by ten per step, to the nearest whole number.
long long TenthRounded(long long units, int steps) {
    for (int i = 0; i < steps && units != 0; ++i) {
        const long long rest = units % 10;
        units = units / 10 + (rest >= 5 ? 1 : rest <= -5 ? -1 : 0);
    }
    return units;
}
} // namespace

std::string ExtraValue(const AlertExtras& extras, const std::string& key) {
    using namespace kindkey;
    const std::pair<const char*, const std::string*> fields[] = {
        {kMovePips, &extras.movepips},     {kMoveMinutes, &extras.movemins},
        {kMoveWay, &extras.moveway},       {kChannelLow, &extras.chanlow},
        {kChannelHigh, &extras.chanhigh},  {kChannelWay, &extras.chanway},
        {kSpreadPips, &extras.spreadpips}, {kUntil, &extras.until},
        {kSnoozed, &extras.snoozed}};
    for (const auto& [name, value] : fields)
        if (key == name)
            return *value;
    return "";
}

void MoveWatch::Rescale(int newDecimals) {
    const int steps = newDecimals - decimals;
    for (auto* queue : {&lows, &highs})
        for (Sample& sample : *queue)
            sample.units = TimesTen(sample.units, steps);
    latest = TimesTen(latest, steps);
    decimals = newDecimals;
}

void MoveWatch::Add(std::uint32_t tickMs, const PriceReading& price, std::uint32_t windowMs) {
    if (decimals < 0)
        decimals = price.decimals;
    if (price.decimals > decimals)
        Rescale(price.decimals);
    latest = TimesTen(price.units, decimals - price.decimals);
    // Unsigned differences: the tick count wraps after 49.7 days.
    for (auto* queue : {&lows, &highs})
        while (!queue->empty() && tickMs - queue->front().tickMs > windowMs)
            queue->pop_front();
    while (!lows.empty() && lows.back().units >= latest)
        lows.pop_back();
    lows.push_back({tickMs, latest});
    while (!highs.empty() && highs.back().units <= latest)
        highs.pop_back();
    highs.push_back({tickMs, latest});
}

long long MoveWatch::Rise() const {
    return lows.empty() ? 0 : Difference(latest, lows.front().units);
}

long long MoveWatch::Fall() const {
    return highs.empty() ? 0 : Difference(highs.front().units, latest);
}

void MoveWatch::Restart() {
    if (lows.empty())
        return;
    const Sample last = lows.back(); // the latest price is always the last of both queues
    lows.assign(1, last);
    highs.assign(1, last);
}

bool MoveHolds(const MoveWatch& watch, long long pips, int way) {
    if (pips <= 0)
        return false;
    const bool up = way != kMoveWayDown && watch.Rise() >= pips;
    const bool down = way != kMoveWayUp && watch.Fall() >= pips;
    return up || down;
}

ChannelWatch::Crossing ChannelWatch::See(std::uint32_t tickMs, double price, double low,
                                         double high) {
    if (low > high)
        std::swap(low, high);
    const Side now = price >= low && price <= high ? Side::Inside : Side::Outside;
    const Side before = tickMs - lastTickMs > kPriceGapMs ? Side::Unknown : side;
    side = now;
    lastTickMs = tickMs;
    if (before == Side::Unknown || before == now)
        return Crossing::None;
    return now == Side::Inside ? Crossing::Entered : Crossing::Left;
}

std::optional<long long> ParseTenthsOfPip(const std::string& text) {
    const std::string core = TrimBlanks(text);
    const std::size_t point = core.find('.');
    const std::string whole = core.substr(0, point);
    const std::string tenth = point == std::string::npos ? "" : core.substr(point + 1);
    const auto digits = [](const std::string& part) {
        return std::all_of(part.begin(), part.end(), [](char c) { return c >= '0' && c <= '9'; });
    };
    if ((whole.empty() && tenth.empty()) || tenth.size() > 1 || !digits(whole) || !digits(tenth) ||
        whole.size() + 1 > kMostTenthsDigits)
        return std::nullopt;
    return LeadingInteger(whole) * 10 + (tenth.empty() ? 0 : tenth[0] - '0');
}

std::optional<long long> SpreadTenths(const std::string& symbol, const std::string& bid,
                                      const std::string& ask) {
    if (!HoldsPrice(bid) || !HoldsPrice(ask))
        return std::nullopt;
    const PriceReading b = ReadPrice(bid);
    const PriceReading a = ReadPrice(ask);
    const int decimals = std::max(a.decimals, b.decimals);
    const long long units = Difference(TimesTen(a.units, decimals - a.decimals),
                                       TimesTen(b.units, decimals - b.decimals));
    // Tenths of the pip: one decimal more than the symbol shows.
    const int tenthDecimals = DecimalsFor(symbol) + 1;
    return tenthDecimals >= decimals ? TimesTen(units, tenthDecimals - decimals)
                                     : TenthRounded(units, decimals - tenthDecimals);
}

bool SpreadWatch::See(long long spreadTenths, long long levelTenths) {
    if (spreadTenths < levelTenths) {
        armed = true;
        return false;
    }
    const bool fires = armed;
    armed = false;
    return fires;
}
