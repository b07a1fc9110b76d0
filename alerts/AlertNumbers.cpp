#include "alerts/AlertNumbers.h"
#include <algorithm>
#include <limits>

namespace {
constexpr long long kLargest = std::numeric_limits<long long>::max();

// Times ten per step, held at the largest magnitude instead of overflowing.
long long ScaledUp(long long units, int steps) {
    for (int i = 0; i < steps && units != 0; ++i) {
        if (units > kLargest / 10 || units < -(kLargest / 10))
            return units < 0 ? -kLargest : kLargest;
        units *= 10;
    }
    return units;
}
} // namespace

bool HoldsPrice(const std::string& text) {
    for (char c : text)
        if (c >= '1' && c <= '9')
            return true;
    return false;
}

PriceReading ReadPrice(const std::string& text) {
    PriceReading price;
    price.text = text;
    price.value = LeadingNumber(text);
    // The digits with the first point taken out, and how many stood after that point.
    std::string digits = text;
    const std::size_t point = digits.find('.');
    if (point != std::string::npos) {
        digits.erase(point, 1);
        std::size_t end = point;
        while (end < digits.size() && digits[end] >= '0' && digits[end] <= '9')
            ++end;
        const std::size_t decimals = end - point;
        price.decimals = static_cast<int>(std::min<std::size_t>(decimals, 1000));
    }
    price.units = LeadingInteger(digits);
    return price;
}

long long PipDistance(const PriceReading& reference, const PriceReading& current) {
    const int decimals = std::max(reference.decimals, current.decimals);
    const long long a = ScaledUp(reference.units, decimals - reference.decimals);
    const long long b = ScaledUp(current.units, decimals - current.decimals);
    // Unsigned, so prices of opposite signs at the far ends cannot overflow.
    const unsigned long long distance =
        a > b ? static_cast<unsigned long long>(a) - static_cast<unsigned long long>(b)
              : static_cast<unsigned long long>(b) - static_cast<unsigned long long>(a);
    return distance > static_cast<unsigned long long>(kLargest) ? kLargest
                                                                : static_cast<long long>(distance);
}
