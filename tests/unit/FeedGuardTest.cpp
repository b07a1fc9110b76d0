#include "feed/FeedGuard.h"
#include "FakeDesktop.h"
#include "FakeFiles.h"
#include "TempFolder.h"
#include "feed/AlertHistory.h"
#include "feed/FeedGuardKeys.h"
#include "quotes/StatusBarReader.h"
#include "settings/AppConfig.h"
#include <chrono>
#include <gtest/gtest.h>
#include <iostream>

namespace {
constexpr UtcSeconds kMinute = 60;
// Wednesday 2026-12-09 10:00 UTC; the trader's clock shows UTC+1.
const UtcSeconds kWednesday = UtcFromFields(2026, 12, 9, 10, 0, 0);
const UtcSeconds kFriday2050 = UtcFromFields(2026, 12, 4, 20, 50, 0);
constexpr UtcSeconds kLocalOffset = 3600;

// From minute `at` on, the tick shows this price and status; `asleep`: no tick ran since
// the change before.
struct Change {
    int at;
    const char* price;
    const char* status;
    bool asleep = false;
};

// Ticks once a minute from `start` to minute `end`, and lists what the guard did: its
// events, and the state changes that came without one.
std::vector<std::string> RunGuard(UtcSeconds start, const std::vector<Change>& changes, int end) {
    FeedGuard guard(5);
    std::vector<std::string> log;
    FeedTick tick;
    tick.prices = {{"EURUSD", ""}, {"USDJPY", "Not Found"}};
    std::size_t next = 0;
    for (int minute = 0; minute <= end; ++minute) {
        if (next < changes.size() && changes[next].at == minute) {
            tick.prices[0].price = changes[next].price;
            tick.status = changes[next].status ? std::optional<std::string>(changes[next].status)
                                               : std::nullopt;
            ++next;
        } else if (next < changes.size() && changes[next].asleep) {
            continue;
        }
        tick.utc = start + minute * kMinute;
        tick.local = FieldsFromSeconds(tick.utc + kLocalOffset);
        const FeedState before = guard.State();
        const std::optional<FeedEvent> event = guard.Step(tick);
        const std::string at = "m" + std::to_string(minute) + " ";
        if (event && event->kind == FeedEventKind::EnteredStopped)
            log.push_back(at + "stopped " + HourMinuteText(event->since));
        else if (event && event->kind == FeedEventKind::EnteredDisconnected)
            log.push_back(at + "disconnected " + event->status);
        else if (event)
            log.push_back(at + "moving " + std::to_string(event->stoppedMinutes));
        else if (guard.State() != before)
            log.push_back(at + "quiet " + std::to_string(static_cast<int>(guard.State())));
    }
    return log;
}

using Log = std::vector<std::string>;
} // namespace

TEST(FeedGuard, EpisodesOnAFakeClock) {
    const struct {
        const char* name;
        UtcSeconds start;
        std::vector<Change> changes;
        int end;
        Log expected;
    } cases[] = {
        {"stops once, recovers with its length",
         kWednesday,
         {{0, "1.1000", nullptr}, {20, "1.1001", nullptr}},
         30,
         {"m5 stopped 11:00", "m20 moving 20", "m25 stopped 11:20"}},
        {"nothing before the first price",
         kWednesday,
         {{0, "...", nullptr}, {10, "1.1000", nullptr}},
         15,
         {"m15 stopped 11:10"}},
        {"a pair lost for a while is no move",
         kWednesday,
         {{0, "1.1000", nullptr}, {2, "Not Found", nullptr}, {3, "1.1000", nullptr}},
         5,
         {"m5 stopped 11:00"}},
        {"disconnected, then connected without prices, then moving",
         kWednesday,
         {{0, "1.1000", "1234/5 kb"},
          {2, "1.1001", "Default | No connection"},
          {4, "1.1002", "Default | No connection"},
          {6, "1.1002", "1234/5 kb"},
          {9, "1.1003", "1234/5 kb"}},
         9,
         {"m2 disconnected No connection", "m6 quiet 1", "m9 moving 7"}},
        {"stopped, then disconnected: one episode",
         kWednesday,
         {{0, "1.1000", nullptr}, {7, "1.1000", "无效账户"}, {8, "1.1001", "1234/5 kb"}},
         8,
         {"m5 stopped 11:00", "m7 quiet 2", "m8 moving 8"}},
        {"a sleeping computer is no stopped feed",
         kWednesday,
         {{0, "1.1000", nullptr}, {3, "1.1000", nullptr}, {60, "1.1000", nullptr, true}},
         66,
         {"m65 stopped 12:00"}},
        {"the weekend raises nothing; Monday counts from the opening",
         kFriday2050,
         {{0, "1.1000", nullptr}, {700, "1.1000", "No connection"}, {800, "1.1000", nullptr}},
         49 * 60 + 15,
         {"m5 stopped 21:50", "m10 quiet 0", "m2955 stopped 23:00"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(RunGuard(c.start, c.changes, c.end), c.expected) << c.name;
}

TEST(FeedGuard, MarketHoursAroundTheWeeklyCloseAndOpening) {
    const struct {
        UtcSeconds utc;
        bool open;
    } cases[] = {
        {UtcFromFields(2026, 12, 4, 20, 59, 59), true},
        {UtcFromFields(2026, 12, 4, 21, 0, 0), false},
        {UtcFromFields(2026, 12, 5, 12, 0, 0), false},
        {UtcFromFields(2026, 12, 6, 21, 59, 59), false},
        {UtcFromFields(2026, 12, 6, 22, 0, 0), true},
        {UtcFromFields(2026, 12, 9, 3, 0, 0), true},
        {UtcFromFields(2024, 2, 29, 12, 0, 0), true},
        {UtcFromFields(2024, 3, 2, 12, 0, 0), false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MarketOpen(c.utc), c.open) << c.utc;
    EXPECT_EQ(LastMarketOpening(kWednesday), UtcFromFields(2026, 12, 6, 22, 0, 0));
    EXPECT_EQ(LastMarketOpening(UtcFromFields(2026, 12, 6, 21, 0, 0)),
              UtcFromFields(2026, 11, 29, 22, 0, 0));
}

TEST(FeedGuard, TextsAndLenientSettings) {
    EXPECT_EQ(FeedTipText({2026, 12, 9, 9, 5}), "No new price since 09:05");
    // A value holding "%s" is never read as a pattern.
    EXPECT_EQ(FillText("%s says %s", {"%s", "x"}), "%s says x");

    FakeFiles files;
    SetFiles(&files);
    AppEnvironment environment;
    environment.programPath = "C:\\pw\\Pipwarden.exe";
    CAppConfig app(environment);
    SetAppConfig(&app);
    const struct {
        const char* lines;
        FeedGuardSettings expected;
    } cases[] = {
        {"", {true, 5, 1}},
        {"FEEDGUARD=0\r\nFEEDGUARDMINS=15\r\nFEEDGUARDACTIONS=30\r\n", {false, 15, 28}},
        {"FEEDGUARD=yes\r\nFEEDGUARDMINS= 10 min\r\nFEEDGUARDACTIONS=none\r\n", {true, 10, 1}},
        {"FEEDGUARDMINS=0\r\nFEEDGUARDACTIONS=-1\r\n", {true, 1, 1}},
        {"FEEDGUARDMINS=99999999999999\r\nFEEDGUARDACTIONS=0\r\n", {true, 1440, 0}},
    };
    for (const auto& c : cases) {
        files.files[app.programFolder + app.productId + ".cfg"] =
            std::string("[MAIN]\r\n") + c.lines;
        CConfig config;
        const FeedGuardSettings read = ReadFeedGuardSettings(config);
        EXPECT_EQ(read.enabled, c.expected.enabled) << c.lines;
        EXPECT_EQ(read.minutes, c.expected.minutes) << c.lines;
        EXPECT_EQ(read.actions, c.expected.actions) << c.lines;
    }
    SetAppConfig(nullptr);
    SetFiles(nullptr);
}

TEST(AlertHistory, RecordsAndTheirCsvLines) {
    const struct {
        std::vector<std::string> fields;
        const char* line;
    } cases[] = {
        {{"a", "", "b c"}, "a,,b c\r\n"},
        {{"1,5", "say \"hi\"", "x"}, "\"1,5\",\"say \"\"hi\"\"\",x\r\n"},
        {{"two\r\nlines", "cr\r", "lf\n"}, "\"two\r\nlines\",\"cr\r\",\"lf\n\"\r\n"},
        {{"无连接"}, "无连接\r\n"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CsvLine(c.fields), c.line);

    DeliveryOutcome failed;
    failed.channel = DeliveryChannel::Telegram;
    failed.detail = "401\nbad token";
    failed.notice = {"GBPUSD", "1.27034", "Price<1.3", "", ""};
    EXPECT_EQ(HistoryFields(DeliveryEvent("t", failed)),
              (std::vector<std::string>{"t", "GBPUSD", "FAILED", "Price<1.3", "1.27034",
                                        "phone: Telegram: 401 bad token"}));
    const FeedEvent moving{FeedEventKind::Recovered, {}, "", 14};
    EXPECT_EQ(GuardEvent("t", moving).details, "Prices are moving again (stopped for 14 min)");
}

class AlertHistoryFile : public ::testing::Test {
protected:
    void SetUp() override { SetFiles(&files); }
    void TearDown() override { SetFiles(nullptr); }
    static HistoryEvent Event(int n, const std::string& details = "popup") {
        return FiredEvent("2026-12-09 10:00:0" + std::to_string(n % 10), "EURUSD", "Price>1.1",
                          "1.10" + std::to_string(n), details);
    }
    std::vector<std::string> Prices(std::size_t count = kHistoryShownEvents) {
        std::vector<std::string> prices;
        for (const HistoryEvent& e : ReadNewestHistory(kPath, count))
            prices.push_back(e.price);
        return prices;
    }

    const std::string kPath = "C:\\pw\\alerthistory.csv";
    const std::string kOld = "C:\\pw\\alerthistory.1.csv";
    const std::string kHead = "\xEF\xBB\xBFTime,Pair,Event,Condition,Price,Details\r\n";
    FakeFiles files;
};

TEST_F(AlertHistoryFile, AppendsRotatesAndKeepsWhatCouldNotBeWritten) {
    AlertHistoryLog log(kPath);
    files.files[kPath] = ""; // empty: starts like a new file
    ASSERT_TRUE(log.Append(Event(1, "popup, \"sound\"\nmail")));
    EXPECT_EQ(files.files[kPath], kHead + "2026-12-09 10:00:01,EURUSD,FIRED,Price>1.1,1.101,"
                                          "\"popup, \"\"sound\"\"\nmail\"\r\n");
    EXPECT_EQ(ReadNewestHistory(kPath).at(0).details, "popup, \"sound\"\nmail");

    // Refused (the file open elsewhere): kept, then written first, in order.
    files.unwritable.insert(kPath);
    EXPECT_FALSE(log.Append(Event(2)));
    EXPECT_EQ(log.Waiting(), 1u);
    files.unwritable.clear();
    ASSERT_TRUE(log.Append(Event(3)));
    EXPECT_EQ(Prices(), (std::vector<std::string>{"1.103", "1.102", "1.101"}));

    // Full: the file becomes the old half, replacing the one before.
    files.files[kOld] = kHead + CsvLine(HistoryFields(Event(0)));
    files.files[kPath] += std::string(kHistoryRotateBytes, 'x') + "\r\n";
    ASSERT_TRUE(log.Append(Event(4)));
    EXPECT_EQ(files.files[kPath], kHead + CsvLine(HistoryFields(Event(4))));
    EXPECT_EQ(Prices(), (std::vector<std::string>{"1.104", "1.103", "1.102", "1.101"}));

    EXPECT_TRUE(log.Clear());
    EXPECT_TRUE(Prices().empty());
}

TEST_F(AlertHistoryFile, ReadsNewestFirstAcrossBothFilesAndSurvivesATornLine) {
    files.files[kOld] = kHead + CsvLine(HistoryFields(Event(1))) + CsvLine(HistoryFields(Event(2)));
    files.files[kPath] = kHead + CsvLine(HistoryFields(Event(3))) +
                         "2026-12-09 10:00:04,EURUSD,FIRED,Price>1.1,1.104,\"pop";
    EXPECT_EQ(Prices(), (std::vector<std::string>{"1.103", "1.102", "1.101"}));
    EXPECT_EQ(Prices(2), (std::vector<std::string>{"1.103", "1.102"}));

    // The torn line is closed before the next one, so no later line is swallowed.
    AlertHistoryLog log(kPath);
    ASSERT_TRUE(log.Append(Event(5)));
    ASSERT_TRUE(log.Append(Event(6)));
    EXPECT_EQ(Prices(4), (std::vector<std::string>{"1.106", "1.105", "1.104", "1.103"}));
}

// A spreadsheet holding the file open: nothing is dropped, neither past the waiting limit nor
// at exit; the next start writes it all in order; the spreadsheet gets a copy.
TEST_F(AlertHistoryFile, LinesALockedFileRefusesWaitAndNothingIsLost) {
    const std::string side = "C:\\pw\\alerthistory.waiting.csv";
    files.unwritable.insert(kPath);
    {
        AlertHistoryLog log(kPath);
        for (int n = 0; n <= static_cast<int>(kHistoryMaxWaitingLines); ++n)
            EXPECT_FALSE(log.Append(Event(n)));
        EXPECT_EQ(log.Waiting(), 0u) << "past the limit the lines go to the side file";
        EXPECT_FALSE(log.Append(Event(7777)));
        log.Flush(); // the program ends
        EXPECT_EQ(log.Waiting(), 0u);
    }
    files.unwritable.clear();
    AlertHistoryLog next(kPath);
    next.Prepare();
    EXPECT_FALSE(files.files.count(side));
    const std::vector<std::string> prices = Prices(kHistoryMaxWaitingLines + 5);
    ASSERT_EQ(prices.size(), kHistoryMaxWaitingLines + 2);
    EXPECT_EQ(prices.front(), "1.107777");
    EXPECT_EQ(prices.back(), "1.100");

    const std::string folder = "C:\\temp\\";
    EXPECT_EQ(HistoryCopyForSpreadsheet(kPath, folder), folder + "alerthistory view.csv");
    EXPECT_EQ(files.files[folder + "alerthistory view.csv"], files.files[kPath]);
    files.unwritable.insert(folder + "alerthistory view.csv"); // still open from before
    EXPECT_EQ(HistoryCopyForSpreadsheet(kPath, folder), folder + "alerthistory view 2.csv");
}

// A spreadsheet shows formulas as text; the window shows the fields as they were.
TEST_F(AlertHistoryFile, FieldsASpreadsheetWouldRunAreWrittenAsText) {
    const std::vector<std::string> fields = {
        "=HYPERLINK(\"x\")", "-1.5", "+x", "@a", "'=b", "'a", "-", "+.5"};
    EXPECT_EQ(CsvLine(fields), "\"'=HYPERLINK(\"\"x\"\")\",-1.5,'+x,'@a,''=b,'a,'-,+.5\r\n");
    AlertHistoryLog log(kPath);
    ASSERT_TRUE(log.Append({fields[0], fields[1], fields[2], fields[3], fields[4], fields[5]}));
    const HistoryEvent read = ReadNewestHistory(kPath).at(0);
    EXPECT_EQ(HistoryFields(read), (std::vector<std::string>{fields.begin(), fields.begin() + 6}));
}

// Figures for the record, not limits: an append to a real file and a guard step of a full bar.
TEST(FeedCost, OneAppendAndOneGuardStep) {
    constexpr int kRuns = 1000;
    TempFolder dir;
    AlertHistoryLog log(HistoryPath(dir.path));
    auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < kRuns; ++i)
        ASSERT_TRUE(log.Append(
            FiredEvent("2026-12-09 10:00:00", "EURUSD", "Price>1.1", std::to_string(i), "popup")));
    const auto append = (std::chrono::steady_clock::now() - start) / kRuns;
    EXPECT_EQ(ReadNewestHistory(HistoryPath(dir.path), 1).at(0).price, "999");

    FeedGuard guard;
    FeedTick tick;
    for (int pair = 0; pair < 20; ++pair)
        tick.prices.push_back({"PAIR" + std::to_string(pair), "1.2345" + std::to_string(pair)});
    tick.status = "Connected: 1240/3 kb | Default | For Help, press F1 | 1234/5 kb";
    start = std::chrono::steady_clock::now();
    for (int i = 0; i < kRuns; ++i) {
        tick.utc = kWednesday + i;
        tick.prices[i % 20].price = std::to_string(i);
        guard.Step(tick);
    }
    const auto step = (std::chrono::steady_clock::now() - start) / kRuns;
    const auto us = [](auto d) { return std::chrono::duration<double, std::micro>(d).count(); };
    std::cout << "[ cost     ] one history append " << us(append) << " us, one guard step "
              << us(step) << " us\n";
}

TEST_F(ReaderTest, StatusBarPartsComeBackInOneRead) {
    const WindowHandle terminal = desk.AddTerminal("1: Demo");
    desk.AddChild(terminal, "AfxControlBar42", "Market Watch: 10:15:02");
    const WindowHandle bar = desk.AddChild(terminal, "msctls_statusbar32");
    desk.windows[bar].statusParts = {"Connected: 1240/3 kb", "", std::string(200, 'w'), "无连接"};
    StatusBarReader reader;
    for (int call = 1; call <= 2; ++call) {
        const int readsBefore = desk.memoryReads;
        EXPECT_EQ(reader.Read(desk, terminal), "Connected: 1240/3 kb | 无连接");
        EXPECT_EQ(desk.memoryReads - readsBefore, 1);
    }
    EXPECT_EQ(desk.allocations, 1);
    reader.Release();
    EXPECT_EQ(desk.LiveBlocks(), 0u);
    EXPECT_EQ(desk.OpenHandles(), 0u);
    EXPECT_EQ(reader.Read(desk, desk.AddTerminal("2: no status bar")), std::nullopt);

    const struct {
        const char* text;
        bool disconnected;
    } cases[] = {
        {"1234/5 kb", false},
        {"Connected: 1240/3 kb", false},
        {"No connection", true},
        {"x | INVALID ACCOUNT", true},
        {"Common Error", true},
        {"无连接", true},
        {"无效账户", true},
        {"常见错误", true},
        {"", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(StatusMeansDisconnected(c.text), c.disconnected) << c.text;
    EXPECT_EQ(DisconnectedStatusPart("Default | No connection | x"), "No connection");
}
