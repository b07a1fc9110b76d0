#pragma once
// Every notification request the service received, with its decoded query fields: kept
// for the "/requests" page and appended to a file, one line per request.
#include <map>
#include <mutex>
#include <string>

class ServiceRecord {
public:
    explicit ServiceRecord(std::string file) : file(std::move(file)) {}
    // Returns the request's number, from 1.
    std::size_t Add(const std::string& path, const std::multimap<std::string, std::string>& fields);
    std::string Text();

private:
    std::mutex mutex;
    std::string file;
    std::string lines;
    std::size_t count = 0;
};

// Tabs, line breaks and backslashes written as \t, \n and \\ so that a line stays a line.
std::string EscapeField(const std::string& text);
