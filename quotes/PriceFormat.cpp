#include "quotes/PriceFormat.h"

namespace {
constexpr int kDefaultDecimals = 4;
constexpr int kTwoDecimals = 2;
constexpr int kGoldDecimals = 1;
const char* const kChineseGold = "黄金";

bool Contains(const std::string& text, const char* part) {
    return text.find(part) != std::string::npos;
}

// Characters after the first point; a leading point counts as none.
std::size_t DecimalsIn(const std::string& text) {
    const std::size_t point = text.find('.');
    if (point == std::string::npos || point == 0)
        return 0;
    return text.size() - point - 1;
}
} // namespace

int DecimalsFor(const std::string& symbol) {
    int decimals = kDefaultDecimals;
    if (Contains(symbol, "JPY") || Contains(symbol, "XAG") || Contains(symbol, "USDX"))
        decimals = kTwoDecimals;
    if (Contains(symbol, "GOLD") || Contains(symbol, "XAU") || Contains(symbol, kChineseGold))
        decimals = kGoldDecimals;
    return decimals;
}

std::string FormatPrice(const std::string& symbol, std::string text) {
    const auto wanted = static_cast<std::size_t>(DecimalsFor(symbol));
    std::size_t decimals = DecimalsIn(text);
    if (decimals % 2 == 1) {
        text.pop_back();
        --decimals;
    }
    const bool isError = text == kPriceError;
    if (text.find('.') == std::string::npos && !isError)
        text += ".0";
    // Three zeros whatever is missing; the cut below trims the surplus.
    if (!isError && text != kNoPriceYet && decimals < wanted)
        text += "000";
    const std::size_t point = text.find('.');
    if (point != std::string::npos && text.size() - point - 1 > wanted)
        text.resize(point + 1 + wanted);
    return text;
}
