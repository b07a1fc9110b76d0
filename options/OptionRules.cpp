#include "options/OptionRules.h"
#include "platform/Text.h"

namespace {
constexpr const char* kDefaultSeconds = "5";
constexpr const char* kNeverCloses = "-1";
constexpr int kLongestSeconds = 24 * 60 * 60;
} // namespace

bool IsValidEmailAddress(const std::string& address) {
    for (const char c : address)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F || c == ' ')
            return false;
    const std::size_t at = address.find('@');
    if (at == std::string::npos || at < 2)
        return false;
    const std::size_t n = address.size();
    if (at + 2 > n)
        return false;
    const std::size_t dot = address.find('.', at + 2);
    return dot != std::string::npos && dot != n - 1;
}

std::uint16_t HotKeyControlWord(const HotKeyChoice& choice) {
    return static_cast<std::uint16_t>(((choice.modifiers & 0xFF) << 8) | (choice.key & 0xFF));
}

HotKeyChoice HotKeyFromControlWord(std::uint16_t word) {
    HotKeyChoice choice;
    choice.key = word & 0xFF;
    choice.modifiers = (word >> 8) & 0xFF;
    return choice;
}

StartChecks AfterWithWindowsClick(StartChecks checks) {
    if (checks.withWindows)
        checks.runTerminal = true;
    return checks;
}

StartChecks AfterRunTerminalClick(StartChecks checks) {
    if (!checks.runTerminal)
        checks.withWindows = false;
    return checks;
}

std::string LogOnEntryText(const std::string& callerPath) {
    return "\"" + callerPath + "\" /auto";
}

PopupClosing ReadPopupClosing(const std::string& stored) {
    PopupClosing closing;
    if (stored == kNeverCloses) {
        closing.closes = false;
        return closing;
    }
    closing.seconds = PopupClosingSetting(true, stored);
    return closing;
}

std::string PopupClosingSetting(bool closes, const std::string& shownSeconds) {
    if (!closes)
        return kNeverCloses;
    const auto seconds = ParseInteger<long long>(TrimBlanks(shownSeconds));
    if (!seconds || *seconds < 1 || *seconds > kLongestSeconds)
        return kDefaultSeconds;
    return std::to_string(*seconds);
}

std::vector<int> PagesToApplyOnOk(const std::array<bool, kOptionsPageCount>& changed,
                                  int selected) {
    std::vector<int> pages;
    // The e-mail page may refuse its input: checked before another page restarts the program.
    if (changed[kEmailPage] || selected == kEmailPage)
        pages.push_back(kEmailPage);
    for (int page = 0; page < kOptionsPageCount; ++page)
        if (changed[page] && page != selected && page != kEmailPage)
            pages.push_back(page);
    if (selected != kEmailPage)
        pages.push_back(selected);
    return pages;
}

int ChosenTerminalIndex(const std::vector<std::string>& titles, const std::string& source) {
    int chosen = titles.empty() ? -1 : 0;
    if (source.empty())
        return chosen;
    for (std::size_t each = 0; each < titles.size(); ++each)
        if (titles[each].find(source) != std::string::npos)
            chosen = static_cast<int>(each);
    return chosen;
}

bool TerminalPickNeedsRestart(bool startAllowed, int remembered, int picked) {
    return !startAllowed && picked != remembered;
}

bool SourceApplyAsksRestart(int dataSource, int choice, bool startAllowed) {
    constexpr int kLastTerminalSource = 9;
    return dataSource <= kLastTerminalSource && dataSource != choice && !startAllowed;
}
