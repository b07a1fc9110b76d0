#pragma once
#include "alerts/AlertKinds.h"
#include "app/QuoteScan.h"
#include "quotes/MTHandler.h"
#include <map>
#include <utility>

// The attached terminal's Market Watch list as the price scan reads it.
class TerminalRows final : public MarketRows {
public:
    explicit TerminalRows(CMTHandler& reader) : reader(reader) {}
    int RowCount() override;
    std::string Symbol(int row) override;
    std::string Price(const std::string& symbol, int row) override;
    std::vector<std::string> Read(const std::vector<RowAsk>& asks) override;
    // A pair's bid and ask for its spread alerts: the price read this refresh as the terminal
    // showed it, and the other column read now, one cell more. Empty when the pair was not read.
    QuoteSides Sides(const std::string& symbol);

private:
    CMTHandler& reader;
    std::map<std::string, std::pair<int, std::string>> shown; // pair: row and price as read
};
