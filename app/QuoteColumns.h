#pragma once
#include "platform/DpiScale.h"
#include <string>
#include <vector>

// The columns of the price bar: which symbols, how wide, and the bar width they give.
inline constexpr int kBarMargin = 60;          // beside the price columns
inline constexpr int kBarMarginWithTime = 120; // with the time column
inline constexpr int kSavedWidthMargin = 50;   // margin when widths are saved after a drag
inline constexpr int kSavedWidthMarginWithTime = 100;
inline constexpr int kMinColumnWidth = 50;
inline constexpr std::size_t kMaxTerminalSymbols = 8;
inline constexpr const char* kNotFoundText = "Not Found";

// The default width of every column, chosen by the length of the first symbol.
int DefaultColumnWidth(const std::string& firstSymbol);
// One width per symbol: the saved widths when there is one per symbol (at least the
// floor), else the default for all, at the dpi (saved widths are the screen's pixels).
std::vector<int> ChooseColumnWidths(const std::vector<std::string>& symbols,
                                    const std::string& savedWidths, int dpi = kBaseDpi);
std::string WidthsText(const std::vector<int>& widths);

struct ColumnPlan {
    std::vector<std::string> symbols;
    std::vector<int> widths;
    bool fromTerminal = false;  // symbols taken from the terminal, to be stored
    std::string newDisplayList; // what to store as DisplayCurrency when fromTerminal
    int barWidth = 0;           // margin plus every column
};

// The decisions of a column build. A display list without any symbol (empty, or commas
// only) takes the first symbols of the terminal.
ColumnPlan PlanColumns(const std::string& displayList, const std::string& savedWidths,
                       const std::vector<std::string>& terminalSymbols, bool timeColumn,
                       int dpi = kBaseDpi);
