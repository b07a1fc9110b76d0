#include "alerts/AlertHold.h"
#include "platform/Text.h"
#include "settings/Config.h"
#include <cstdio>

namespace {
// Every action bit an alert knows; quiet hours can hold back any of them.
constexpr int kAllActions = 1 | 2 | 4 | 8 | 16;
constexpr int kMinutesPerHour = 60;
constexpr int kQuarterHourSeconds = 15 * 60;
constexpr int kHourSeconds = 60 * 60;
constexpr double kSecondsPerDay = 86400.0;

std::optional<double> StoredTime(const std::string& text) {
    if (text.empty())
        return std::nullopt;
    const DateTimeValue value = ParseDateTime(text);
    if (!value.IsValid())
        return std::nullopt;
    return value.date;
}

std::string Later(const LocalTime& now, int seconds) {
    const DateTimeValue start = DateTimeFromLocalTime(now);
    return FormatDateTime({start.date + seconds / kSecondsPerDay, DateTimeStatus::Valid});
}
} // namespace

bool PastUntil(const std::string& until, const DateTimeValue& now) {
    const auto end = StoredTime(until);
    return end && now.IsValid() && now.date >= *end;
}

bool StillSnoozed(const std::string& snoozedUntil, const DateTimeValue& now) {
    const auto end = StoredTime(snoozedUntil);
    return end && now.IsValid() && now.date < *end;
}

std::string SnoozeEnd(SnoozeChoice choice, const LocalTime& now) {
    switch (choice) {
    case SnoozeChoice::QuarterHour:
        return Later(now, kQuarterHourSeconds);
    case SnoozeChoice::Hour:
        return Later(now, kHourSeconds);
    case SnoozeChoice::Tomorrow:
        break;
    }
    LocalTime midnight = now;
    midnight.hour = midnight.minute = midnight.second = midnight.millisecond = 0;
    return Later(midnight, static_cast<int>(kSecondsPerDay));
}

std::optional<int> ParseClockTime(const std::string& text) {
    const std::string core = TrimBlanks(text);
    const std::size_t colon = core.find(':');
    if (colon == std::string::npos || colon == 0 || colon > 2 || core.size() != colon + 3)
        return std::nullopt;
    const auto hour = ParseInteger(core.substr(0, colon));
    const auto minute = ParseInteger(core.substr(colon + 1));
    if (!hour || !minute || core[colon + 1] == '-' || core[colon + 1] == '+' || *hour < 0 ||
        *hour > 23 || *minute < 0 || *minute >= kMinutesPerHour)
        return std::nullopt;
    return *hour * kMinutesPerHour + *minute;
}

std::string ClockTimeText(int minutes) {
    char text[8] = {};
    std::snprintf(text, sizeof text, "%02d:%02d", (minutes / kMinutesPerHour) % 24,
                  minutes % kMinutesPerHour);
    return text;
}

QuietHours ReadQuietHours(CConfig& config) {
    QuietHours quiet;
    quiet.on = config.Get(quietkey::kOn) == "1";
    quiet.from = ParseClockTime(config.Get(quietkey::kFrom)).value_or(quiet.from);
    quiet.to = ParseClockTime(config.Get(quietkey::kTo)).value_or(quiet.to);
    if (const auto actions = ParseInteger(config.Get(quietkey::kActions)))
        quiet.actions = *actions & kAllActions;
    return quiet;
}

void WriteQuietHours(CConfig& config, const QuietHours& quiet) {
    config.Set(quietkey::kOn, quiet.on ? "1" : "0");
    config.Set(quietkey::kFrom, ClockTimeText(quiet.from));
    config.Set(quietkey::kTo, ClockTimeText(quiet.to));
    config.SetInt(quietkey::kActions, quiet.actions & kAllActions);
}

bool InQuietHours(const QuietHours& quiet, const LocalTime& now) {
    if (!quiet.on || quiet.from == quiet.to)
        return false;
    const int minute = now.hour * kMinutesPerHour + now.minute;
    if (quiet.from < quiet.to)
        return minute >= quiet.from && minute < quiet.to;
    return minute >= quiet.from || minute < quiet.to;
}

QuietSplit SplitByQuietHours(int mode, const QuietHours& quiet, const LocalTime& now) {
    if (!InQuietHours(quiet, now))
        return {mode, 0};
    return {mode & ~quiet.actions, mode & quiet.actions};
}
