#include "news/ReloadTimer.h"
#include <algorithm>

namespace {
constexpr int kQuarterMinutes = 15;
constexpr int kRecentlyReloadedSeconds = 40;
constexpr int kEarlyReloadLeadSeconds = 20;
} // namespace

void ReloadTimer::SetInterval(int seconds) {
    intervalSeconds = std::clamp(seconds, 0, kLongestCheckSeconds);
    counter = 0;
}

bool ReloadTimer::Tick(std::optional<int> minuteOfHour) {
    if (intervalSeconds <= 0)
        return false;
    // Every quarter hour the watched pages are brought up to date together.
    if (minuteOfHour && *minuteOfHour % kQuarterMinutes == 0 &&
        counter > kRecentlyReloadedSeconds && counter < intervalSeconds - kEarlyReloadLeadSeconds)
        counter = intervalSeconds - kEarlyReloadLeadSeconds;
    if (counter > intervalSeconds) {
        counter = 0;
        return true;
    }
    ++counter;
    return false;
}
