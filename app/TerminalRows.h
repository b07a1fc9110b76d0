#pragma once
#include "app/QuoteScan.h"
#include "quotes/MTHandler.h"

// The attached terminal's Market Watch list as the price scan reads it.
class TerminalRows final : public MarketRows {
public:
    explicit TerminalRows(CMTHandler& reader) : reader(reader) {}
    int RowCount() override;
    std::string Symbol(int row) override;
    std::string Price(const std::string& symbol, int row) override;
    std::vector<std::string> Read(const std::vector<RowAsk>& asks) override;

private:
    CMTHandler& reader;
};
