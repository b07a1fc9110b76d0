#pragma once
#include "platform/Clock.h"
#include <string>

// Times travel as local-time texts "%Y-%m-%d %H:%M:%S". Inside, a point in time is an
// OLE automation date: days since 1899-12-30 with the time of day as the fraction
// (before that day the fraction counts forward from the negative whole day).
enum class DateTimeStatus { Valid, Invalid, Null };

struct DateTimeValue {
    double date = 0.0;
    DateTimeStatus status = DateTimeStatus::Null;

    bool IsValid() const { return status == DateTimeStatus::Valid; }
};

inline constexpr const char* kInvalidDateTimeText = "Invalid DateTime";
// DateDiffText's answer when a side cannot be measured.
inline constexpr long long kDateDiffUnmeasurable = 11111;

// Invalid when a field is out of range (years 100 to 9999).
DateTimeValue MakeDateTime(int year, int month, int day, int hour = 0, int minute = 0,
                           int second = 0);
DateTimeValue DateTimeFromLocalTime(const LocalTime& time); // milliseconds dropped
DateTimeValue CurrentDateTime();                            // from CurrentClock()

// Accepts "Y-M-D", "H:M", "H:M:S" and a date followed by a time, with "-" or "/"
// between the date fields, one- or two-digit month, day, hour, minute and second,
// and blanks around. A time alone falls on 1899-12-30.
DateTimeValue ParseDateTime(const std::string& text);
// The same, and when that finds no valid value, a date as the user's short date pattern
// writes it (optionally followed by blanks and a time). In the pattern d/dd, M/MM and
// yy/yyyy stand for the day, month and year in digits (one or two digits either way; a
// two-digit year is 1950 to 2049), a blank for any blanks, 'quoted' text and every other
// character for itself; day and month names are not read.
DateTimeValue ParseDateTime(const std::string& text, const std::string& shortDatePattern);
// The short date pattern of the user's language ("M/d/yyyy", "dd.MM.yyyy"), in which the
// alert editor's date picker shows and stores dates.
std::string UserShortDatePattern();

// Fields of a valid value, rounded to the nearest second; false otherwise.
bool SplitDateTime(const DateTimeValue& value, LocalTime& fields);
// "%Y-%m-%d %H:%M:%S"; "Invalid DateTime" for an invalid value, "" for a null one.
std::string FormatDateTime(const DateTimeValue& value);

// The text parsed and written back in the program form; "" means now.
std::string DateTimeText(const std::string& text);
std::string NowText(); // the current local time in the program form
// Now in the user's default locale format, without user overrides; display only.
std::string LocaleDateTimeText();
bool IsValidDateTime(const std::string& text);

// Whole units from `from` to `to`. Units: 'y' years, 'M' months, 'd' days, 'h' hours,
// 'm' or 'n' minutes, 's' seconds. A negative count is lowered by one more; a zero count
// of a span unit is -1 when `from` is later than `to`. An unknown unit shows a message
// box and counts 0. Either value not valid gives 0.
long long DateDiff(char unit, const DateTimeValue& from, const DateTimeValue& to);
// DateDiff on two texts. Either empty: 0. A trailing millisecond part ".fff" is ignored.
// Unparsable or before 1950 on either side: kDateDiffUnmeasurable. A short date pattern
// also lets a date in that pattern be read.
long long DateDiffText(char unit, const std::string& fromText, const std::string& toText,
                       const std::string& shortDatePattern = "");
