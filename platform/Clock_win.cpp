#include <windows.h>
#include "platform/Clock.h"

namespace {
class WinClock final : public Clock {
public:
    LocalTime Now() const override {
        SYSTEMTIME st{};
        GetLocalTime(&st);
        return {st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond, st.wMilliseconds};
    }
    std::uint32_t TickCount() const override { return GetTickCount(); }
};
} // namespace

Clock& PlatformClock() {
    static WinClock clock;
    return clock;
}
