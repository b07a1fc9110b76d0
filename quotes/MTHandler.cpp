#include "quotes/MTHandler.h"
#include "platform/MessageBox.h"
#include "platform/Text.h"
#include "quotes/PriceFormat.h"
#include "quotes/QuoteKeys.h"
#include "quotes/ReaderText.h"
#include "settings/BarSettings.h"
#include "settings/Config.h"
#include "settings/OptionKeys.h"
#include "settings/TextIds.h"
#include <algorithm>
#include "settings/LangTable.h"

namespace {
constexpr std::size_t kMaxTopLevelWindows = 1000;
constexpr std::size_t kSourceChars = 20;
constexpr std::size_t kTitleChars = 127;
constexpr std::size_t kClassChars = 257;
const char* const kTerminalClass = "MetaQuotes::MetaTrader";
const char* const kListViewClass = "syslistview32";

// Starting the terminal: at most 10 seconds of looking for its windows.
constexpr int kStartRounds = 50;
constexpr int kStartPauseMs = 200;

} // namespace

CMTHandler::CMTHandler()
    : displayCurrencies(Config().Get(barkey::kDisplayList)),
      showBid(Config().Get(quotekey::kShowBid) != "0") {}

CMTHandler::CMTHandler(Desktop& desktop) : CMTHandler() {
    boundDesktop = &desktop;
}

std::string CMTHandler::EnumTerminals() {
    const std::vector<WindowHandle> windows = Desk().TopLevelWindows(kMaxTopLevelWindows);
    const std::string source =
        FirstCharacters(Config().Get(quotekey::kTerminalSource), kSourceChars);
    const WindowHandle previous = selectedTerminal >= 0 ? terminals[selectedTerminal] : 0;
    terminals.clear();
    terminalTitles.clear();
    int matched = -1;
    std::string titles;
    for (const WindowHandle window : windows) {
        if (!Contains(FirstCharacters(Desk().ClassName(window), kClassChars), kTerminalClass))
            continue;
        const std::string title = FirstCharacters(Desk().Title(window), kTitleChars);
        if (!source.empty() && Contains(title, source))
            matched = static_cast<int>(terminals.size()); // the later match wins
        terminals.push_back(window);
        terminalTitles.push_back(title);
        titles += title + "#";
    }
    if (terminals.size() == 1) {
        selectedTerminal = 0;
    } else if (matched >= 0) {
        selectedTerminal = matched;
    } else {
        // An earlier choice stays with its window, and goes when that window has gone.
        const auto kept = std::find(terminals.begin(), terminals.end(), previous);
        selectedTerminal =
            previous && kept != terminals.end() ? static_cast<int>(kept - terminals.begin()) : -1;
    }
    return titles;
}

bool CMTHandler::IsTerminalRunning() {
    EnumTerminals();
    return !terminals.empty();
}

void CMTHandler::SelectTerminal() {
    if (selectedTerminal >= 0)
        return;
    if (terminals.empty())
        EnumTerminals();
    if (!terminals.empty() && selectedTerminal < 0)
        selectedTerminal = 0;
    if (terminals.size() != 1)
        Config().Set(quotekey::kChosenTerminal, "");
}

bool CMTHandler::TakeSelectedTerminal() {
    terminalWindow = selectedTerminal >= 0 ? terminals[selectedTerminal] : 0;
    return terminalWindow != 0;
}

// False when the user declined. `roundsLeft` is what remains of the start wait once the
// started terminal's window has appeared.
bool CMTHandler::StartTerminal(const std::string& path, bool ask, int& roundsLeft) {
    if (Config().Get(optkey::kRunTerminal) != "1" && ask &&
        !AskOkCancel(GetMessage(kMsgStartTerminal), GetMessage(kMsgProgramTitle)))
        return false;
    if (!ask)
        return true;
    EnumTerminals();
    if (TakeSelectedTerminal() || !Desk().StartProgram(path))
        return true;
    for (int round = 1; round <= kStartRounds; ++round) {
        EnumTerminals();
        if (TakeSelectedTerminal()) {
            roundsLeft = kStartRounds - round;
            return true;
        }
        if (round < kStartRounds)
            Desk().Wait(kStartPauseMs);
    }
    return true;
}

int CMTHandler::Attach(bool ask) {
    if (Desk().IsWindow(marketWatchList))
        return kAttachOk;
    SelectTerminal();
    TakeSelectedTerminal();
    std::string path;
    int roundsLeft = 0;
    if (!terminalWindow && startAllowed) {
        path = FindTerminalPath();
        if (!path.empty() && !StartTerminal(path, ask, roundsLeft))
            return kAttachTerminalNotRunning;
    }
    if (!terminalWindow) {
        if (!startAllowed)
            return kAttachStartNotAllowed;
        return path.empty() ? kAttachNoTerminalNoProgram : kAttachTerminalNotRunning;
    }
    MarketWatchOutcome outcome = FindMarketWatch();
    // A terminal we have just started builds its Market Watch after its main window.
    while (outcome.result != MarketWatchSearch::Found && roundsLeft-- > 0) {
        Desk().Wait(kStartPauseMs);
        outcome = FindMarketWatch();
    }
    if (outcome.result == MarketWatchSearch::Found) {
        marketWatchList = outcome.list;
        startAllowed = false;
        return kAttachOk;
    }
    if (!startAllowed)
        return kAttachStartNotAllowed;
    return outcome.result == MarketWatchSearch::NotFound ? kAttachNoMarketWatch : kAttachNoListView;
}

bool CMTHandler::ReadCell(WindowHandle list, int row, int column, std::string& text) {
    return listReader.ReadCell(Desk(), list, row, column, text);
}

std::vector<std::optional<std::string>> CMTHandler::ReadCells(const std::vector<ListCell>& cells) {
    return listReader.ReadCells(Desk(), marketWatchList, cells);
}

bool CMTHandler::GetSymbols(std::vector<std::string>& symbols) {
    if (!Desk().IsWindow(marketWatchList)) {
        ShowMessageBox(GetMessage(kMsgMarketWatchGone), GetMessage(kMsgProgramTitle));
        return false;
    }
    // A window handle outlives its window: the number may name another window by now.
    if (!Contains(ToLowerAscii(Desk().ClassName(marketWatchList)), kListViewClass)) {
        ShowMessageBox(GetMessage(kMsgMarketWatchUnreadable), GetMessage(kMsgProgramTitle));
        return false;
    }
    std::vector<ListCell> column;
    for (int row = 0, count = Desk().ListItemCount(marketWatchList); row < count; ++row)
        column.push_back({row, kSymbolColumn});
    for (const std::optional<std::string>& symbol : ReadCells(column))
        symbols.push_back(symbol.value_or(""));
    return true;
}

int CMTHandler::FindRow(const std::string& symbol) {
    if (symbol.empty())
        return -1;
    const int count = Desk().ListItemCount(marketWatchList);
    for (int row = 0; row < count; ++row) {
        std::string text;
        if (ReadCell(marketWatchList, row, kSymbolColumn, text) && EqualsNoCase(text, symbol))
            return row;
    }
    return -1;
}

std::string CMTHandler::GetPrice(const std::string& symbol, int row) {
    if (row < 0)
        row = FindRow(symbol);
    std::string raw;
    if (row >= 0)
        ReadCell(marketWatchList, row, PriceColumn(), raw);
    return FormatPrice(symbol, raw);
}

CMTHandler& MTHandler() {
    // Built first, the platform desktop outlives the reader, which releases its block at exit.
    static Desktop& platform = PlatformDesktop();
    static CMTHandler handler;
    static_cast<void>(platform);
    return handler;
}
