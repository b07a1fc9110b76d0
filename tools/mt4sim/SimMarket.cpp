#include "tools/mt4sim/SimMarket.h"

#include <algorithm>
#include <cstdlib>

namespace {

struct QuoteSeed {
    const char* symbol;
    int digits;
    const char* bid;
    int spread;
    int maxStep;
};

// What a demo server shows on a quiet day: five-digit majors, three-digit yen pairs,
// metals with two and three digits, the dollar index, and a suffixed symbol longer than
// the reader's cell buffer.
const QuoteSeed kDefaultSet[] = {
    {"EURUSD", 5, "1.08512", 12, 4},      {"GBPUSD", 5, "1.27034", 18, 5},
    {"USDCHF", 5, "0.88217", 17, 4},      {"USDJPY", 3, "151.234", 14, 4},
    {"AUDUSD", 5, "0.65843", 14, 3},      {"NZDUSD", 5, "0.60127", 20, 3},
    {"USDCAD", 5, "1.36455", 20, 4},      {"EURJPY", 3, "163.872", 22, 5},
    {"GBPJPY", 3, "191.455", 35, 7},      {"EURGBP", 5, "0.85416", 15, 2},
    {"GOLD", 2, "2034.15", 50, 20},       {"XAUUSD", 2, "2034.18", 35, 20},
    {"XAGUSD", 3, "22.915", 30, 6},       {"USDX", 3, "103.452", 50, 5},
    {"EURUSDmicro", 5, "1.08515", 15, 4},
};

const QuoteSeed kCrosses[] = {
    {"EURCHF", 5, "0.95432", 20, 4},    {"EURAUD", 5, "1.64811", 30, 6},
    {"EURCAD", 5, "1.48072", 30, 5},    {"EURNZD", 5, "1.80412", 40, 7},
    {"GBPCHF", 5, "1.12051", 30, 6},    {"GBPAUD", 5, "1.92913", 40, 8},
    {"GBPCAD", 5, "1.73344", 40, 7},    {"GBPNZD", 5, "2.11278", 50, 9},
    {"AUDCAD", 5, "0.89811", 25, 4},    {"AUDCHF", 5, "0.58120", 25, 4},
    {"AUDJPY", 3, "99.583", 20, 4},     {"AUDNZD", 5, "1.09465", 30, 4},
    {"CADCHF", 5, "0.64648", 30, 4},    {"CADJPY", 3, "110.822", 25, 4},
    {"CHFJPY", 3, "171.437", 30, 5},    {"NZDCAD", 5, "0.82063", 30, 4},
    {"NZDCHF", 5, "0.53051", 30, 4},    {"NZDJPY", 3, "90.934", 25, 4},
    {"USDSGD", 5, "1.34312", 40, 4},    {"USDHKD", 5, "7.82315", 50, 3},
    {"USDSEK", 5, "10.41274", 300, 40}, {"USDNOK", 5, "10.57130", 300, 40},
    {"USDMXN", 5, "17.05112", 400, 60}, {"USDZAR", 5, "18.90410", 600, 80},
    {"EURPLN", 5, "4.32710", 250, 30},  {"XPTUSD", 2, "901.35", 300, 40},
    {"XPDUSD", 2, "1012.40", 500, 60},  {"BRENT", 2, "82.14", 5, 2},
    {"WTI", 2, "77.86", 5, 2},
};

// The walk leans back towards the anchor once the bid has strayed this many steps.
constexpr std::int64_t kStrayLimitSteps = 150;
// Chance, in percent, that a symbol moves in one step, and that a strayed one moves back.
constexpr std::int64_t kMovePercent = 40;
constexpr std::int64_t kReturnPercent = 70;
// Spreads flicker up to this fraction of the usual spread.
constexpr std::int64_t kSpreadJitterDivisor = 8;

void RefreshTexts(SimQuote& quote) {
    quote.bidText = FormatPoints(quote.bid, quote.digits);
    quote.askText = FormatPoints(quote.ask, quote.digits);
}

SimQuote MakeQuote(const QuoteSeed& seed, const std::string& symbol) {
    SimQuote quote;
    quote.symbol = symbol;
    quote.digits = seed.digits;
    ParsePoints(seed.bid, seed.digits, quote.bid);
    quote.spread = seed.spread;
    quote.ask = quote.bid + quote.spread;
    quote.anchor = quote.bid;
    quote.maxStep = seed.maxStep;
    RefreshTexts(quote);
    return quote;
}

bool IsDecimalNumber(const std::string& text) {
    int digits = 0;
    int points = 0;
    for (char c : text) {
        if (c >= '0' && c <= '9')
            ++digits;
        else if (c == '.')
            ++points;
        else
            return false;
    }
    return digits > 0 && points <= 1 && text.front() != '.' && text.back() != '.';
}

} // namespace

std::uint64_t SimRandom::Next() {
    state_ += 0x9E3779B97F4A7C15ull;
    std::uint64_t z = state_;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

std::int64_t SimRandom::Below(std::int64_t bound) {
    if (bound < 1)
        return 0;
    return static_cast<std::int64_t>(Next() % static_cast<std::uint64_t>(bound));
}

SimMarket::SimMarket(std::vector<SimQuote> quotes, std::uint64_t seed)
    : quotes_(std::move(quotes)), random_(seed) {}

int SimMarket::Find(const std::string& symbol) const {
    for (std::size_t i = 0; i < quotes_.size(); ++i) {
        if (quotes_[i].symbol == symbol)
            return static_cast<int>(i);
    }
    return -1;
}

void SimMarket::Step() {
    if (frozen_)
        return;
    for (SimQuote& quote : quotes_) {
        if (random_.Below(100) >= kMovePercent)
            continue;
        const std::int64_t size = 1 + random_.Below(quote.maxStep);
        const std::int64_t stray = quote.bid - quote.anchor;
        std::int64_t downPercent = 50;
        if (std::llabs(stray) > kStrayLimitSteps * quote.maxStep)
            downPercent = stray > 0 ? kReturnPercent : 100 - kReturnPercent;
        const bool down = random_.Below(100) < downPercent;
        quote.bid = std::max<std::int64_t>(1, quote.bid + (down ? -size : size));
        quote.ask =
            quote.bid + quote.spread + random_.Below(quote.spread / kSpreadJitterDivisor + 1);
        RefreshTexts(quote);
    }
}

bool SimMarket::SetPrice(const std::string& symbol, const std::string& bid,
                         const std::string& ask) {
    const int row = Find(symbol);
    if (row < 0)
        return false;
    SimQuote& quote = quotes_[static_cast<std::size_t>(row)];
    std::int64_t bidPoints = 0;
    std::int64_t askPoints = 0;
    if (!ParsePoints(bid, quote.digits, bidPoints) || !ParsePoints(ask, quote.digits, askPoints))
        return false;
    quote.bid = bidPoints;
    quote.ask = askPoints;
    quote.bidText = bid;
    quote.askText = ask;
    return true;
}

bool SimMarket::Add(const std::string& symbol, const std::string& bid, const std::string& ask,
                    int index) {
    const int count = static_cast<int>(quotes_.size());
    if (symbol.empty() || Find(symbol) >= 0 || count >= kSimMaxRows)
        return false;
    if (index == -1)
        index = count;
    if (index < 0 || index > count)
        return false;
    SimQuote quote;
    quote.symbol = symbol;
    quote.digits = std::min(DecimalsOf(bid), kSimMaxDigits);
    if (!ParsePoints(bid, quote.digits, quote.bid) || !ParsePoints(ask, quote.digits, quote.ask))
        return false;
    quote.spread = std::max<std::int64_t>(0, quote.ask - quote.bid);
    quote.anchor = quote.bid;
    quote.maxStep = std::max<std::int64_t>(1, quote.spread / 4);
    quote.bidText = bid;
    quote.askText = ask;
    quotes_.insert(quotes_.begin() + index, std::move(quote));
    return true;
}

bool SimMarket::Remove(const std::string& symbol) {
    const int row = Find(symbol);
    if (row < 0)
        return false;
    quotes_.erase(quotes_.begin() + row);
    return true;
}

bool SimMarket::Move(const std::string& symbol, int index) {
    const int row = Find(symbol);
    if (row < 0 || index < 0 || index >= static_cast<int>(quotes_.size()))
        return false;
    SimQuote quote = std::move(quotes_[static_cast<std::size_t>(row)]);
    quotes_.erase(quotes_.begin() + row);
    quotes_.insert(quotes_.begin() + index, std::move(quote));
    return true;
}

std::vector<SimQuote> DefaultQuotes(int rows) {
    std::vector<SimQuote> quotes;
    for (const QuoteSeed& seed : kDefaultSet)
        quotes.push_back(MakeQuote(seed, seed.symbol));
    if (rows < 0)
        return quotes;
    rows = std::min(rows, kSimMaxRows);
    for (const QuoteSeed& seed : kCrosses) {
        if (static_cast<int>(quotes.size()) >= rows)
            break;
        quotes.push_back(MakeQuote(seed, seed.symbol));
    }
    // Brokers list the same pair under several suffixes; that fills any count.
    constexpr int kMajors = 7;
    for (int copy = 2; static_cast<int>(quotes.size()) < rows; ++copy) {
        for (int i = 0; i < kMajors && static_cast<int>(quotes.size()) < rows; ++i) {
            const QuoteSeed& seed = kDefaultSet[i];
            quotes.push_back(
                MakeQuote(seed, std::string(seed.symbol) + "." + std::to_string(copy)));
        }
    }
    quotes.resize(static_cast<std::size_t>(rows));
    return quotes;
}

std::vector<std::int64_t> PastBids(const SimQuote& quote, std::uint64_t seed, int count) {
    // A walk of its own, so the live walk of the same seed stays as it was.
    constexpr std::uint64_t kPastSalt = 0x5EED0F9A57ull;
    constexpr int kStepsPerBid = 20; // enough for a walk that often stands still
    SimMarket past({quote}, seed ^ kPastSalt);
    std::vector<std::int64_t> bids;
    for (int i = 0; i < count * kStepsPerBid && static_cast<int>(bids.size()) < count; ++i) {
        past.Step();
        const std::int64_t bid = past.Quotes().front().bid;
        if (bids.empty() || bids.back() != bid)
            bids.push_back(bid);
    }
    if (bids.empty())
        return bids;
    const std::int64_t shift = quote.bid - bids.back();
    for (std::int64_t& bid : bids)
        bid = std::max<std::int64_t>(1, bid + shift);
    return bids;
}

int DecimalsOf(const std::string& text) {
    const std::size_t point = text.find('.');
    return point == std::string::npos ? 0 : static_cast<int>(text.size() - point - 1);
}

bool ParsePoints(const std::string& text, int digits, std::int64_t& points) {
    if (!IsDecimalNumber(text) || digits < 0 || digits > kSimMaxDigits)
        return false;
    constexpr std::int64_t kLimit = 100'000'000'000'000'000; // far above any price in points
    std::int64_t value = 0;
    int decimals = -1; // -1 until the point is passed
    for (char c : text) {
        if (c == '.') {
            decimals = 0;
            continue;
        }
        if (decimals >= digits)
            break; // decimals beyond the symbol's digits are cut
        if (value > kLimit / 10)
            return false;
        value = value * 10 + (c - '0');
        if (decimals >= 0)
            ++decimals;
    }
    for (int i = std::max(decimals, 0); i < digits; ++i) {
        if (value > kLimit / 10)
            return false;
        value *= 10;
    }
    points = value;
    return true;
}

std::string FormatPoints(std::int64_t points, int digits) {
    std::string text = std::to_string(points < 0 ? -points : points);
    if (digits > 0) {
        if (static_cast<int>(text.size()) <= digits)
            text.insert(0, static_cast<std::size_t>(digits + 1) - text.size(), '0');
        text.insert(text.size() - static_cast<std::size_t>(digits), 1, '.');
    }
    return points < 0 ? "-" + text : text;
}
