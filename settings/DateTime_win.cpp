#include <windows.h>
#include "platform/Clock_win.h"
#include "platform/Text.h"
#include "settings/DateTime.h"

std::string UserShortDatePattern() {
    // With the user's own changes, as the date picker shows dates.
    wchar_t pattern[128]; // the system allows 80 characters
    if (GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SSHORTDATE, pattern, ARRAYSIZE(pattern)) ==
        0)
        return "";
    return Narrow(pattern);
}

std::string LocaleDateTimeText() {
    const SYSTEMTIME st = ToSystemTime(CurrentClock().Now());
    wchar_t date[128];
    wchar_t time[128];
    // The system's own format for the user's locale, not the user's customised one.
    if (GetDateFormatW(LOCALE_USER_DEFAULT, LOCALE_NOUSEROVERRIDE | DATE_SHORTDATE, &st, nullptr,
                       date, ARRAYSIZE(date)) == 0 ||
        GetTimeFormatW(LOCALE_USER_DEFAULT, LOCALE_NOUSEROVERRIDE, &st, nullptr, time,
                       ARRAYSIZE(time)) == 0)
        return kInvalidDateTimeText;
    return Narrow(date) + " " + Narrow(time);
}
