#include "app/StartupRules.h"
#include "app/QuoteColumns.h"
#include "settings/DateTime.h"

namespace {
const char* const kCallerSwitch = " /caller ";

std::string TrimSpaces(const std::string& text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos)
        return "";
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// Removes "name," as a whole entry.
void RemoveEntry(std::string& list, const std::string& name) {
    const std::string padded = "," + list;
    const std::size_t at = padded.find("," + name + ",");
    if (at == std::string::npos)
        return;
    list.erase(at, name.size() + 1);
}
} // namespace

std::string CallerPathFromCommandLine(const std::string& commandLine) {
    const std::string line = TrimSpaces(commandLine);
    const std::size_t at = line.find(kCallerSwitch);
    if (at == std::string::npos || at < 1)
        return "";
    return line.substr(at + std::char_traits<char>::length(kCallerSwitch));
}

std::optional<std::string> TrimClosedPopups(const std::string& openWindows,
                                            const std::string& lastClosed,
                                            const std::string& lastClosedTime,
                                            const std::string& now) {
    if (lastClosed.empty() || lastClosedTime.empty())
        return std::nullopt;
    const long long age = DateDiffText('s', lastClosedTime, now);
    if (age == kDateDiffUnmeasurable || age <= kClosedPopupGraceSeconds)
        return std::nullopt;
    std::string trimmed = openWindows;
    if (!trimmed.empty() && trimmed.back() != ',')
        trimmed += ','; // so the last name is a whole entry too
    for (const auto& name : SplitList(lastClosed))
        RemoveEntry(trimmed, name);
    return trimmed;
}
