#pragma once
#include "platform/Desktop.h"
#include "quotes/PriceSource.h"
#include "quotes/RemoteListReader.h"
#include <optional>
#include <string>
#include <vector>

// Results of CMTHandler::Attach.
inline constexpr int kAttachOk = 0;
inline constexpr int kAttachNoTerminalNoProgram = 1;
inline constexpr int kAttachTerminalNotRunning = 2; // declined, not asked, or did not appear
inline constexpr int kAttachNoMarketWatch = 3;
inline constexpr int kAttachNoListView = 4;
inline constexpr int kAttachStartNotAllowed = 100;

// Columns of the Market Watch list.
inline constexpr int kSymbolColumn = 0;
inline constexpr int kBidColumn = 1;
inline constexpr int kAskColumn = 2;

enum class MarketWatchSearch { Found, NotFound, NoListView };

struct MarketWatchOutcome {
    MarketWatchSearch result = MarketWatchSearch::NotFound;
    WindowHandle list = 0;
};

// The MetaTrader terminal reader: finds the terminal's windows and its Market Watch list,
// reads the list's cells from the terminal's process, and starts and drives the terminal.
class CMTHandler final : public PriceSource {
public:
    static constexpr int kStrategyCount = 5;

    CMTHandler(); // on whatever desktop is current at each call
    explicit CMTHandler(Desktop& desktop);
    ~CMTHandler() override = default;
    CMTHandler(const CMTHandler&) = delete;
    CMTHandler& operator=(const CMTHandler&) = delete;

    // The titles of the running terminals, each followed by "#".
    std::string EnumTerminals();
    bool IsTerminalRunning();
    int Attach(bool ask);

    bool GetSymbols(std::vector<std::string>& symbols) override;
    int FindRow(const std::string& symbol) override;
    std::string GetPrice(const std::string& symbol, int row) override;
    bool ReadCell(WindowHandle list, int row, int column, std::string& text);
    // Cells of the Market Watch in one go across the process boundary (RemoteListReader).
    std::vector<std::optional<std::string>> ReadCells(const std::vector<ListCell>& cells);
    int PriceColumn() const { return showBid ? kBidColumn : kAskColumn; }

    std::string FindTerminalPath();
    void ShowHideTerminals();
    void OpenOrderWindow(const std::string& symbol);
    std::string ReadMarketTimeFile();

    // Depth first in FindWindowEx order, a window before its children; the first match.
    WindowHandle FindChild(WindowHandle parent, const std::string& classFilter,
                           const std::string& titleFilter);
    // One of the Market Watch searches, numbered 1 to 5, from the terminal window.
    MarketWatchOutcome SearchStrategy(int strategy, WindowHandle terminal);

    bool ShowBid() const { return showBid; }
    void SetShowBid(bool bid) { showBid = bid; }
    bool IsStartAllowed() const { return startAllowed; }
    // The user has just started a terminal that may take long to load.
    void NoteTerminalStarting() { terminalStarting = true; }
    bool TerminalStarting() const { return terminalStarting; }
    WindowHandle TerminalWindow() const { return terminalWindow; }
    WindowHandle MarketWatchList() const { return marketWatchList; }
    const std::string& DisplayCurrencies() const { return displayCurrencies; }
    const std::vector<std::string>& TerminalTitles() const { return terminalTitles; }
    int SelectedTerminal() const { return selectedTerminal; }

private:
    Desktop& Desk() { return boundDesktop ? *boundDesktop : CurrentDesktop(); }
    void SelectTerminal();
    bool StartTerminal(const std::string& path, bool ask, int& roundsLeft);
    bool TakeSelectedTerminal();
    MarketWatchOutcome FindMarketWatch();
    bool ChildMatches(WindowHandle child, const std::string& classFilter,
                      const std::string& titleFilter);
    void MoveSelectionTo(int row);
    void CloseOrderWindow();

    Desktop* boundDesktop = nullptr;
    RemoteListReader listReader;
    std::string displayCurrencies;
    bool showBid = true;
    bool startAllowed = true;
    bool terminalStarting = false;
    WindowHandle terminalWindow = 0;
    WindowHandle marketWatchList = 0;

    std::vector<WindowHandle> terminals;
    std::vector<std::string> terminalTitles;
    int selectedTerminal = -1;
};

// The program's one reader, on the platform desktop.
CMTHandler& MTHandler();
