#include "feed/FeedGuardKeys.h"
#include "feed/FeedGuard.h"
#include "platform/Text.h"
#include <algorithm>
#include <optional>

namespace {
// The leading number of a value ("10", " 10 min"); nothing when it starts with none.
std::optional<long long> LeadingNumberOf(const std::string& value) {
    const std::string text = TrimBlanks(value);
    const std::size_t digits = text.find_first_of("0123456789");
    if (text.empty() || digits == std::string::npos || digits > 1)
        return std::nullopt;
    return LeadingInteger<long long>(text);
}
} // namespace

FeedGuardSettings ReadFeedGuardSettings(CConfig& config) {
    FeedGuardSettings settings;
    settings.minutes = kDefaultFeedGuardMinutes;
    settings.enabled = TrimBlanks(config.Get(feedkey::kEnabled)) != "0";
    if (const auto minutes = LeadingNumberOf(config.Get(feedkey::kMinutes)))
        settings.minutes = static_cast<int>(
            std::clamp<long long>(*minutes, kFeedGuardMinMinutes, kFeedGuardMaxMinutes));
    if (const auto actions = LeadingNumberOf(config.Get(feedkey::kActions));
        actions && *actions >= 0)
        settings.actions = static_cast<int>(*actions & kFeedGuardActionMask);
    return settings;
}
