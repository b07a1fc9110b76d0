#include "alerts/KindTexts.h"
#include "alerts/AlertHold.h"
#include "platform/Text.h"
#include "quotes/PriceLookup.h"
#include "settings/AppConfig.h"
#include "settings/KindTextIds.h"
#include "settings/LangTable.h"

namespace {
constexpr std::size_t kMinuteTextLength = 16; // "%Y-%m-%d %H:%M"
constexpr const char* kNoteSeparator = "; ";

int WayText(const std::string& way) {
    if (way == "1")
        return kTextWayDown;
    return way == "2" ? kTextWayEither : kTextWayUp;
}
} // namespace

std::string WithValues(const std::string& pattern, const std::vector<std::string>& values) {
    std::string text;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const char next = i + 1 < pattern.size() ? pattern[i + 1] : '\0';
        const std::size_t n = static_cast<std::size_t>(next - '1');
        if (pattern[i] == '%' && next >= '1' && next <= '9' && n < values.size()) {
            text += values[n];
            ++i;
        } else {
            text += pattern[i];
        }
    }
    return text;
}

std::string ShortTimeText(const std::string& stored) {
    return stored.size() > kMinuteTextLength ? stored.substr(0, kMinuteTextLength) : stored;
}

std::string KindConditionText(long long condition, const AlertExtras& extras) {
    switch (condition) {
    case kMoveCondition:
        return WithValues(GetText(kTextMoveText),
                          {extras.movepips, extras.movemins, GetText(WayText(extras.moveway))});
    case kChannelCondition:
        return WithValues(GetText(kTextChannelText),
                          {extras.chanlow, extras.chanhigh,
                           GetText(extras.chanway == "1" ? kTextLeaves : kTextEnters)});
    case kSpreadCondition:
        return WithValues(GetText(kTextSpreadText), {extras.spreadpips});
    default:
        return "";
    }
}

std::string SnoozedDetails(const std::string& until) {
    return WithValues(GetText(kTextSnoozedDetails), {ShortTimeText(until)});
}

std::string HeldBackDetails(const std::string& actionNames) {
    return WithValues(GetText(kTextHeldBackDetails), {actionNames});
}

std::string KindInformation(long long condition, const AlertExtras& extras) {
    std::vector<std::string> notes;
    if (!extras.until.empty())
        notes.push_back(WithValues(GetText(kTextUntilNote), {ShortTimeText(extras.until)}));
    if (StillSnoozed(extras.snoozed, CurrentDateTime()))
        notes.push_back(WithValues(GetText(kTextSnoozedNote), {ShortTimeText(extras.snoozed)}));
    if (condition == kSpreadCondition && AppConfig().dataSource != kTerminalDataSource)
        notes.push_back(GetText(kTextNoAskPrice));
    std::string text;
    for (const std::string& note : notes)
        text += (text.empty() ? "" : kNoteSeparator) + note;
    return text;
}
