#include "platform/Clock.h"

namespace {
Clock* installedClock = nullptr;
}

Clock& CurrentClock() {
    return installedClock ? *installedClock : PlatformClock();
}
void SetCurrentClock(Clock* clock) {
    installedClock = clock;
}
