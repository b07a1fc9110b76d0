#pragma once
#include "tools/mt4sim/SimMarket.h"

#include <windows.h>

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

// The list asks the terminal for its order window: wParam = row.
inline constexpr UINT kSimOpenOrderMessage = WM_APP + 1;
// A popup tells its owner it is gone: wParam = its handle.
inline constexpr UINT kSimPopupClosedMessage = WM_APP + 2;
// Posted to itself by the hang command: wParam = seconds.
inline constexpr UINT kSimHangMessage = WM_APP + 3;

// ---- Layout: the child windows the reader's Market Watch searches walk through.
struct SimLayout {
    HWND statusBar = nullptr;
    HWND marketBar = nullptr;  // outer Market Watch window
    HWND marketPane = nullptr; // inner one, parent of the quote list
    HWND quoteList = nullptr;
    HWND navigatorBar = nullptr; // the market bar itself in layout 4
    HWND navigatorPane = nullptr;
    HWND chart = nullptr;
    HWND terminalBar = nullptr;
    HWND terminalPane = nullptr;
    std::vector<HWND> clockWindows; // titled clockPrefix + "10:15:02"
    std::string clockPrefix;
};

bool RegisterPaneClasses(HINSTANCE instance);
SimLayout BuildLayout(HWND terminal, int layout, HFONT font);
void ArrangeLayout(const SimLayout& layout, int width, int height);
void ShowClock(const SimLayout& layout, const std::string& time);
void ShowConnection(const SimLayout& layout, const std::string& text);

// ---- Quote list: a stock report list view; the terminal handles Up, Down and Enter
// itself so that keys sent from another process behave the same everywhere.
HWND CreateQuoteList(HWND parent, HFONT font);
// Brings the list in line with the quotes: changed cells only, or a rebuild when the
// symbols changed; the selection stays on its symbol where it can.
void SyncQuoteList(HWND list, const std::vector<SimQuote>& quotes, std::vector<SimQuote>& shown);
void SelectQuoteRow(HWND list, int row);
// Row-count requests sent to the list from other threads since it was made.
long QuoteListRowCountRequests(HWND list);
int SelectedQuoteRow(HWND list); // the selection mark, -1 for none

// ---- Chart: the bid history of one symbol.
struct SimChartData {
    std::string symbol;
    int digits = 5;
    std::deque<std::int64_t> bids;
};
bool RegisterChartClass(HINSTANCE instance);
HWND CreateChart(HWND parent, SimChartData* data, HFONT font);
void AddChartBid(HWND chart, SimChartData& data, std::int64_t bid);

// ---- Popups, owned by the terminal; each tells it kSimPopupClosedMessage when gone.
HWND OpenOrderDialog(HWND owner, const std::string& title, const SimQuote& quote);
HWND OpenAlertDialog(HWND owner, const std::string& title, const std::string& text);
