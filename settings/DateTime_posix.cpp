#include "settings/DateTime.h"
#include <ctime>

// No system setting here: the United States pattern, as a Windows of that language has it.
std::string UserShortDatePattern() {
    return "M/d/yyyy";
}

std::string LocaleDateTimeText() {
    const LocalTime now = CurrentClock().Now();
    if (!DateTimeFromLocalTime(now).IsValid())
        return kInvalidDateTimeText;
    std::tm tm{};
    tm.tm_year = now.year - 1900;
    tm.tm_mon = now.month - 1;
    tm.tm_mday = now.day;
    tm.tm_hour = now.hour;
    tm.tm_min = now.minute;
    tm.tm_sec = now.second;
    char buffer[128];
    if (std::strftime(buffer, sizeof buffer, "%x %X", &tm) == 0)
        return kInvalidDateTimeText;
    return buffer;
}
