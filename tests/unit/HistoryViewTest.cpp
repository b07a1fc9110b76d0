#include "feed/HistoryView.h"
#include "settings/KindTextIds.h"
#include "settings/TextIds.h"
#include "tests/unit/FakeFiles.h"
#include <gtest/gtest.h>

namespace {
std::string Text(int entry) {
    return "T" + std::to_string(entry);
}

std::string Joined(const HistoryRow& row) {
    return row.time + "|" + row.pair + "|" + row.event + "|" + row.price + "|" + row.details +
           (row.failed ? "|failed" : "");
}

const std::vector<HistoryEvent> kEvents = {
    {"10:05", "USDJPY", "PAUSED", "", "150.1", "from a newer version"},
    {"10:04", "", kHistoryStopped, "No new price since 10:00", "", "No new price\r\nsince 10:00."},
    {"10:03", "EURUSD", kHistoryFailed, "Bid>1.2", "1.2001", "e-mail: 550\nrefused"},
    {"10:02", "黄金", kHistorySent, "Bid<1800", "1799.5", ""},
    {"10:01", "EURUSD", kHistoryFired, "Bid>1.2", "1.2001", "popup, \"sound\""},
};
} // namespace

TEST(HistoryView, RowsInWordsOnOneLineAndFilteredByPair) {
    const std::vector<std::string> all = {
        "10:05|USDJPY|PAUSED|150.1|from a newer version",
        "10:04|T230|T251||No new price since 10:00.",
        "10:03|EURUSD|T255|1.2001|Bid>1.2; e-mail: 550 refused|failed",
        "10:02|黄金|T254|1799.5|Bid<1800",
        "10:01|EURUSD|T250|1.2001|Bid>1.2; popup, \"sound\"",
    };
    const struct {
        std::string pair;
        std::vector<std::size_t> shown; // indices into `all`
    } cases[] = {
        {"", {0, 1, 2, 3, 4}},
        {"EURUSD", {1, 2, 4}}, // the feed event concerns every pair
        {"黄金", {1, 3}},
        {"GBPUSD", {1}},
    };
    for (const auto& c : cases) {
        std::vector<std::string> rows;
        for (const HistoryRow& row : HistoryRows(kEvents, c.pair, Text))
            rows.push_back(Joined(row));
        std::vector<std::string> expected;
        for (std::size_t index : c.shown)
            expected.push_back(all[index]);
        EXPECT_EQ(rows, expected) << "filter " << c.pair;
    }
    EXPECT_EQ(HistoryPairs(kEvents), (std::vector<std::string>{"EURUSD", "USDJPY", "黄金"}));
    EXPECT_EQ(HistoryKindEntry(kHistoryDisconnected), kTextHistoryDisconnected);
    EXPECT_EQ(HistoryKindEntry(kHistoryMoving), kTextHistoryMoving);
    EXPECT_EQ(HistoryKindEntry(kHistorySnoozed), kTextHistorySnoozed);
    EXPECT_EQ(HistoryKindEntry(kHistoryHeld), kTextHistoryHeld);
    EXPECT_EQ(HistoryKindEntry("fired"), -1);
}

TEST(HistoryView, ClearEmptiesTheFileAndRemovesItsOlderHalf) {
    FakeFiles files;
    SetFiles(&files);
    const std::string path = "C:\\pw\\alerthistory.csv", older = "C:\\pw\\alerthistory.1.csv";
    files.files[path] = "head\r\nline\r\n";
    files.files[older] = "head\r\nolder\r\n";
    EXPECT_TRUE(ClearHistory(path));
    EXPECT_EQ(files.files, (std::map<std::string, std::string>{{path, ""}}));
    EXPECT_TRUE(ClearHistory(path)); // nothing left to do
    EXPECT_EQ(files.replaces, 1);

    files.files[older] = "older";
    files.deleteFails = true; // held open elsewhere
    EXPECT_FALSE(ClearHistory(path));
    SetFiles(nullptr);
}
