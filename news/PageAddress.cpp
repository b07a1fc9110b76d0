#include "news/PageAddress.h"
#include "platform/Text.h"
#include <optional>
#include <string_view>

namespace {
constexpr const char* kHttpScheme = "http://";
constexpr const char* kLocalHost = "localhost";
constexpr int kHttpPort = 80, kHttpsPort = 443;

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

struct HostPort {
    std::string host; // lower case
    int port = 0;     // 0: none given
};

// "host" or "host:port"; a port given must be a number of 1 to 5 digits.
std::optional<HostPort> WithPort(const std::string& authority, int defaultPort) {
    const std::size_t colon = authority.rfind(':');
    if (colon == std::string::npos)
        return HostPort{authority, defaultPort};
    const std::string digits = authority.substr(colon + 1);
    if (digits.empty() || digits.size() > 5 ||
        digits.find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    return HostPort{authority.substr(0, colon), std::stoi(digits)};
}

// The host and port of an "http://" or "https://" address, the port that of its scheme when
// none is given. Nothing for any other scheme, for credentials before the host (the host a
// reader sees is not the one contacted) and for a port that is not a number.
std::optional<HostPort> ParsedHost(const std::string& address) {
    const std::string lower = ToLowerAscii(address);
    int port = 0;
    std::size_t start = 0;
    if (lower.rfind("http://", 0) == 0) {
        port = kHttpPort;
        start = 7;
    } else if (lower.rfind("https://", 0) == 0) {
        port = kHttpsPort;
        start = 8;
    } else {
        return std::nullopt;
    }
    const std::string authority = lower.substr(start, lower.find_first_of("/?#", start) - start);
    if (authority.find_first_of("@\\") != std::string::npos)
        return std::nullopt;
    return WithPort(authority, port);
}

// The service as configured: "host:port", or an address with its scheme and a path.
std::optional<HostPort> ServiceHostPort(const std::string& serviceHost) {
    if (serviceHost.find("://") != std::string::npos)
        return ParsedHost(serviceHost);
    const std::string lower = ToLowerAscii(serviceHost);
    return WithPort(lower.substr(0, lower.find('/')), 0);
}

// The service's own pages: its host exactly, on its port (a service without a port: on the
// address's default port), and pages of this computer.
bool IsServiceAddress(const std::string& address, const std::string& serviceHost) {
    const auto page = ParsedHost(address);
    if (!page || page->host.empty())
        return false;
    if (page->host == kLocalHost)
        return true;
    const auto service = ServiceHostPort(serviceHost);
    if (!service || service->host != page->host)
        return false;
    if (service->port != 0)
        return service->port == page->port;
    return page->port == (ToLowerAscii(address).rfind("https", 0) == 0 ? kHttpsPort : kHttpPort);
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
    if (!IsServiceAddress(address, serviceHost))
        return address;
    const std::string lower = ToLowerAscii(address);
    // An address without a query would otherwise get "&v=..." glued to its path.
    const char* start = lower.find('?') == std::string::npos ? "?" : "&";
    return lower + start + "v=" + PercentEncode(decoration.version) +
           "&mn=" + PercentEncode(decoration.computerName) +
           "&w=" + std::to_string(decoration.screenWidth) +
           "&h=" + std::to_string(decoration.screenHeight) +
           "&dt=" + PercentEncode(decoration.localDateTime);
}
