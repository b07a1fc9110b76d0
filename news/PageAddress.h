#pragma once
// Addresses of watched pages: which may be loaded, and the query the program's own service
// is given.
#include <string>

// What the service's pages are told about the program and the screen.
struct PageDecoration {
    std::string version;
    std::string computerName;
    int screenWidth = 0;
    int screenHeight = 0;
    std::string localDateTime; // "%Y-%m-%d %H:%M:%S"
};

// Only web pages are loaded: "http:" and "https:" addresses, and addresses without a
// scheme (taken as http). "javascript:", "file:" and any other scheme are refused.
bool IsWebPageAddress(const std::string& address);
// The address fetched: with "http://" in front when it has no scheme. Both read it as a
// browser does: control characters and blanks at the ends, tabs and line breaks inside
// are dropped.
std::string FetchAddress(const std::string& address);
// An address on the service's own host (`serviceHost`: "host", "host:port" or an address
// with its scheme; the parsed host compared exactly, and the port) or on "localhost" is
// loaded in lower case with "&v=", "&mn=", "&w=", "&h=", "&dt=" appended (values
// percent-encoded; the first joined with "?" when the address has no query); any other
// address is returned unchanged.
std::string DecoratedAddress(const std::string& address, const std::string& serviceHost,
                             const PageDecoration& decoration);
