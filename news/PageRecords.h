#pragma once
// The watched pages' records in the main settings file: the defaults, reading, writing,
// removing one with the renumbering of the later ones, and the watch interval rules.
#include <optional>
#include <string>
#include <vector>

class CConfig;

// A sane bound for "NUM": a damaged count must not make the program loop for minutes.
inline constexpr int kMaxPages = 100;
inline constexpr int kDefaultIntervalMinutes = 10;
inline constexpr const char* kWatchedText = "1"; // "NOTIFY" of a watched page
inline constexpr const char* kUnwatchedText = "0";
inline constexpr const char* kUnnamedPage = "News"; // the caption of a page without a name

struct PageRecord {
    std::string name;
    std::string url;
    std::string notify;   // kWatchedText or anything else
    std::string interval; // whole minutes as stored
    bool operator==(const PageRecord&) const = default;
};

// "NEWSTAB" followed by the index.
std::string PageSection(int index);

// The three records written at the first start, in the UI language, on the service's
// address (host:port, or an address with its scheme).
std::vector<PageRecord> DefaultPageRecords(int language, const std::string& serviceAddress);
// Writes the defaults and "NUM" = 3 when "NUM" is empty; nothing otherwise.
void WriteDefaultPages(CConfig& config, int language, const std::string& serviceAddress);

// "NUM" read leniently (as atoi) and kept within 0 .. kMaxPages.
int PageCount(CConfig& config);
PageRecord ReadPageRecord(CConfig& config, int index);
// NAME, URL, NOTIFY and INTERVAL (INTERVAL as a decimal integer).
void WritePageRecord(CConfig& config, int index, const PageRecord& record, int intervalMinutes);

// Removes record `index` of `count`: each later record's five keys (NAME, URL, NOTIFY,
// INTERVAL, HWD) move down by one, "NUM" becomes count - 1; the last section is left in the
// file, outside the count.
void RemovePageRecord(CConfig& config, int index, int count);

// Records without an address are no pages and get no tab; they are removed (later records
// moving down, "NUM" lowered), so that tab numbers stay record numbers. The count left.
int DropEmptyPageRecords(CConfig& config);

// The tab caption: the name, "News" for an empty one.
std::string PageCaption(const std::string& name);
// The caption while a page reloads: name + "(" + refreshing + ")".
std::string RefreshingCaption(const std::string& name, const std::string& refreshing);

// The check interval in seconds a record asks for: INTERVAL x 60 when NOTIFY is "1" and
// INTERVAL a number above 0 (at most kLongestCheckSeconds, a week), 0 when NOTIFY is "1"
// and INTERVAL is missing, not a number or not above 0; nothing when NOTIFY is not "1" (the
// interval is left as it was).
std::optional<int> RecordCheckSeconds(const std::string& notify, const std::string& interval);
// SetCheckInterval: minutes x 60 above 0, else 0.
int CheckSecondsForMinutes(int minutes);

// What the add/edit dialog stores: notify "1" and the interval (below 1 or not a number:
// 10) when the box is checked; "0" and 0 otherwise.
struct PageWatchChoice {
    std::string notify;
    int intervalMinutes = 0;
};
PageWatchChoice WatchChoice(bool checked, const std::string& intervalText);
// The interval edit's text when a record is edited: its INTERVAL, "10" when it has none.
std::string IntervalEditText(const std::string& storedInterval);
