#pragma once
// What the alert history window shows of the history file: rows in words, the pairs to
// filter by, and the clearing of both files.
#include "feed/AlertHistory.h"
#include <functional>
#include <string>
#include <vector>

// One row of the window's list, in its column order.
struct HistoryRow {
    std::string time;
    std::string pair;
    std::string event;
    std::string price;
    std::string details;
    bool failed = false; // a delivery that did not go out
};

using HistoryText = std::function<std::string(int entry)>;

// The language table's entry for a kind of event; -1 for a kind this version does not know.
int HistoryKindEntry(const std::string& kind);

// The events of one pair (empty: every pair) as rows, in the order given. A feed event
// belongs to no pair and concerns them all, so every filter keeps it.
std::vector<HistoryRow> HistoryRows(const std::vector<HistoryEvent>& events,
                                    const std::string& pair, const HistoryText& text);

// The pairs the events name, sorted, each once.
std::vector<std::string> HistoryPairs(const std::vector<HistoryEvent>& events);

// Empties the history file and removes its older half. False when either stays (open in
// another program, for one); what could be cleared is.
bool ClearHistory(const std::string& historyPath);
