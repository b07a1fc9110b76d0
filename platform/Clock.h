#pragma once
#include <cstdint>

// Local wall-clock time broken into fields.
struct LocalTime {
    int year = 0, month = 0, day = 0;
    int hour = 0, minute = 0, second = 0, millisecond = 0;
};

// Time as the program sees it; tests install a fake to control it.
class Clock {
public:
    virtual ~Clock() = default;
    virtual LocalTime Now() const = 0;
    virtual std::uint32_t TickCount() const = 0; // milliseconds, wraps like GetTickCount
};

Clock& CurrentClock();
void SetCurrentClock(Clock* clock); // nullptr restores the platform clock
Clock& PlatformClock();             // defined per platform
