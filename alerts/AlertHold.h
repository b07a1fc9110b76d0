#pragma once
// What holds an alert back without changing its condition: its end time, a snooze chosen on
// its popup, and the quiet hours of the whole program.
#include "platform/Clock.h"
#include "settings/DateTime.h"
#include <optional>
#include <string>

class CConfig;

// Whether the stored end time ("%Y-%m-%d %H:%M:%S", as kindkey::kUntil holds it) has come.
// An empty or unreadable text never ends the alert.
bool PastUntil(const std::string& until, const DateTimeValue& now);
// Whether a snooze stored as that text still holds at `now`.
bool StillSnoozed(const std::string& snoozedUntil, const DateTimeValue& now);

// The popup's three choices; "tomorrow" is the start of the next day.
enum class SnoozeChoice { QuarterHour, Hour, Tomorrow };
std::string SnoozeEnd(SnoozeChoice choice, const LocalTime& now);

// Keys of the main settings file; older versions ignore them.
namespace quietkey {
inline constexpr const char* kOn = "QUIETHOURS";        // "1" on; off otherwise
inline constexpr const char* kFrom = "QUIETFROM";       // "hh:mm"
inline constexpr const char* kTo = "QUIETTO";           // "hh:mm"
inline constexpr const char* kActions = "QUIETACTIONS"; // action bits held back
} // namespace quietkey

inline constexpr int kMinutesPerDay = 24 * 60;
inline constexpr const char* kDefaultQuietFrom = "22:00";
inline constexpr const char* kDefaultQuietTo = "07:00";
inline constexpr int kDefaultQuietActions = 2 | 4; // voice and sound

struct QuietHours {
    bool on = false;
    int from = 22 * 60, to = 7 * 60; // minutes of the day; `to` is the first minute heard
    int actions = kDefaultQuietActions;
};

// "h:mm" or "hh:mm" as minutes of the day; nothing for anything else.
std::optional<int> ParseClockTime(const std::string& text);
std::string ClockTimeText(int minutes); // "hh:mm"
// Read leniently: an unreadable time takes its default, unknown bits are dropped.
QuietHours ReadQuietHours(CConfig& config);
void WriteQuietHours(CConfig& config, const QuietHours& quiet);
// From `from` up to `to`, over midnight when `to` comes first; equal times are no span.
bool InQuietHours(const QuietHours& quiet, const LocalTime& now);

struct QuietSplit {
    int kept = 0; // the actions that run
    int held = 0; // the actions held back
};
QuietSplit SplitByQuietHours(int mode, const QuietHours& quiet, const LocalTime& now);
