#include <windows.h>
#include "platform/Clock_win.h"
#include "platform/Text.h"
#include "settings/DateTime.h"

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
