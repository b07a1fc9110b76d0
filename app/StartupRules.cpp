#include "app/StartupRules.h"
#include "platform/Text.h"
#include "settings/DateTime.h"

namespace {
const char* const kCallerSwitch = " /caller ";

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
    const std::string line = TrimBlanks(commandLine);
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
