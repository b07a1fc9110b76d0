#pragma once
#include "alerts/AlertKinds.h"
#include "alerts/AlertNumbers.h"
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

// Keys of an alert's section in the alerts file.
namespace alertkey {
inline constexpr const char* kCurrency = "currency";
inline constexpr const char* kEnabled = "enabled";
inline constexpr const char* kCondition = "condition";
inline constexpr const char* kPrice = "price";
inline constexpr const char* kDiffPips = "diffpips";
inline constexpr const char* kStartCon = "startcon";
inline constexpr const char* kStartPips = "startpips";
inline constexpr const char* kIntervalMins = "intervalmins";
inline constexpr const char* kDate = "date";
inline constexpr const char* kHour = "hour";
inline constexpr const char* kMinute = "minute";
inline constexpr const char* kMode = "mode";
inline constexpr const char* kSoundFile = "soundfile";
inline constexpr const char* kSpeakLen = "speaklen";
inline constexpr const char* kSpeakName = "speakname";
inline constexpr const char* kTrayMsg = "traymsg";
inline constexpr const char* kAlertTimes = "alerttimes";
inline constexpr const char* kAutoDelete = "autodelete";
} // namespace alertkey

enum AlertCondition {
    kPriceAbove = 0,
    kPriceBelow = 1,
    kEveryPips = 2,
    kEveryMinutes = 3,
    kTimeOfDay = 4
};

// Action bits of `mode`.
inline constexpr int kActionPopup = 1;
inline constexpr int kActionVoice = 2;
inline constexpr int kActionSound = 4;
inline constexpr int kActionEmail = 8;
// A message to the phone; older versions test only the four bits above and ignore it.
inline constexpr int kActionPhone = 16;

inline constexpr const char* kNoStartCondition = "-1";
inline constexpr const char* kAnyHour = "-1";
inline constexpr const char* kNoCountInForce = "-1";
inline constexpr const char* kUnlimited = "-2";
inline constexpr const char* kStoredLineBreak = "@#@";

// A custom notification text is stored on one line, "@#@" standing for each line break.
std::string StoredMessage(const std::string& lines);   // "\r\n" becomes "@#@"
std::string MessageLines(const std::string& stored);   // "@#@" becomes "\r\n", for the popup
std::string MessageOneLine(const std::string& stored); // "@#@" becomes a blank, for a list cell

// The keys that say what an alert watches for and how it tells, as the file holds them;
// a firing alert carries them on to the actions. `level` is the key "price".
struct AlertSettings {
    std::string level, diffpips, startcon, startpips, intervalmins, date, hour, minute, soundfile,
        speaklen, speakname, traymsg;
    AlertExtras extras; // the keys of the newer conditions, the end and the snooze
};

// One alert: every key of its section as text, and the evaluation's run-time state.
struct AlertRecord : AlertSettings {
    std::string id, currency, enabled, condition, mode, alerttimes, autodelete;
    // Run-time only: they live in the table and start afresh at every reload.
    std::string lastFired;  // program time text of the last firing
    std::string firedCount; // firings counted against alerttimes
    PriceReading reference; // a step alert's last reference price
    KindState kinds;        // the newer conditions' watches
};

// Every section of the alerts file, in file order, read with one reading of the file.
std::vector<AlertRecord> LoadAllAlerts(const std::string& alertsPath);
// One alert's section; nothing when the file has no section of that id.
std::optional<AlertRecord> LoadAlert(const std::string& alertsPath, const std::string& id);

// The alerts the evaluation runs over, in file order.
struct CAlertTable {
    std::vector<AlertRecord> alerts;
    // Set for the whole of a reload; the evaluation keeps off the table meanwhile, since a
    // nested message loop can run the main tick in the middle of it.
    bool loading = false;

    std::size_t Size() const { return alerts.size(); }
    AlertRecord& operator[](std::size_t i) { return alerts[i]; }
    const AlertRecord& operator[](std::size_t i) const { return alerts[i]; }
};

// Reads every section of the alerts file into the table, in file order, with one reading of
// the file. Disabled alerts keep their entry with every field but id and enabled empty.
void ReloadAlerts(CAlertTable& table, const std::string& alertsPath);

// Symbol followed by the tick count; "1" and the month, day, hour, minute and second
// when the count text is too short to tell alerts apart.
std::string NewAlertId(const std::string& symbol);

// The alert editor's boxes, as far as they shape the stored record.
struct AlertForm {
    std::string existingId; // empty for a new alert
    std::string currency;   // the selected symbol; empty when none is selected
    bool enabled = true;
    int condition = kPriceAbove;
    std::string price;
    std::string diffpips;
    bool startOn = false;
    int startComparison = 0; // 0 above, 1 below
    std::string startPrice;
    std::string intervalmins;
    bool dateOn = false;
    std::string dateText;
    std::string hourText; // kAnyHour for "Any"
    std::string minute;
    bool notification = false, voice = false, sound = false, email = false, phone = false;
    std::string soundfile;
    bool speakLastOn = false;
    int speakDigits = 0;
    bool dontSpeakName = false;
    bool customOn = false;
    std::string customText; // lines separated by "\r\n"
    bool repeatCountEnabled = true;
    std::string repeatCount;
    bool unlimited = false;
    bool autoDelete = false;
    // The newer conditions and the end time.
    std::string movePips, moveMinutes;
    int moveWay = kMoveWayUp;
    std::string channelLow, channelHigh;
    int channelWay = kChannelEnters;
    std::string spreadPips;
    bool untilOn = false;
    std::string untilText; // "%Y-%m-%d %H:%M:%S"
};

// A "Local Time" alert with a date and a set hour can hold within one minute only: it counts
// one firing ("alerttimes" 1), also where an older file stored "-1" for no count.
bool FiresOnceOnly(long long condition, bool dated, const std::string& hour);

// The mode bits of the form's actions.
int FormMode(const AlertForm& form);

// Writes the section of the alert; returns its id (made now for a new alert).
std::string SaveAlert(const std::string& alertsPath, const AlertForm& form);
void DeleteAlert(const std::string& alertsPath, const std::string& id);
// An alert past its end time that does not delete itself: only `enabled` changes.
void SwitchAlertOff(const std::string& alertsPath, const std::string& id);
// Writes the snooze's end into the alert's section; false when the alert is gone.
bool WriteSnooze(const std::string& alertsPath, const std::string& id, const std::string& until);
void ClearAlerts(const std::string& alertsPath); // the file itself goes

// The editor's remembered box values in the main settings file.
enum class LastUsedBox { PipStep, PriceStep, IntervalMinutes, AlertTimes, Hour, Minute };
const char* LastUsedKey(LastUsedBox box);
// The stored text, or the box's default when it is missing or empty ("-1" for any hour).
std::string LastUsedValue(LastUsedBox box);
void RememberLastUsed(LastUsedBox box, const std::string& text);

// The wave file a new alert's sound box starts with.
std::string DefaultSoundFile();
