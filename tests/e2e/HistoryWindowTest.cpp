// The alert history window driven like a user: a history file with quoted fields, Chinese
// text, an older half and a line torn by a crash; the pair filter; opening it again; clearing.
#include "resources/resource.h"
#include "settings/TextIds.h"
#include "tests/e2e/AlertWindowsHarness.h"
#include <commctrl.h>
#include "settings/LangTable.h"

using namespace e2e;

namespace {
constexpr int kColumns = 5;
const char kHistory[] = "file\\alerthistory.csv";
const char kOlderHistory[] = "file\\alerthistory.1.csv";
const std::string kHead = "\xEF\xBB\xBFTime,Pair,Event,Condition,Price,Details\r\n";
const std::string kLines =
    "2026-12-01 09:00:00,EURUSD,FIRED,Bid>1.2,1.20010,\"popup, \"\"sound\"\"\"\r\n"
    "2026-12-01 09:00:01,EURUSD,FAILED,Bid>1.2,1.20010,e-mail: 邮件服务器拒绝\r\n"
    "2026-12-01 10:00:00,,STOPPED,No new price since 09:55,,No new price since 09:55.\r\n"
    "2026-12-01 11:00:00,黄金,SENT,Bid<1800,1799.50,phone: ntfy\r\n"
    "2026-12-01 11:00:02,USDJPY,PAUSED,,150.100,from a newer version\r\n";
const std::string kTornLine = "2026-12-01 12:00:00,USDJPY,FIRED,Bid>150,\"150.2";

std::vector<HWND> HistoryWindows(DWORD processId) {
    std::vector<HWND> found;
    for (HWND window : TopLevelWindows({"#32770", std::nullopt, processId}))
        if (GetDlgItem(window, IDC_HISTORY_LIST))
            found.push_back(window);
    return found;
}

// Every row, its cells joined by "|".
std::vector<std::string> Rows(HWND list) {
    std::vector<std::string> rows;
    for (int item = 0; item < ListItemCount(list); ++item) {
        std::string row;
        for (int column = 0; column < kColumns; ++column)
            row += (column ? "|" : "") + ListItemText(list, item, column);
        rows.push_back(row);
    }
    return rows;
}

int ColumnCount(HWND list) {
    const auto header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
    return static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
}

int FilterCount(HWND window) {
    return static_cast<int>(SendDlgItemMessageW(window, IDC_HISTORY_FILTER, CB_GETCOUNT, 0, 0));
}
} // namespace

class HistoryWindowTest : public AlertWindowsTest {
protected:
    HWND OpenFromMenu() {
        PostMessageW(bar, WM_COMMAND, IDM_ALERT_HISTORY, 0);
        HWND window = nullptr;
        WaitUntil([&] { return !HistoryWindows(program.Id()).empty(); }, 10s);
        if (!HistoryWindows(program.Id()).empty())
            window = HistoryWindows(program.Id()).front();
        return window;
    }
};

TEST_F(HistoryWindowTest, ShowsNewestFirstFiltersByPairReloadsAndClearsBothFiles) {
    install.WriteFile(kHistory, kHead + kLines + kTornLine);
    install.WriteFile(kOlderHistory, kHead + "2026-11-30 08:00:00,GBPUSD,FIRED,Ask<1.3,1.29990,"
                                             "voice\r\n");
    ASSERT_NO_FATAL_FAILURE(StartProgram(""));
    HWND window = OpenFromMenu();
    ASSERT_TRUE(window);
    EXPECT_EQ(WindowText(window), GetText(kTextAlertHistory));
    HWND list = GetDlgItem(window, IDC_HISTORY_LIST);
    EXPECT_EQ(ColumnCount(list), kColumns);
    const std::string feed = GetText(kTextFeedPair);
    const std::vector<std::string> all = {
        "2026-12-01 11:00:02|USDJPY|PAUSED|150.100|from a newer version",
        "2026-12-01 11:00:00|黄金|" + GetText(kTextHistorySent) + "|1799.50|Bid<1800; phone: ntfy",
        "2026-12-01 10:00:00|" + feed + "|" + GetText(kTextHistoryStopped) +
            "||No new price since 09:55.",
        "2026-12-01 09:00:01|EURUSD|" + GetText(kTextHistoryFailed) +
            "|1.20010|Bid>1.2; e-mail: 邮件服务器拒绝",
        "2026-12-01 09:00:00|EURUSD|" + GetText(kTextHistoryFired) +
            "|1.20010|Bid>1.2; popup, \"sound\"",
        "2026-11-30 08:00:00|GBPUSD|" + GetText(kTextHistoryFired) + "|1.29990|Ask<1.3; voice",
    };
    EXPECT_EQ(Rows(list), all);
    EXPECT_EQ(FilterCount(window), 5) << "all pairs, EURUSD, GBPUSD, USDJPY, 黄金";

    // One pair: its own events and the feed's, which concern every pair.
    ChooseItem(window, IDC_HISTORY_FILTER, 1);
    EXPECT_EQ(Rows(list), (std::vector<std::string>{all[2], all[3], all[4]}));

    // Opened again from the alerts list: the same window, read again, the pair still chosen.
    install.WriteFile(kHistory, kHead + kLines +
                                    "2026-12-01 12:30:00,EURUSD,SENT,Bid>1.2,1.20020,e-mail\r\n");
    HWND alerts = OpenList();
    ASSERT_TRUE(alerts);
    Click(alerts, IDC_ALERTS_HISTORY);
    ASSERT_TRUE(WaitUntil([&] { return ListItemCount(list) == 4; }, 10s));
    EXPECT_EQ(HistoryWindows(program.Id()).size(), 1u);
    EXPECT_EQ(Rows(list).front(), "2026-12-01 12:30:00|EURUSD|" + GetText(kTextHistorySent) +
                                      "|1.20020|Bid>1.2; e-mail");

    Click(window, IDC_HISTORY_CLEAR);
    EXPECT_EQ(Answer(IDNO), GetText(kTextAskClearHistory));
    EXPECT_EQ(ListItemCount(list), 4);
    Click(window, IDC_HISTORY_CLEAR);
    EXPECT_EQ(Answer(IDYES), GetText(kTextAskClearHistory));
    ASSERT_TRUE(WaitUntil([&] { return ListItemCount(list) == 0; }, 5s));
    EXPECT_TRUE(IsFile(install.Path(kHistory)));
    EXPECT_EQ(install.ReadFile(kHistory), "");
    EXPECT_FALSE(IsFile(install.Path(kOlderHistory)));
    EXPECT_EQ(FilterCount(window), 1);
    EXPECT_FALSE(IsEnabledItem(window, IDC_HISTORY_CLEAR));
}
