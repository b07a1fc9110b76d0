// Figures of the terminal reader on the real desktop against a simulated terminal: the
// cost of one cell read, and how many calls into the terminal a price refresh of the
// displayed pairs makes.
//
//   reader_bench [/reads:N] [/pairs:EURUSD,GBPUSD,...]
//   reader_bench /missing [/pairs:...]   the main tick's scan with one displayed pair the
//                                       terminal does not list: searched on every tick
//                                       (as before) beside searched on a change of the
//                                       row count or every 30 s
//
// mt4sim.exe must lie beside this program. Exit code 0 when the figures were taken.
#include "app/QuoteScan.h"
#include "app/TerminalRows.h"
#include "platform/Clock.h"
#include "platform/Desktop.h"
#include "platform/Text.h"
#include "quotes/MTHandler.h"
#include "settings/AppConfig.h"
#include "settings/Config.h"
#include "tools/bench/CountingDesktop_win.h"
#include "tools/mt4sim/SimClient_win.h"

#include <windows.h>

#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {
constexpr int kListRows = 40;
constexpr int kDefaultReads = 4000;
constexpr int kWarmUpReads = 200;
constexpr int kLaterRefreshes = 100;
constexpr DWORD kStartTimeoutMs = 20000;
constexpr DWORD kPollMs = 20;
constexpr DWORD kEndTimeoutMs = 5000;
// Pairs a trader keeps on the bar, spread over the first rows of the list as brokers order
// them; the last is a cross below the default symbols.
const char* const kDefaultPairs = "EURUSD,GBPUSD,USDJPY,AUDUSD,USDCAD,EURJPY,GOLD,EURCHF";
const char* const kMissingPair = "USDTRY";
// The main tick's period in use; the scan comparison moves the program clock by it.
constexpr std::uint32_t kMainTickMs = 2000;
constexpr int kScanTicks = 60;

struct Options {
    bool missingScan = false;
    int reads = kDefaultReads;
    std::vector<std::string> pairs;
};

std::vector<std::string> SplitCommas(const std::string& text) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t comma = std::min(text.find(',', start), text.size());
        if (comma > start)
            parts.push_back(text.substr(start, comma - start));
        start = comma + 1;
    }
    return parts;
}

std::vector<std::string> Arguments() {
    std::vector<std::string> args;
    int count = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &count);
    for (int i = 1; argv && i < count; ++i)
        args.push_back(Narrow(argv[i]));
    LocalFree(argv);
    return args;
}

bool ParseOptions(Options& options) {
    options.pairs = SplitCommas(kDefaultPairs);
    for (const std::string& arg : Arguments()) {
        if (arg == "/missing") {
            options.missingScan = true;
        } else if (arg.rfind("/reads:", 0) == 0) {
            options.reads = std::atoi(arg.c_str() + 7);
            if (options.reads < 1)
                return false;
        } else if (arg.rfind("/pairs:", 0) == 0) {
            options.pairs = SplitCommas(arg.substr(7));
            if (options.pairs.empty())
                return false;
        } else {
            return false;
        }
    }
    return true;
}

std::wstring OwnFolder() {
    std::wstring path(MAX_PATH, L'\0');
    path.resize(GetModuleFileNameW(nullptr, path.data(), MAX_PATH));
    return path.substr(0, path.rfind(L'\\'));
}

// The settings the reader reads and writes, in a folder of the benchmark's own.
class BenchSettings {
public:
    BenchSettings() {
        wchar_t temp[MAX_PATH + 1] = {};
        GetTempPathW(MAX_PATH + 1, temp);
        folder = std::wstring(temp) + L"pw bench " + std::to_wstring(GetCurrentProcessId());
        CreateDirectoryW(folder.c_str(), nullptr);
        AppEnvironment environment = SystemEnvironment();
        environment.programPath = Narrow(folder) + "\\Pipwarden.exe";
        config = std::make_unique<CAppConfig>(environment);
        SetAppConfig(config.get());
    }
    ~BenchSettings() {
        DeleteFileW(Widen(Config().GetPath()).c_str());
        RemoveDirectoryW(folder.c_str());
    }

private:
    std::wstring folder;
    std::unique_ptr<CAppConfig> config;
};

// The simulated terminal, ended when this goes.
class Terminal {
public:
    bool Start(const std::wstring& program, const std::string& account) {
        std::wstring commandLine = L"\"" + program + L"\" /rows:" + std::to_wstring(kListRows) +
                                   L" /frozen /account:" + Widen(account);
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION info{};
        if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                            nullptr, nullptr, &startup, &info))
            return false;
        CloseHandle(info.hThread);
        process = info.hProcess;
        processId = info.dwProcessId;
        for (DWORD waited = 0; waited < kStartTimeoutMs && !window; waited += kPollMs) {
            EnumWindows(FindOwnWindow, reinterpret_cast<LPARAM>(this));
            if (!window)
                Sleep(kPollMs);
        }
        return window != nullptr;
    }
    ~Terminal() {
        if (!process)
            return;
        if (!window || !SendSimCommand(window, SimCommand::Quit) ||
            WaitForSingleObject(process, kEndTimeoutMs) != WAIT_OBJECT_0)
            TerminateProcess(process, 1);
        CloseHandle(process);
    }

private:
    static BOOL CALLBACK FindOwnWindow(HWND candidate, LPARAM context) {
        auto* self = reinterpret_cast<Terminal*>(context);
        DWORD owner = 0;
        GetWindowThreadProcessId(candidate, &owner);
        wchar_t name[64] = {};
        GetClassNameW(candidate, name, 64);
        if (owner == self->processId && Narrow(name) == kSimTerminalClass) {
            self->window = candidate;
            return FALSE;
        }
        return TRUE;
    }

    HANDLE process = nullptr;
    DWORD processId = 0;
    HWND window = nullptr;
};

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double Percentile(std::vector<double> values, int percent) {
    std::sort(values.begin(), values.end());
    return values[(values.size() - 1) * static_cast<std::size_t>(percent) / 100];
}

void MeasureReadCell(CMTHandler& reader, CountingDesktop& desk, int reads) {
    const WindowHandle list = reader.MarketWatchList();
    std::string cell;
    for (int i = 0; i < kWarmUpReads; ++i)
        reader.ReadCell(list, i % kListRows, i % 3, cell);
    desk.tally = {};
    std::vector<double> times;
    times.reserve(static_cast<std::size_t>(reads));
    int failed = 0;
    for (int i = 0; i < reads; ++i) {
        const LONGLONG start = Now();
        if (!reader.ReadCell(list, i % kListRows, i % 3, cell))
            ++failed;
        times.push_back(Microseconds(Now() - start));
    }
    double total = 0;
    for (double t : times)
        total += t;
    const Tally& t = desk.tally;
    std::printf("ReadCell: median %.1f us  (p10 %.1f, p90 %.1f, mean %.1f) over %d reads%s\n",
                Median(times), Percentile(times, 10), Percentile(times, 90), total / reads, reads,
                failed ? " - SOME FAILED" : "");
    std::printf("  one read = 1 memory write + 1 LVM_GETITEMTEXT message + 1 memory read;"
                " mean %.1f + %.1f + %.1f us\n",
                Microseconds(t.writeTicks) / t.writes, Microseconds(t.itemTextTicks) / t.itemTexts,
                Microseconds(t.readTicks) / t.reads);
}

struct RefreshFigures {
    Tally tally;
    double milliseconds = 0;
};

template <class Refresh> RefreshFigures Counted(CountingDesktop& desk, Refresh refresh) {
    desk.tally = {};
    const LONGLONG start = Now();
    refresh();
    return {desk.tally, Microseconds(Now() - start) / 1000};
}

void PrintRefresh(const char* name, const RefreshFigures& figures) {
    const Tally& t = figures.tally;
    std::printf("%s: %d cell reads (LVM_GETITEMTEXT), %d row-count messages, %d memory copies;"
                " %d calls into the terminal in all; %.2f ms\n",
                name, t.itemTexts, t.itemCounts, t.writes + t.reads,
                t.Messages() + t.writes + t.reads, figures.milliseconds);
}

void MeasureRefreshes(CMTHandler& reader, CountingDesktop& desk,
                      const std::vector<std::string>& pairs) {
    std::vector<int> rows(pairs.size(), -1);
    std::vector<std::string> prices(pairs.size());
    // The first refresh looks every pair up once; the rows are kept for the later ones.
    const RefreshFigures first = Counted(desk, [&] {
        for (std::size_t i = 0; i < pairs.size(); ++i) {
            rows[i] = reader.FindRow(pairs[i]);
            prices[i] = reader.GetPrice(pairs[i], rows[i]);
        }
    });
    std::printf("displayed pairs (row):");
    for (std::size_t i = 0; i < pairs.size(); ++i)
        std::printf(" %s(%d)=%s", pairs[i].c_str(), rows[i], prices[i].c_str());
    std::printf("\n");
    PrintRefresh("first refresh (FindRow once per pair, then GetPrice with the kept row)", first);

    std::vector<double> laterTimes;
    RefreshFigures later;
    for (int round = 0; round < kLaterRefreshes; ++round) {
        later = Counted(desk, [&] {
            for (std::size_t i = 0; i < pairs.size(); ++i)
                prices[i] = reader.GetPrice(pairs[i], rows[i]);
        });
        laterTimes.push_back(later.milliseconds);
    }
    later.milliseconds = Median(laterTimes);
    PrintRefresh("later refresh (GetPrice with the kept row; median time of 100)", later);

    // The main tick's scan, which reads the kept rows' symbols and prices in one batch.
    TerminalRows terminalRows(reader);
    CQuoteScan scan;
    const std::string displayList = JoinList(pairs);
    scan.Scan(pairs, displayList, terminalRows);
    std::vector<double> scanTimes;
    RefreshFigures scanned;
    for (int round = 0; round < kLaterRefreshes; ++round) {
        scanned = Counted(desk, [&] { scan.Scan(pairs, displayList, terminalRows); });
        scanTimes.push_back(scanned.milliseconds);
    }
    scanned.milliseconds = Median(scanTimes);
    PrintRefresh("main tick scan (symbol and price of each kept row in one batch; median of 100)",
                 scanned);

    // A kept row of -1 looks the pair up again on every refresh.
    const RefreshFigures missing = Counted(desk, [&] { reader.GetPrice(kMissingPair, -1); });
    PrintRefresh("one displayed pair missing from the list, each refresh", missing);
}
// The program clock, moved by the benchmark one main tick at a time.
class TickingClock final : public Clock {
public:
    LocalTime Now() const override { return PlatformClock().Now(); }
    std::uint32_t TickCount() const override { return ticks; }
    std::uint32_t ticks = 0;
};

struct ScanFigures {
    std::vector<double> milliseconds;
    std::vector<std::vector<std::string>> texts; // per tick
    int cellReads = 0;
    int calls = 0;

    double Mean() const {
        double sum = 0;
        for (double ms : milliseconds)
            sum += ms;
        return sum / static_cast<double>(milliseconds.size());
    }
};

void TimeScan(CountingDesktop& desk, CQuoteScan& scan, const std::vector<std::string>& columns,
              const std::string& displayList, TerminalRows& rows, ScanFigures& figures) {
    desk.tally = {};
    const LONGLONG start = Now();
    std::vector<std::string> texts;
    for (const ScannedPrice& price : scan.Scan(columns, displayList, rows))
        texts.push_back(price.text);
    figures.milliseconds.push_back(Microseconds(Now() - start) / 1000);
    figures.texts.push_back(std::move(texts));
    figures.cellReads += desk.tally.itemTexts;
    figures.calls += desk.tally.Messages() + desk.tally.writes + desk.tally.reads;
}

void MeasureMissingPair(CMTHandler& reader, CountingDesktop& desk,
                        std::vector<std::string> columns) {
    columns.push_back(kMissingPair);
    CQuoteScan everyTick(0); // looks for the missing pair on every refresh, as before
    CQuoteScan onChange;
    TickingClock clock;
    SetCurrentClock(&clock);
    const std::string displayList = JoinList(columns);
    TerminalRows rows(reader);
    ScanFigures before, after;
    // Alternate ticks, so that both see the same load of the machine.
    for (int tick = 0; tick < kScanTicks; ++tick, clock.ticks += kMainTickMs) {
        TimeScan(desk, everyTick, columns, displayList, rows, before);
        TimeScan(desk, onChange, columns, displayList, rows, after);
    }
    SetCurrentClock(nullptr);
    const auto perTick = [](int count) { return static_cast<double>(count) / kScanTicks; };
    std::printf("main tick scan, %zu listed pairs and %s not listed, %d ticks %u s apart on "
                "the program clock, the two scans taking turns:\n",
                columns.size() - 1, kMissingPair, kScanTicks, kMainTickMs / 1000);
    std::printf("  %-34s %18s %22s\n", "", "before: every tick", "after: on change/30 s");
    std::printf("  %-34s %18.2f %22.2f\n", "mean ms per tick", before.Mean(), after.Mean());
    std::printf("  %-34s %18.2f %22.2f\n", "median ms per tick", Median(before.milliseconds),
                Median(after.milliseconds));
    std::printf("  %-34s %18.2f %22.2f\n", "max ms per tick",
                *std::max_element(before.milliseconds.begin(), before.milliseconds.end()),
                *std::max_element(after.milliseconds.begin(), after.milliseconds.end()));
    std::printf("  %-34s %18.1f %22.1f\n", "cell reads per tick (mean)", perTick(before.cellReads),
                perTick(after.cellReads));
    std::printf("  %-34s %18.1f %22.1f\n", "calls into the terminal per tick",
                perTick(before.calls), perTick(after.calls));
    std::printf("  same texts on every tick: %s\n", before.texts == after.texts ? "yes" : "NO");
}
} // namespace

int main() {
    Options options;
    if (!ParseOptions(options)) {
        std::fprintf(stderr,
                     "usage: reader_bench [/missing] [/reads:N] [/pairs:EURUSD,GBPUSD,...]\n");
        return 2;
    }
    BenchSettings settings;
    const std::string account = std::to_string(77000000 + GetCurrentProcessId() % 1000000);
    Terminal terminal;
    if (!terminal.Start(OwnFolder() + L"\\mt4sim.exe", account)) {
        std::fprintf(stderr, "reader_bench: the simulated terminal did not come up\n");
        return 1;
    }
    Config().Set("MTSource", account + ":"); // this terminal among any others running
    CountingDesktop desk(PlatformDesktop());
    SetCurrentDesktop(&desk); // the scan's row count goes through it too
    CMTHandler reader(desk);
    const int attached = reader.Attach(false);
    if (attached != kAttachOk) {
        std::fprintf(stderr, "reader_bench: Attach gave %d\n", attached);
        return 1;
    }
    if (options.missingScan) {
        MeasureMissingPair(reader, desk, options.pairs);
        SetCurrentDesktop(nullptr);
        return 0;
    }
    std::printf("terminal reader against mt4sim /rows:%d, %zu displayed pairs\n", kListRows,
                options.pairs.size());
    MeasureReadCell(reader, desk, options.reads);
    MeasureRefreshes(reader, desk, options.pairs);
    SetCurrentDesktop(nullptr);
    return 0;
}
