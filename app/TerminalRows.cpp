#include "app/TerminalRows.h"

int TerminalRows::RowCount() {
    return CurrentDesktop().ListItemCount(reader.MarketWatchList());
}

std::string TerminalRows::Symbol(int row) {
    std::string text;
    if (!reader.ReadCell(reader.MarketWatchList(), row, kSymbolColumn, text))
        return "";
    return text;
}

std::string TerminalRows::Price(const std::string& symbol, int row) {
    return reader.GetPrice(symbol, row);
}
