// The terminal reader in this process against simulated terminals in others, on the real
// desktop: the cross-process reads, the Market Watch searches, the order window and the
// start of a terminal that is not running.
#include "platform/MessageBox.h"
#include "platform/Text.h"
#include "quotes/MTHandler.h"
#include "quotes/PriceFormat.h"
#include "tests/e2e/SimHarness.h"
#include "tools/mt4sim/SimResource.h"
#include <atomic>
#include <functional>
#include <gtest/gtest.h>
#include <iostream>
#include <map>
#include <thread>

#include "settings/LangTable.h" // after <windows.h>, whose GetMessage macro it removes

using namespace e2e;

namespace {
constexpr Milliseconds kOrderTimeout = 5s;
constexpr Milliseconds kBoxTextTimeout = 5s;
constexpr Milliseconds kReadTimeout = 10s;
constexpr Milliseconds kLiveMoveTimeout = 5s;
constexpr auto kStartLimit = 10s; // the reader's own start wait
constexpr std::size_t kCellChars = 9;
constexpr int kReadsBeforeQuit = 30;
constexpr int kCaptionMessage = 0;
constexpr int kStartQuestionMessage = 14;
constexpr int kListGoneMessage = 16;

struct Quote {
    std::string symbol, bid, ask;
};

// The simulator's default Market Watch in its order: symbol, a bid and the spread in points.
struct Listed {
    const char* symbol;
    const char* bid;
    int spread;
};
const Listed kDefaultList[] = {
    {"EURUSD", "1.08512", 12}, {"GBPUSD", "1.27034", 18}, {"USDCHF", "0.88217", 17},
    {"USDJPY", "151.234", 14}, {"AUDUSD", "0.65843", 14}, {"NZDUSD", "0.60127", 20},
    {"USDCAD", "1.36455", 20}, {"EURJPY", "163.872", 22}, {"GBPJPY", "191.455", 35},
    {"EURGBP", "0.85416", 15}, {"GOLD", "2034.15", 50},   {"XAUUSD", "2034.18", 35},
    {"XAGUSD", "22.915", 30},  {"USDX", "103.452", 50},   {"EURUSDmicro", "1.08515", 15},
};
constexpr int kGoldRow = 10;
constexpr int kLongSymbolRow = 14;

// The price moved by a number of points of its last digit: ("0.88217", 5) gives "0.88222".
std::string Shifted(const std::string& price, int points) {
    const std::size_t point = price.find('.');
    const std::size_t decimals = price.size() - point - 1;
    std::string digits = price;
    digits.erase(point, 1);
    std::string moved = std::to_string(std::stoll(digits) + points);
    if (moved.size() <= decimals)
        moved = std::string(decimals + 1 - moved.size(), '0') + moved;
    const std::size_t whole = moved.size() - decimals;
    return moved.substr(0, whole) + "." + moved.substr(whole);
}

// Prices of their own for every row, so a read of another terminal or a stale row shows.
std::vector<Quote> KnownQuotes(int variant) {
    std::vector<Quote> quotes;
    int row = 0;
    for (const Listed& listed : kDefaultList) {
        const std::string bid = Shifted(listed.bid, 100 * variant + 3 * row++);
        quotes.push_back({listed.symbol, bid, Shifted(bid, listed.spread)});
    }
    return quotes;
}

void ShowPrices(const Simulator& sim, const std::vector<Quote>& quotes) {
    for (const Quote& quote : quotes)
        ASSERT_TRUE(
            sim.Send(SimCommand::SetPrice, quote.symbol + " " + quote.bid + " " + quote.ask))
            << quote.symbol;
}

std::string Cut(const std::string& text) {
    return text.substr(0, kCellChars);
}

std::string CellOf(const Quote& quote, int column) {
    return Cut(column == kSymbolColumn ? quote.symbol
                                       : (column == kBidColumn ? quote.bid : quote.ask));
}

std::string AccountOf(const std::string& key) {
    static std::map<std::string, int> accounts;
    const auto found = accounts.try_emplace(key, 71000001 + static_cast<int>(accounts.size()));
    return std::to_string(found.first->second);
}

// Simulators started once and shared by the tests of a suite that leave them as they found
// them; ended with the suite, so no other test meets them. Each has an account of its own
// so "MTSource" can pick it among the others.
class SharedSimulators {
public:
    static Simulator* ForLayout(int layout) {
        std::unique_ptr<Simulator>& sim = running()[layout];
        if (!sim || !sim->IsRunning()) {
            sim = Simulator::Start("/layout:" + std::to_string(layout) + " /frozen /account:" +
                                   AccountOf("layout " + std::to_string(layout)));
        }
        return sim.get();
    }
    static void EndAll() { running().clear(); }

private:
    static std::map<int, std::unique_ptr<Simulator>>& running() {
        static std::map<int, std::unique_ptr<Simulator>> simulators;
        return simulators;
    }
};

std::string AccountInTitle(const Simulator& sim) {
    const std::string title = sim.Title();
    return title.substr(0, title.find(':') + 1);
}

// A fresh reader, created after the bid switch is written since it reads it once, and
// attached to this simulator among any others running.
std::unique_ptr<CMTHandler> AttachedReader(const Simulator& sim, bool showBid = true) {
    SetSetting("ShowBidPrice", showBid ? "1" : "0");
    SetSetting("MTSource", AccountInTitle(sim));
    auto reader = std::make_unique<CMTHandler>();
    EXPECT_EQ(reader->Attach(false), kAttachOk);
    EXPECT_EQ(reader->TerminalWindow(), reinterpret_cast<WindowHandle>(sim.Window()));
    return reader;
}

std::vector<std::string> ReadSymbols(CMTHandler& reader) {
    std::vector<std::string> symbols;
    EXPECT_TRUE(reader.GetSymbols(symbols));
    return symbols;
}

std::vector<std::string> ShownSymbols(const std::vector<Quote>& quotes) {
    std::vector<std::string> symbols;
    for (const Quote& quote : quotes)
        symbols.push_back(Cut(quote.symbol));
    return symbols;
}

int SelectionMark(const CMTHandler& reader) {
    return PlatformDesktop().ListSelectionMark(reader.MarketWatchList());
}

// The order window of the simulator other than `previous`, once it is the only one.
HWND WaitForOrderWindow(const Simulator& sim, HWND previous) {
    HWND order = nullptr;
    WaitUntil(
        [&] {
            const std::vector<HWND> windows =
                TopLevelWindows({"", kSimDefaultOrderTitle, sim.ProcessId()});
            order = windows.size() == 1 && windows.front() != previous ? windows.front() : nullptr;
            return order != nullptr;
        },
        kOrderTimeout);
    return order;
}

std::string OrderSymbol(HWND order) {
    return WindowText(GetDlgItem(order, IDC_SIM_ORDER_SYMBOL));
}

// Messages the reader shows, recorded instead of shown.
class RecordedMessages {
public:
    RecordedMessages() {
        SetMessageSink(
            [this](const std::string& text, const std::string&) { texts.push_back(text); });
    }
    ~RecordedMessages() { SetMessageSink({}); }
    std::vector<std::string> texts;
};

// ---- reading in each Market Watch layout --------------------------------------------

class ReaderLayoutTest : public ::testing::TestWithParam<int> {
protected:
    static void TearDownTestSuite() { SharedSimulators::EndAll(); }
};

TEST_P(ReaderLayoutTest, FindsItsListAndReadsEverySymbolBidAndAsk) {
    const int layout = GetParam();
    Simulator* sim = SharedSimulators::ForLayout(layout);
    ASSERT_NE(sim, nullptr);
    const std::vector<Quote> quotes = KnownQuotes(layout);
    ASSERT_NO_FATAL_FAILURE(ShowPrices(*sim, quotes));

    const auto reader = AttachedReader(*sim);
    // Each layout is found by its own search, and by none of those tried before it.
    for (int strategy = 1; strategy < layout; ++strategy)
        EXPECT_NE(reader->SearchStrategy(strategy, reader->TerminalWindow()).result,
                  MarketWatchSearch::Found)
            << "strategy " << strategy;
    const MarketWatchOutcome own = reader->SearchStrategy(layout, reader->TerminalWindow());
    EXPECT_EQ(own.result, MarketWatchSearch::Found);
    EXPECT_EQ(own.list, reader->MarketWatchList());

    EXPECT_EQ(ReadSymbols(*reader), ShownSymbols(quotes));
    const WindowHandle list = reader->MarketWatchList();
    for (int row = 0; row < static_cast<int>(quotes.size()); ++row) {
        const Quote& quote = quotes[static_cast<std::size_t>(row)];
        SCOPED_TRACE(quote.symbol);
        for (int column : {kSymbolColumn, kBidColumn, kAskColumn}) {
            std::string cell;
            EXPECT_TRUE(reader->ReadCell(list, row, column, cell));
            EXPECT_EQ(cell, CellOf(quote, column)) << "column " << column;
        }
        const bool findable = row != kLongSymbolRow; // read back cut, it matches nothing
        EXPECT_EQ(reader->FindRow(quote.symbol), findable ? row : -1);
        EXPECT_EQ(reader->GetPrice(quote.symbol, row), FormatPrice(quote.symbol, quote.bid));
    }

    const auto askReader = AttachedReader(*sim, false);
    EXPECT_FALSE(askReader->ShowBid());
    for (const Quote& quote : quotes) {
        SCOPED_TRACE(quote.symbol);
        const bool findable = quote.symbol.size() <= kCellChars;
        EXPECT_EQ(askReader->GetPrice(quote.symbol, -1),
                  FormatPrice(quote.symbol, findable ? quote.ask : ""));
    }
}

INSTANTIATE_TEST_SUITE_P(Reader, ReaderLayoutTest, ::testing::Range(1, 6),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return "Layout" + std::to_string(info.param);
                         });

// ---- changes, the order window, terminals that go away -------------------------------

class ReaderTest : public ::testing::Test {
protected:
    static void TearDownTestSuite() { SharedSimulators::EndAll(); }
};

TEST_F(ReaderTest, ChangesInTheTerminalReadBackAtOnce) {
    const auto sim =
        Simulator::Start("/layout:1 /frozen /interval:50 /account:" + AccountOf("changes"));
    ASSERT_NE(sim, nullptr);
    std::vector<Quote> quotes = KnownQuotes(7);
    ASSERT_NO_FATAL_FAILURE(ShowPrices(*sim, quotes));
    const auto reader = AttachedReader(*sim);
    const WindowHandle list = reader->MarketWatchList();

    ASSERT_TRUE(sim->Send(SimCommand::SetPrice, "EURUSD 1.09001 1.09015"));
    EXPECT_EQ(reader->GetPrice("EURUSD", 0), "1.0900");
    std::string cell;
    EXPECT_TRUE(reader->ReadCell(list, 0, kAskColumn, cell));
    EXPECT_EQ(cell, "1.09015");
    EXPECT_EQ(reader->FindRow("eurusd"), 0); // letters compared without case

    // The list fills at most the buffer it is given: nine characters and the terminator.
    ASSERT_TRUE(sim->Send(SimCommand::SetPrice, "GOLD 2034.1234567 2034.6234567"));
    EXPECT_TRUE(reader->ReadCell(list, kGoldRow, kBidColumn, cell));
    EXPECT_EQ(cell, "2034.1234");

    ASSERT_TRUE(sim->Send(SimCommand::AddSymbol, "EURSEK 11.40210 11.40980 0"));
    EXPECT_EQ(reader->FindRow("EURSEK"), 0);
    EXPECT_EQ(reader->FindRow("EURUSD"), 1);
    EXPECT_EQ(reader->GetPrice("EURSEK", 0), FormatPrice("EURSEK", "11.40210"));
    ASSERT_TRUE(sim->Send(SimCommand::MoveSymbol, "EURSEK 5"));
    EXPECT_EQ(reader->FindRow("EURSEK"), 5);
    EXPECT_EQ(reader->FindRow("EURUSD"), 0);
    ASSERT_TRUE(sim->Send(SimCommand::RemoveSymbol, "EURSEK"));
    EXPECT_EQ(reader->FindRow("EURSEK"), -1);
    quotes[0] = {"EURUSD", "1.09001", "1.09015"};
    EXPECT_EQ(ReadSymbols(*reader), ShownSymbols(quotes));

    // Live prices: once the walk runs, the reads follow it.
    const auto bids = [&] {
        std::vector<std::string> texts(static_cast<std::size_t>(kGoldRow));
        for (int row = 0; row < kGoldRow; ++row)
            reader->ReadCell(list, row, kBidColumn, texts[static_cast<std::size_t>(row)]);
        return texts;
    };
    const std::vector<std::string> frozen = bids();
    ASSERT_TRUE(sim->Send(SimCommand::ResumeWalk));
    EXPECT_TRUE(WaitUntil([&] { return bids() != frozen; }, kLiveMoveTimeout)) << "no price moved";
}

TEST_F(ReaderTest, OpenOrderWindowSelectsTheSymbolFromAboveAndBelow) {
    Simulator* sim = SharedSimulators::ForLayout(1);
    ASSERT_NE(sim, nullptr);
    const auto reader = AttachedReader(*sim);

    // GOLD lies below the selection: down-arrow keys.
    ASSERT_TRUE(sim->Send(SimCommand::SelectRow, "2"));
    reader->OpenOrderWindow("GOLD");
    EXPECT_EQ(SelectionMark(*reader), kGoldRow);
    const HWND first = WaitForOrderWindow(*sim, nullptr);
    ASSERT_NE(first, nullptr) << "no order window";
    EXPECT_EQ(OrderSymbol(first), "GOLD");

    // GBPUSD lies above the selection: up-arrow keys; the open order window gives way.
    ASSERT_TRUE(sim->Send(SimCommand::SelectRow, "12"));
    reader->OpenOrderWindow("GBPUSD");
    EXPECT_EQ(SelectionMark(*reader), 1);
    const HWND second = WaitForOrderWindow(*sim, first);
    ASSERT_NE(second, nullptr) << "no second order window";
    EXPECT_EQ(OrderSymbol(second), "GBPUSD");
    EXPECT_FALSE(IsWindow(first));

    // A symbol the list does not show changes nothing.
    reader->OpenOrderWindow("EURUSDmicro");
    EXPECT_EQ(SelectionMark(*reader), 1);
    EXPECT_TRUE(IsWindow(second));

    // A hidden terminal is shown for its order window.
    ASSERT_TRUE(sim->Send(SimCommand::HideTerminal));
    ASSERT_FALSE(IsWindowVisible(sim->Window()));
    reader->OpenOrderWindow("EURUSD");
    EXPECT_TRUE(IsWindowVisible(sim->Window()));
    const HWND third = WaitForOrderWindow(*sim, second);
    ASSERT_NE(third, nullptr) << "no order window from the hidden terminal";
    EXPECT_EQ(OrderSymbol(third), "EURUSD");
    SendMessageTimeoutW(third, WM_CLOSE, 0, 0, SMTO_ABORTIFHUNG, 2000, nullptr);
}

TEST_F(ReaderTest, ReadsTheListsOfTwoTerminalsInTurn) {
    Simulator* one = SharedSimulators::ForLayout(1);
    Simulator* two = SharedSimulators::ForLayout(2);
    ASSERT_NE(one, nullptr);
    ASSERT_NE(two, nullptr);
    const std::vector<Quote> quotesOne = KnownQuotes(1);
    const std::vector<Quote> quotesTwo = KnownQuotes(2);
    ASSERT_NO_FATAL_FAILURE(ShowPrices(*one, quotesOne));
    ASSERT_NO_FATAL_FAILURE(ShowPrices(*two, quotesTwo));
    const auto reader = AttachedReader(*one);
    const WindowHandle listTwo = AttachedReader(*two)->MarketWatchList();

    // Each change of process reopens it and moves the request block there.
    for (int round = 0; round < 4; ++round) {
        const bool first = round % 2 == 0;
        const WindowHandle list = first ? reader->MarketWatchList() : listTwo;
        const std::vector<Quote>& quotes = first ? quotesOne : quotesTwo;
        std::string cell;
        EXPECT_TRUE(reader->ReadCell(list, round, kBidColumn, cell));
        EXPECT_EQ(cell, quotes[static_cast<std::size_t>(round)].bid) << "round " << round;
    }
}

struct ReadRun {
    int reads = 0;
    int wrong = 0;
    bool failed = false;
};

// Reads cells in turn until one fails, counting the reads that gave another cell's text.
ReadRun ReadUntilFailure(CMTHandler& reader, const std::vector<Quote>& quotes,
                         std::atomic<int>& progress) {
    ReadRun run;
    const WindowHandle list = reader.MarketWatchList();
    const auto deadline = std::chrono::steady_clock::now() + kReadTimeout;
    while (std::chrono::steady_clock::now() < deadline) {
        const int row = run.reads % static_cast<int>(quotes.size());
        const int column = run.reads % 3;
        std::string cell;
        if (!reader.ReadCell(list, row, column, cell)) {
            run.failed = true;
            break;
        }
        if (cell != CellOf(quotes[static_cast<std::size_t>(row)], column))
            ++run.wrong;
        progress = ++run.reads;
    }
    return run;
}

void ExpectReadFailsWhenTheTerminalGoes(const char* name,
                                        const std::function<void(Simulator&)>& endIt) {
    SCOPED_TRACE(name);
    const auto sim =
        Simulator::Start("/layout:1 /frozen /account:" + AccountOf(std::string("gone ") + name));
    ASSERT_NE(sim, nullptr);
    const std::vector<Quote> quotes = KnownQuotes(3);
    ASSERT_NO_FATAL_FAILURE(ShowPrices(*sim, quotes));
    const auto reader = AttachedReader(*sim);

    std::atomic<int> progress{0};
    std::thread ender([&] {
        WaitUntil([&] { return progress >= kReadsBeforeQuit; }, kReadTimeout);
        endIt(*sim);
    });
    const ReadRun run = ReadUntilFailure(*reader, quotes, progress);
    ender.join();
    EXPECT_TRUE(run.failed) << "reads went on after the terminal ended";
    EXPECT_GE(run.reads, kReadsBeforeQuit);
    EXPECT_EQ(run.wrong, 0);
    EXPECT_FALSE(sim->IsRunning());

    std::string cell = "stale";
    EXPECT_FALSE(reader->ReadCell(reader->MarketWatchList(), 0, kBidColumn, cell));
    EXPECT_EQ(cell, "");
    EXPECT_EQ(reader->GetPrice("EURUSD", 0), FormatPrice("EURUSD", ""));
    RecordedMessages messages;
    std::vector<std::string> symbols;
    EXPECT_FALSE(reader->GetSymbols(symbols));
    EXPECT_EQ(messages.texts, std::vector<std::string>{GetMessage(kListGoneMessage)});

    // A terminal started again is attached afresh, and read in its own process.
    const auto again =
        Simulator::Start("/layout:4 /frozen /account:" + AccountOf(std::string("again ") + name));
    ASSERT_NE(again, nullptr);
    const std::vector<Quote> newQuotes = KnownQuotes(4);
    ASSERT_NO_FATAL_FAILURE(ShowPrices(*again, newQuotes));
    SetSetting("MTSource", AccountInTitle(*again));
    EXPECT_TRUE(reader->IsTerminalRunning());
    ASSERT_EQ(reader->Attach(false), kAttachOk);
    EXPECT_TRUE(reader->ReadCell(reader->MarketWatchList(), 3, kAskColumn, cell));
    EXPECT_EQ(cell, newQuotes[3].ask);
}

TEST_F(ReaderTest, TerminalEndingMidReadFailsTheReadWithoutACrash) {
    ExpectReadFailsWhenTheTerminalGoes("quit", [](Simulator& sim) { EXPECT_TRUE(sim.Quit()); });
    ExpectReadFailsWhenTheTerminalGoes("killed", [](Simulator& sim) { sim.Kill(); });
}

// ---- starting a terminal that is not running -----------------------------------------

// "C:\Program Files\<folder>\terminal.exe", a copy of the simulator, with no terminal running.
class ReaderStartTest : public ::testing::Test {
protected:
    static constexpr char kProgramFiles[] = "C:\\Program Files";
    static constexpr char kFolderPrefix[] = "pw reader ";

    void SetUp() override {
        SharedSimulators::EndAll();
        ASSERT_TRUE(WaitUntil([] { return !CMTHandler().IsTerminalRunning(); }, kStartTimeout))
            << "a terminal is still running";
        RemoveFoldersOfEarlierRuns();
        folder = std::string(kProgramFiles) + "\\" + kFolderPrefix +
                 std::to_string(GetCurrentProcessId());
        program = folder + "\\terminal.exe";
        CreateDirectoryW(Widen(folder).c_str(), nullptr);
        ASSERT_TRUE(CopyFileW(Widen(SimulatorProgram()).c_str(), Widen(program).c_str(), FALSE))
            << "cannot copy the simulator to " << program;
        SetSetting("MTPATH", "");
        SetSetting("MTSource", "");
        SetSetting("OPTGENRUNMT4", "");
    }
    void TearDown() override {
        if (folder.empty())
            return;
        EndProcessesUnder(folder);
        WaitUntil(
            [&] {
                DeleteFileW(Widen(program).c_str());
                return RemoveDirectoryW(Widen(folder).c_str()) != 0;
            },
            kStartTimeout);
        SetSetting("OPTGENRUNMT4", "");
    }
    // A run that was cut short leaves its folder, which the folder scan would find first.
    static void RemoveFoldersOfEarlierRuns() {
        WIN32_FIND_DATAW entry{};
        const std::wstring programFiles = Widen(kProgramFiles);
        HANDLE find =
            FindFirstFileW((programFiles + L"\\" + Widen(kFolderPrefix) + L"*").c_str(), &entry);
        if (find == INVALID_HANDLE_VALUE)
            return;
        do {
            const std::wstring stale = programFiles + L"\\" + entry.cFileName;
            DeleteFileW((stale + L"\\terminal.exe").c_str());
            RemoveDirectoryW(stale.c_str());
        } while (FindNextFileW(find, &entry));
        FindClose(find);
    }
    bool TerminalStarted() const { return !ProcessesOf(program).empty(); }

    std::string folder;
    std::string program;
};

TEST_F(ReaderStartTest, DeclinedOrNotAskedStartsNothing) {
    CMTHandler reader;
    EXPECT_EQ(reader.FindTerminalPath(), program);
    EXPECT_EQ(reader.Attach(false), kAttachTerminalNotRunning);

    // The question box of this process, answered Cancel.
    std::string text, caption;
    std::thread answer([&] {
        const HWND box = WaitForWindow({"#32770", std::nullopt, GetCurrentProcessId()});
        if (!box)
            return;
        // The box may show before its texts are set.
        WaitUntil([&] { return !(text = MessageBoxText(box)).empty(); }, kBoxTextTimeout);
        caption = WindowText(box);
        PressButton(box, IDCANCEL);
    });
    EXPECT_EQ(reader.Attach(true), kAttachTerminalNotRunning);
    answer.join();
    EXPECT_FALSE(text.empty()) << "no question box";
    EXPECT_EQ(text, GetMessage(kStartQuestionMessage));
    EXPECT_EQ(caption, GetMessage(kCaptionMessage));
    EXPECT_FALSE(TerminalStarted());
    EXPECT_TRUE(reader.IsStartAllowed());
}

TEST_F(ReaderStartTest, StartsTheTerminalAndAttachesWithinTheWait) {
    SetSetting("OPTGENRUNMT4", "1"); // start without asking
    CMTHandler reader;
    const auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(reader.Attach(true), kAttachOk);
    const auto took = std::chrono::steady_clock::now() - started;
    EXPECT_LT(took, kStartLimit);
    std::cout << "[ reader   ] started and attached in "
              << std::chrono::duration_cast<Milliseconds>(took).count() << " ms\n";

    const std::vector<DWORD> ids = ProcessesOf(program);
    ASSERT_EQ(ids.size(), 1u) << "not one terminal started from " << program;
    EXPECT_EQ(PlatformDesktop().ProcessOf(reader.TerminalWindow()), ids.front());
    EXPECT_FALSE(reader.IsStartAllowed());
    const std::vector<std::string> symbols = ReadSymbols(reader);
    ASSERT_FALSE(symbols.empty());
    EXPECT_EQ(symbols.front(), "EURUSD");
}

} // namespace
