#include "platform/Text.h"
#include "quotes/MTHandler.h"
#include "quotes/ReaderText.h"
#include "settings/DateTime.h"

namespace {
constexpr std::size_t kTextChars = 255;
const char* const kListViewClass = "SysListView32";
const char* const kClockFilter = "mtmarkettime";
const char* const kClockDatePrefix = "2010-1-1 ";
constexpr std::size_t kMinClockLength = 8;

struct Strategy {
    const char* firstClass;
    const char* firstTitle;
    const char* secondClass;
    const char* secondTitle;
    MarketWatchSearch whenFirstMissing;
};

// The Market Watch window as the terminal's versions and languages lay it out.
const Strategy kStrategies[CMTHandler::kStrategyCount] = {
    {"", "Market Watch:", "", "Market Watch:", MarketWatchSearch::NotFound},
    {"", "市场报价:", "", "市场报价:", MarketWatchSearch::NotFound},
    {"AfxControlBar42", ":", "Afx:400000:b:10003:0:0", ":", MarketWatchSearch::NoListView},
    {"AfxControlBar90su", "Navigator", "Afx:00400000:b:00010003:00000000:00000000", ":",
     MarketWatchSearch::NoListView},
    {"", kClockFilter, "", kClockFilter, MarketWatchSearch::NotFound},
};

// The terminal's clock child shows a time such as "10:15:02".
bool IsClockText(const std::string& text) {
    return text.size() >= kMinClockLength && text[2] == ':' && text[5] == ':' &&
           IsValidDateTime(kClockDatePrefix + text);
}
} // namespace

// Filters arrive lower-cased. With both filters given only the title decides.
bool CMTHandler::ChildMatches(WindowHandle child, const std::string& classFilter,
                              const std::string& titleFilter) {
    if (titleFilter.empty()) {
        return !classFilter.empty() && Contains(ToLowerAscii(Desk().ClassName(child)), classFilter);
    }
    const std::string text = ToLowerAscii(FirstCharacters(Desk().WindowText(child), kTextChars));
    if (titleFilter == kClockFilter)
        return IsClockText(text);
    return Contains(text, titleFilter);
}

WindowHandle CMTHandler::FindChild(WindowHandle parent, const std::string& classFilter,
                                   const std::string& titleFilter) {
    const std::string classLower = ToLowerAscii(classFilter);
    const std::string titleLower = ToLowerAscii(titleFilter);
    for (WindowHandle child = Desk().ChildAfter(parent, 0); child;
         child = Desk().ChildAfter(parent, child)) {
        if (ChildMatches(child, classLower, titleLower))
            return child;
        if (const WindowHandle found = FindChild(child, classLower, titleLower))
            return found;
    }
    return 0;
}

MarketWatchOutcome CMTHandler::SearchStrategy(int strategy, WindowHandle terminal) {
    if (strategy < 1 || strategy > kStrategyCount)
        return {};
    const Strategy& s = kStrategies[strategy - 1];
    const WindowHandle first = FindChild(terminal, s.firstClass, s.firstTitle);
    if (!first)
        return {s.whenFirstMissing, 0};
    const WindowHandle second = FindChild(first, s.secondClass, s.secondTitle);
    const WindowHandle list = FindChild(second ? second : first, kListViewClass, "");
    if (!list)
        return {MarketWatchSearch::NoListView, 0};
    return {MarketWatchSearch::Found, list};
}

MarketWatchOutcome CMTHandler::FindMarketWatch() {
    MarketWatchOutcome outcome;
    for (int strategy = 1; strategy <= kStrategyCount; ++strategy) {
        outcome = SearchStrategy(strategy, terminalWindow);
        if (outcome.result == MarketWatchSearch::Found)
            break;
    }
    return outcome;
}
