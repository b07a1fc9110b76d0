#include "feed/ProgramHistory.h"
#include "platform/Clock.h"
#include "settings/AppConfig.h"
#include <cstdio>

AlertHistoryLog& ProgramHistory() {
    static AlertHistoryLog* const log =
        new AlertHistoryLog(HistoryPath(AppConfig().programFolder)); // never freed: workers
    return *log;
}

std::string HistoryTimeNow() {
    const LocalTime now = CurrentClock().Now();
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", now.year, now.month,
                  now.day, now.hour, now.minute, now.second);
    return text;
}
