#include "platform/Clock.h"
#include <chrono>
#include <ctime>

namespace {
class PosixClock final : public Clock {
public:
    LocalTime Now() const override {
        using namespace std::chrono;
        const auto now = system_clock::now();
        const std::time_t seconds = system_clock::to_time_t(now);
        std::tm tm{};
        localtime_r(&seconds, &tm);
        const auto ms = duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000;
        return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday,          tm.tm_hour,
                tm.tm_min,         tm.tm_sec,     static_cast<int>(ms)};
    }
    std::uint32_t TickCount() const override {
        using namespace std::chrono;
        return static_cast<std::uint32_t>(
            duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
    }
};
} // namespace

Clock& PlatformClock() {
    static PosixClock clock;
    return clock;
}
