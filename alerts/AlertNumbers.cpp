#include "alerts/AlertNumbers.h"

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
    const long long difference = LeadingInteger(a) - LeadingInteger(b);
    return difference < 0 ? -difference : difference;
}
