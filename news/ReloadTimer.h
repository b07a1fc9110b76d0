#pragma once
// The one-second reload clock of a page view.
#include <optional>

// The longest check interval kept: a damaged setting must not overflow the seconds.
inline constexpr int kLongestCheckSeconds = 7 * 24 * 60 * 60;

struct ReloadTimer {
    int intervalSeconds = 0; // 0: the page is not watched
    int counter = 0;         // seconds since the last reload

    // Sets the interval (within 0 .. kLongestCheckSeconds) and starts counting from 0.
    void SetInterval(int seconds);
    // One second has passed; `minuteOfHour` is the local time's minute, nothing when the
    // time could not be read. True when the page is to be reloaded now (the counter is then
    // back at 0). In the first minute of each quarter hour a page not reloaded in the last
    // 40 seconds is brought forward to reload 21 s later.
    bool Tick(std::optional<int> minuteOfHour);
};
