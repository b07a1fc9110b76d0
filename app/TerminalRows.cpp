#include "app/TerminalRows.h"
#include "quotes/PriceFormat.h"

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

// One batch across the process boundary, the prices shown as GetPrice shows them.
std::vector<std::string> TerminalRows::Read(const std::vector<RowAsk>& asks) {
    std::vector<ListCell> cells;
    for (const RowAsk& ask : asks)
        cells.push_back({ask.row, ask.pricePair.empty() ? kSymbolColumn : reader.PriceColumn()});
    const std::vector<std::optional<std::string>> read = reader.ReadCells(cells);
    std::vector<std::string> texts;
    for (std::size_t i = 0; i < asks.size(); ++i) {
        const std::string text = read[i].value_or("");
        if (!asks[i].pricePair.empty())
            shown[asks[i].pricePair] = {asks[i].row, text};
        texts.push_back(asks[i].pricePair.empty() ? text : FormatPrice(asks[i].pricePair, text));
    }
    return texts;
}

QuoteSides TerminalRows::Sides(const std::string& symbol) {
    const auto seen = shown.find(symbol);
    if (seen == shown.end())
        return {};
    const auto& [row, price] = seen->second;
    const bool bidShown = reader.PriceColumn() == kBidColumn;
    const auto other = reader.ReadCells({{row, bidShown ? kAskColumn : kBidColumn}});
    if (other.empty() || !other.front())
        return {};
    return bidShown ? QuoteSides{price, *other.front()} : QuoteSides{*other.front(), price};
}
