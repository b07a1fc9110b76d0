#include "QuoteBoard.h"
#include <cstdlib>

namespace {
// What follows the symbol's link text up to its price cell, exactly as the reader expects.
const char* const kCellLead = "</a></td><td width=\"2\" bgcolor=\"#6FC8DB\"></td><td align=left>"
                              "<span style='padding-left:14px'>";
constexpr int kMaxCatchUpSteps = 600;

struct Seed {
    const char* symbol;
    int digits;
    std::int64_t points;
    std::int64_t maxStep;
    int page;
};

// The simulated terminal's majors, yen pairs, metals and dollar index; EURUSD stands on both
// pages, as real pages repeat their headline pair.
const Seed kSeeds[] = {
    {"EURUSD", 5, 108512, 4, 3}, {"GBPUSD", 5, 127034, 5, 1}, {"USDCHF", 5, 88217, 4, 1},
    {"USDJPY", 3, 151234, 4, 1}, {"AUDUSD", 5, 65843, 3, 1},  {"NZDUSD", 5, 60127, 3, 1},
    {"USDCAD", 5, 136455, 4, 1}, {"GOLD", 2, 203415, 20, 1},  {"EURJPY", 3, 163872, 5, 2},
    {"GBPJPY", 3, 191455, 7, 2}, {"EURGBP", 5, 85416, 2, 2},  {"XAUUSD", 2, 203418, 20, 2},
    {"XAGUSD", 3, 22915, 6, 2},  {"USDX", 3, 103452, 5, 2},
};
} // namespace

std::string FormatPointsText(std::int64_t points, int digits) {
    std::string text = std::to_string(points < 0 ? -points : points);
    if (digits > 0) {
        if (text.size() <= static_cast<std::size_t>(digits))
            text.insert(0, digits + 1 - text.size(), '0');
        text.insert(text.size() - digits, ".");
    }
    return points < 0 ? "-" + text : text;
}

QuoteBoard::QuoteBoard(std::uint64_t seed)
    : state(seed), lastStep(std::chrono::steady_clock::now()) {
    for (const Seed& s : kSeeds)
        quotes.push_back({s.symbol, s.digits, s.points, s.points, s.maxStep, s.page});
}

std::uint64_t QuoteBoard::Next() {
    // splitmix64: the same seed walks the same way everywhere.
    std::uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

void QuoteBoard::CatchUp() {
    const auto now = std::chrono::steady_clock::now();
    int steps = 0;
    while (now - lastStep >= std::chrono::seconds(1) && steps < kMaxCatchUpSteps) {
        lastStep += std::chrono::seconds(1);
        ++steps;
        for (BoardQuote& quote : quotes) {
            const std::int64_t span = 2 * quote.maxStep + 1;
            std::int64_t step = static_cast<std::int64_t>(Next() % span) - quote.maxStep;
            // Pulled back towards the anchor so a long run stays realistic.
            if (std::llabs(quote.points - quote.anchor) > 50 * quote.maxStep)
                step = quote.points > quote.anchor ? -quote.maxStep : quote.maxStep;
            quote.points += step;
        }
    }
    if (steps == kMaxCatchUpSteps)
        lastStep = now;
}

std::string QuoteBoard::Page(int page, bool longCell) {
    std::lock_guard<std::mutex> lock(mutex);
    CatchUp();
    std::string html = "<html><head><title>Forex quotes</title></head><body>\n<table>\n";
    for (const BoardQuote& quote : quotes) {
        if ((quote.page & page) == 0)
            continue;
        std::string price = FormatPointsText(quote.points, quote.digits);
        if (longCell && quote.symbol == "EURUSD")
            price += "123456"; // more than ten characters
        html += "<tr><td><a href=\"embedquote.aspx?code=" + quote.symbol + "\" target=_blank>" +
                quote.symbol + kCellLead + price + "</span></td></tr>\n";
    }
    return html + "</table>\n</body></html>\n";
}

std::string QuoteBoard::PriceText(const std::string& symbol) {
    std::lock_guard<std::mutex> lock(mutex);
    CatchUp();
    for (const BoardQuote& quote : quotes) {
        if (quote.symbol == symbol)
            return FormatPointsText(quote.points, quote.digits);
    }
    return "";
}
