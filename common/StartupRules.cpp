#include "common/StartupRules.h"
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

bool HasTerminalStartingSwitch(const std::string& commandLine) {
    // The path may be quoted and hold blanks; the switch comes after it.
    std::size_t from = 0;
    const std::string line = TrimBlanks(commandLine);
    if (!line.empty() && line[0] == '"') {
        from = line.find('"', 1);
        if (from == std::string::npos)
            return false;
    }
    const std::string word = kTerminalStartingSwitch;
    for (std::size_t at = line.find(word, from); at != std::string::npos;
         at = line.find(word, at + 1)) {
        const std::size_t end = at + word.size();
        if (at > 0 && IsBlank(line[at - 1]) && (end == line.size() || IsBlank(line[end])))
            return true;
    }
    return false;
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
