#include "alerts/AlertNumbers.h"
#include <cstdlib>
#include <limits>

namespace {
constexpr long long kIntegerCeiling = std::numeric_limits<long long>::max() / 10 - 10;

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Digits from the start; stops growing instead of overflowing.
long long LeadingDigits(const std::string& text, std::size_t at) {
    long long value = 0;
    for (; at < text.size() && IsDigit(text[at]); ++at)
        if (value < kIntegerCeiling)
            value = value * 10 + (text[at] - '0');
    return value;
}
} // namespace

long long TextToInteger(const std::string& text) {
    std::size_t at = 0;
    while (at < text.size() && IsBlank(text[at]))
        ++at;
    bool negative = false;
    if (at < text.size() && (text[at] == '-' || text[at] == '+'))
        negative = text[at++] == '-';
    const long long value = LeadingDigits(text, at);
    return negative ? -value : value;
}

double TextToPrice(const std::string& text) {
    // strtod stops at the first character that is no part of a number, as atof does.
    return std::strtod(text.c_str(), nullptr);
}

bool HoldsPrice(const std::string& text) {
    for (char c : text)
        if (c >= '1' && c <= '9')
            return true;
    return false;
}

long long PipDistance(const std::string& reference, const std::string& current) {
    std::string a = reference.find('.') == std::string::npos ? reference + "." : reference;
    std::string b = current.find('.') == std::string::npos ? current + "." : current;
    const std::size_t decimalsA = a.size() - a.find('.') - 1;
    const std::size_t decimalsB = b.size() - b.find('.') - 1;
    if (decimalsA < decimalsB)
        a.append(decimalsB - decimalsA, '0');
    else
        b.append(decimalsA - decimalsB, '0');
    a.erase(a.find('.'), 1);
    b.erase(b.find('.'), 1);
    const long long difference = TextToInteger(a) - TextToInteger(b);
    return difference < 0 ? -difference : difference;
}
