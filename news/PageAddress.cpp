#include "news/PageAddress.h"
#include "platform/Text.h"
#include <string_view>

namespace {
constexpr const char* kHttpScheme = "http://";
constexpr const char* kLocalHost = "://localhost";

bool IsAsciiLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool IsAsciiDigit(char c) {
    return c >= '0' && c <= '9';
}
bool IsSchemeCharacter(char c) {
    return IsAsciiLetter(c) || IsAsciiDigit(c) || c == '+' || c == '-' || c == '.';
}

// Browsers drop control characters and blanks at both ends and tabs and line breaks
// anywhere, so "java\tscript:" must be judged as "javascript:".
std::string AsBrowserReadsIt(const std::string& address) {
    std::size_t first = 0;
    std::size_t last = address.size();
    while (first < last && static_cast<unsigned char>(address[first]) <= ' ')
        ++first;
    while (last > first && static_cast<unsigned char>(address[last - 1]) <= ' ')
        --last;
    std::string cleaned;
    for (std::size_t i = first; i < last; ++i) {
        if (address[i] != '\t' && address[i] != '\r' && address[i] != '\n')
            cleaned += address[i];
    }
    return cleaned;
}

// The scheme in front of the address, lower-cased; empty when it has none. "host:8080"
// is a host and port, not scheme "host".
std::string SchemeOf(const std::string& address) {
    const std::size_t colon = address.find_first_of(":/?#");
    if (colon == std::string::npos || colon == 0 || address[colon] != ':' ||
        !IsAsciiLetter(address[0]))
        return "";
    for (std::size_t i = 0; i < colon; ++i) {
        if (!IsSchemeCharacter(address[i]))
            return "";
    }
    std::size_t portEnd = colon + 1;
    while (portEnd < address.size() && IsAsciiDigit(address[portEnd]))
        ++portEnd;
    const bool port = portEnd > colon + 1 &&
                      (portEnd == address.size() ||
                       std::string_view("/?#").find(address[portEnd]) != std::string_view::npos);
    return port ? "" : ToLowerAscii(address.substr(0, colon));
}

// "host:port" of a service address that may come with its scheme and a path.
std::string HostOf(const std::string& serviceHost) {
    std::string host = ToLowerAscii(serviceHost);
    const std::size_t scheme = host.find("://");
    if (scheme != std::string::npos)
        host.erase(0, scheme + 3);
    return host.substr(0, host.find('/'));
}
} // namespace

bool IsWebPageAddress(const std::string& address) {
    const std::string cleaned = AsBrowserReadsIt(address);
    if (cleaned.empty())
        return false;
    const std::string scheme = SchemeOf(cleaned);
    return scheme.empty() || scheme == "http" || scheme == "https";
}

std::string FetchAddress(const std::string& address) {
    // Judged like IsWebPageAddress, so "HTTP://x" is not given a second scheme.
    const std::string cleaned = AsBrowserReadsIt(address);
    return SchemeOf(cleaned).empty() ? kHttpScheme + cleaned : cleaned;
}

std::string DecoratedAddress(const std::string& address, const std::string& serviceHost,
                             const PageDecoration& decoration) {
    const std::string lower = ToLowerAscii(address);
    const std::string host = HostOf(serviceHost);
    const bool ours = (!host.empty() && lower.find(host) != std::string::npos) ||
                      lower.find(kLocalHost) != std::string::npos;
    if (!ours)
        return address;
    // An address without a query would otherwise get "&v=..." glued to its path.
    const char* start = lower.find('?') == std::string::npos ? "?" : "&";
    return lower + start + "v=" + PercentEncode(decoration.version) +
           "&mn=" + PercentEncode(decoration.computerName) +
           "&w=" + std::to_string(decoration.screenWidth) +
           "&h=" + std::to_string(decoration.screenHeight) +
           "&dt=" + PercentEncode(decoration.localDateTime);
}
