#include "feed/FeedGuard.h"
#include "alerts/AlertNumbers.h"
#include "platform/Text.h"
#include "quotes/StatusBarReader.h"
#include <algorithm>
#include <cstdio>

namespace {
constexpr UtcSeconds kMinute = 60;
constexpr UtcSeconds kHour = 60 * kMinute;
constexpr UtcSeconds kDay = 24 * kHour;
constexpr UtcSeconds kWeek = 7 * kDay;
constexpr int kSunday = 0;
constexpr int kFriday = 5;
constexpr int kSaturday = 6;
constexpr UtcSeconds kFridayClose = 21 * kHour;
constexpr UtcSeconds kSundayOpen = 22 * kHour;
constexpr int kEpochWeekday = 4; // 1970-01-01 was a Thursday

UtcSeconds FloorDiv(UtcSeconds a, UtcSeconds b) {
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)) ? 1 : 0);
}

// Days since 1970-01-01 of a date in the proleptic Gregorian calendar, and back.
UtcSeconds DaysFromCivil(int year, int month, int day) {
    const UtcSeconds y = year - (month <= 2 ? 1 : 0);
    const UtcSeconds era = FloorDiv(y, 400);
    const UtcSeconds yearOfEra = y - era * 400;
    const UtcSeconds dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const UtcSeconds dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

void CivilFromDays(UtcSeconds days, int& year, int& month, int& day) {
    days += 719468;
    const UtcSeconds era = FloorDiv(days, 146097);
    const UtcSeconds dayOfEra = days - era * 146097;
    const UtcSeconds yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const UtcSeconds dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const UtcSeconds monthIndex = (5 * dayOfYear + 2) / 153;
    day = static_cast<int>(dayOfYear - (153 * monthIndex + 2) / 5 + 1);
    month = static_cast<int>(monthIndex < 10 ? monthIndex + 3 : monthIndex - 9);
    year = static_cast<int>(yearOfEra + era * 400 + (month <= 2 ? 1 : 0));
}

int Weekday(UtcSeconds utc) { // 0 is Sunday
    return static_cast<int>((FloorDiv(utc, kDay) + kEpochWeekday) % 7);
}
} // namespace

UtcSeconds UtcFromFields(int year, int month, int day, int hour, int minute, int second) {
    return DaysFromCivil(year, month, day) * kDay + hour * kHour + minute * kMinute + second;
}

LocalTime FieldsFromSeconds(UtcSeconds seconds) {
    LocalTime time;
    CivilFromDays(FloorDiv(seconds, kDay), time.year, time.month, time.day);
    const UtcSeconds ofDay = seconds - FloorDiv(seconds, kDay) * kDay;
    time.hour = static_cast<int>(ofDay / kHour);
    time.minute = static_cast<int>(ofDay % kHour / kMinute);
    time.second = static_cast<int>(ofDay % kMinute);
    return time;
}

bool MarketOpen(UtcSeconds utc) {
    const UtcSeconds ofDay = utc - FloorDiv(utc, kDay) * kDay;
    switch (Weekday(utc)) {
    case kFriday:
        return ofDay < kFridayClose;
    case kSaturday:
        return false;
    case kSunday:
        return ofDay >= kSundayOpen;
    default:
        return true;
    }
}

UtcSeconds LastMarketOpening(UtcSeconds utc) {
    const UtcSeconds day = FloorDiv(utc, kDay);
    const UtcSeconds sunday = day - Weekday(utc);
    const UtcSeconds opening = sunday * kDay + kSundayOpen;
    return opening <= utc ? opening : opening - kWeek;
}

FeedGuard::FeedGuard(int stopMinutes) : stopMinutes(std::max(1, stopMinutes)) {}

void FeedGuard::Reset() {
    *this = FeedGuard(stopMinutes);
}

// True when a pair shows a real price other than the one it showed before.
bool FeedGuard::TakePrices(const std::vector<PairPrice>& prices) {
    bool moved = false;
    for (const PairPrice& shown : prices) {
        const std::string price = TrimBlanks(shown.price);
        if (!HoldsPrice(price))
            continue;
        watching = true;
        const auto [at, added] = lastPrices.emplace(shown.pair, price);
        if (!added && at->second != price) {
            at->second = price;
            moved = true;
        }
    }
    return moved;
}

bool FeedGuard::WouldMove(const std::vector<PairPrice>& prices) const {
    for (const PairPrice& shown : prices) {
        const std::string price = TrimBlanks(shown.price);
        const auto last = lastPrices.find(shown.pair);
        if (HoldsPrice(price) && last != lastPrices.end() && last->second != price)
            return true;
    }
    return false;
}

bool FeedGuard::StatusDue(const FeedTick& tick) {
    const bool due = state != FeedState::Normal || !lastStatusAt || tick.utc < *lastStatusAt ||
                     tick.utc - *lastStatusAt >= stopMinutes * kMinute || !WouldMove(tick.prices);
    if (due)
        lastStatusAt = tick.utc;
    return due;
}

// The tick's own local time tells the offset from UTC.
LocalTime FeedGuard::LocalAt(const FeedTick& tick, UtcSeconds utc) const {
    const LocalTime& now = tick.local;
    const UtcSeconds localNow =
        UtcFromFields(now.year, now.month, now.day, now.hour, now.minute, now.second);
    return FieldsFromSeconds(localNow - (tick.utc - utc));
}

std::optional<FeedEvent> FeedGuard::Enter(FeedState entered, const FeedTick& tick,
                                          UtcSeconds quietFrom) {
    state = entered;
    episodeFrom = quietFrom;
    episodeSince = LocalAt(tick, quietFrom);
    FeedEvent event;
    event.since = episodeSince;
    if (entered == FeedState::Disconnected) {
        event.kind = FeedEventKind::EnteredDisconnected;
        event.status = DisconnectedStatusPart(tick.status.value_or(""));
    }
    return event;
}

std::optional<FeedEvent> FeedGuard::Step(const FeedTick& tick) {
    const UtcSeconds now = tick.utc;
    const bool wasWatching = watching;
    const bool moved = TakePrices(tick.prices);
    const bool gap = now < lastTick || now - lastTick > kFeedGuardTickGapSeconds;
    lastTick = now;
    if (!watching)
        return std::nullopt;
    if (!wasWatching || moved || gap)
        countFrom = now;

    const bool open = MarketOpen(now);
    const bool disconnected = open && tick.status && StatusMeansDisconnected(*tick.status);
    const UtcSeconds quietFrom = std::max(countFrom, LastMarketOpening(now));
    const bool quiet = open && now - quietFrom >= stopMinutes * kMinute;

    if (state == FeedState::Normal) {
        if (disconnected)
            return Enter(FeedState::Disconnected, tick, quietFrom);
        if (quiet)
            return Enter(FeedState::Stopped, tick, quietFrom);
        return std::nullopt;
    }
    if (!open) {
        state = FeedState::Normal;
        return std::nullopt;
    }
    if (moved && !disconnected) {
        state = FeedState::Normal;
        FeedEvent event;
        event.kind = FeedEventKind::Recovered;
        event.since = episodeSince;
        event.stoppedMinutes = static_cast<int>((now - episodeFrom) / kMinute);
        return event;
    }
    // Within one episode the state follows the status without a second event.
    state = disconnected ? FeedState::Disconnected : FeedState::Stopped;
    return std::nullopt;
}

std::string FillText(const std::string& pattern, const std::vector<std::string>& values) {
    std::string text;
    std::size_t next = 0;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern.compare(i, 2, "%s") == 0) {
            if (next < values.size())
                text += values[next++];
            ++i;
        } else {
            text += pattern[i];
        }
    }
    return text;
}

std::string HourMinuteText(const LocalTime& time) {
    char text[8];
    std::snprintf(text, sizeof text, "%02d:%02d", time.hour % 100, time.minute % 100);
    return text;
}

std::string FeedTipText(const LocalTime& since, const std::string& pattern) {
    return FillText(pattern, {HourMinuteText(since)});
}

std::string FeedPopupText(const FeedEvent& event, const std::string& stoppedPattern,
                          const std::string& terminalSaysPattern,
                          const std::string& movingPattern) {
    switch (event.kind) {
    case FeedEventKind::Recovered:
        return FillText(movingPattern, {std::to_string(event.stoppedMinutes)});
    case FeedEventKind::EnteredDisconnected:
        return FillText(stoppedPattern, {HourMinuteText(event.since)}) + "\n" +
               FillText(terminalSaysPattern, {event.status});
    case FeedEventKind::EnteredStopped:
        break;
    }
    return FillText(stoppedPattern, {HourMinuteText(event.since)});
}
