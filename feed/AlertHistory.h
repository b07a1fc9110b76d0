#pragma once
#include "delivery/Delivery.h"
#include "feed/FeedGuard.h"
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

// One line of the alert history: every firing, every delivery's end and every feed guard
// event, in the order they happened.
struct HistoryEvent {
    std::string time; // local "%Y-%m-%d %H:%M:%S"
    std::string pair;
    std::string kind; // one of the kHistory* words; a newer version may add others
    std::string condition;
    std::string price;
    std::string details; // the actions, the delivery's reason, the guard's text
};

inline constexpr const char* kHistoryFired = "FIRED";
inline constexpr const char* kHistorySent = "SENT";
inline constexpr const char* kHistoryFailed = "FAILED";
inline constexpr const char* kHistoryStopped = "STOPPED";
inline constexpr const char* kHistoryDisconnected = "DISCONNECTED";
inline constexpr const char* kHistoryMoving = "MOVING";
// A snooze chosen on a popup, and actions the quiet hours held back.
inline constexpr const char* kHistorySnoozed = "SNOOZED";
inline constexpr const char* kHistoryHeld = "HELD";

inline constexpr const char* kHistoryFileName = "alerthistory.csv";
inline constexpr const char* kRotatedHistoryFileName = "alerthistory.1.csv";
inline constexpr std::int64_t kHistoryRotateBytes = 5 * 1024 * 1024;
inline constexpr std::size_t kHistoryShownEvents = 1000;
// Lines that could not be written wait in memory up to this many, then in the side file.
inline constexpr std::size_t kHistoryMaxWaitingLines = 1000;

// One CSV line with its CRLF: a field holding a comma, a quote, CR or LF is quoted, its
// quotes doubled. A field a spreadsheet would take for a formula (a first "=", "+", "-" or
// "@" and not a number) is written after a "'", so that it shows as text; ReadNewestHistory
// takes the "'" away again.
std::string CsvLine(const std::vector<std::string>& fields);
std::vector<std::string> HistoryFields(const HistoryEvent& event);

HistoryEvent FiredEvent(const std::string& time, const std::string& pair,
                        const std::string& condition, const std::string& price,
                        const std::string& actions);
// "e-mail" or "phone (TELEGRAM)", then "sent" or "failed: <reason>".
HistoryEvent DeliveryEvent(const std::string& time, const DeliveryOutcome& outcome);
// The guard's event with its English text as the details.
HistoryEvent GuardEvent(const std::string& time, const FeedEvent& event);

// The history file in the program folder (which ends in a separator) and its older half.
std::string HistoryPath(const std::string& programFolder);
std::string RotatedHistoryPath(const std::string& historyPath);
// Where lines wait that the history file refused (held open elsewhere) when memory is full
// or the program ends; merged into the file at the next write.
std::string WaitingHistoryPath(const std::string& historyPath);
// A copy of the history file for a spreadsheet, which may lock what it opens: in `folder`
// (ending in a separator), under a further name when an earlier copy is still held open.
// Nothing when no copy could be written.
std::optional<std::string> HistoryCopyForSpreadsheet(const std::string& historyPath,
                                                     const std::string& folder);

// Appends events to the history file, one line each, through Files(). A new or empty file
// starts with the byte-order mark and the column names; a file that reached the limit
// becomes the ".1" file (the older one replaced) and a new one starts. Safe to call from
// any thread.
class AlertHistoryLog {
public:
    explicit AlertHistoryLog(std::string path);

    // Looks once at the end of an existing file, so that a line torn by a crash never
    // runs into the next one. Append does it when not done; call it at start-up to keep
    // the reading of a large file off the first append.
    void Prepare();
    // False when the line could not be written yet; it is kept and written first next time.
    bool Append(const HistoryEvent& event);
    std::size_t Waiting() const;
    // At exit: the lines still waiting go to the file, or else to the side file.
    void Flush();
    // Deletes the file and its ".1" file; false when either is still there.
    bool Clear();

private:
    void PrepareLocked();
    bool WriteLocked();
    bool SpillLocked();

    mutable std::mutex lock;
    std::string path;
    bool prepared = false;
    std::string repair;               // what closes a torn last line
    std::vector<std::string> waiting; // lines not yet written
};

// The newest events first, at most `count`, from the file and then its ".1" file. A line
// that does not end (torn by a crash) is left out, as are lines of fewer fields.
std::vector<HistoryEvent> ReadNewestHistory(const std::string& path,
                                            std::size_t count = kHistoryShownEvents);
