#include "app/QuoteScan.h"
#include "app/QuoteColumns.h"
#include "platform/Clock.h"
#include "platform/Text.h"

namespace {
// ",text," built by appending (GCC 12 warns falsely on "," + std::string temporaries).
std::string Framed(const std::string& text) {
    std::string framed(1, ',');
    framed += text;
    framed += ',';
    return framed;
}

std::string RowMark(int row) {
    return Framed(std::to_string(row));
}

bool Holds(const std::string& list, const std::string& mark) {
    return list.find(mark) != std::string::npos;
}
} // namespace

bool SearchMissingPairAgain(const MissingPair& last, int rowCount, std::uint32_t now,
                            std::uint32_t interval) {
    // Unsigned arithmetic: the tick count wraps after 49.7 days.
    return rowCount != last.rowCount || now - last.searchedAt >= interval;
}

std::vector<std::string> MarketRows::Read(const std::vector<RowAsk>& asks) {
    std::vector<std::string> texts;
    for (const RowAsk& ask : asks)
        texts.push_back(ask.pricePair.empty() ? Symbol(ask.row) : Price(ask.pricePair, ask.row));
    return texts;
}

bool CQuoteScan::Skipped(int row) const {
    const std::string mark = RowMark(row);
    return Holds(ignoreList, mark) || Holds(matchedRows, mark);
}

// A row not read yet comes with the next rows the search may look at, in one batch.
const std::string& CQuoteScan::SymbolOf(int row, int rowCount, MarketRows& rows) {
    auto cached = symbolCache.find(row);
    if (cached != symbolCache.end())
        return cached->second;
    std::vector<RowAsk> asks{{row, ""}};
    for (int next = row + 1; next < rowCount && asks.size() < kSearchBatchRows; ++next)
        if (!Skipped(next) && !symbolCache.count(next))
            asks.push_back({next, ""});
    const std::vector<std::string> symbols = rows.Read(asks);
    for (std::size_t i = 0; i < asks.size(); ++i)
        symbolCache.emplace(asks[i].row, i < symbols.size() ? symbols[i] : std::string());
    return symbolCache[row];
}

// The rows that served the columns last time, symbol and price, in one batch.
void CQuoteScan::ReadAhead(const std::vector<std::string>& columnSymbols,
                           const std::vector<bool>& searching, int rowCount, MarketRows& rows) {
    std::vector<RowAsk> asks;
    for (std::size_t i = 0; i < columnSymbols.size(); ++i) {
        const auto last = lastRows.find(i);
        if (!searching[i] || last == lastRows.end() || last->second.first != columnSymbols[i])
            continue;
        const int row = last->second.second;
        if (row >= rowCount || symbolCache.count(row))
            continue;
        asks.push_back({row, ""});
        asks.push_back({row, columnSymbols[i]});
        symbolCache.emplace(row, "");
    }
    if (asks.empty())
        return;
    const std::vector<std::string> texts = rows.Read(asks);
    for (std::size_t i = 0; i + 1 < asks.size(); i += 2) {
        const int row = asks[i].row;
        symbolCache[row] = i < texts.size() ? texts[i] : std::string();
        priceCache[row] = {asks[i + 1].pricePair, i + 1 < texts.size() ? texts[i + 1] : ""};
    }
}

// The prices of the rows found for the columns that the batch ahead did not read.
void CQuoteScan::ReadPrices(const std::vector<std::string>& columnSymbols,
                            const std::vector<int>& found, MarketRows& rows) {
    std::vector<RowAsk> asks;
    for (std::size_t i = 0; i < found.size(); ++i) {
        const auto cached = priceCache.find(found[i]);
        if (found[i] >= 0 &&
            (cached == priceCache.end() || cached->second.first != columnSymbols[i]))
            asks.push_back({found[i], columnSymbols[i]});
    }
    if (asks.empty())
        return;
    const std::vector<std::string> texts = rows.Read(asks);
    for (std::size_t i = 0; i < asks.size(); ++i)
        priceCache[asks[i].row] = {asks[i].pricePair, i < texts.size() ? texts[i] : ""};
}

// The display list as stored ends each entry with a comma; a leading one makes every
// entry findable as ",SYMBOL,".
int CQuoteScan::FindColumnRow(const std::string& symbol, const std::string& displayList,
                              int rowCount, MarketRows& rows) {
    std::string displayed(1, ',');
    displayed += displayList;
    for (int row = 0; row < rowCount; ++row) {
        if (Skipped(row))
            continue;
        const std::string& rowSymbol = SymbolOf(row, rowCount, rows);
        if (rowSymbol == symbol)
            return row;
        if (!Holds(displayed, Framed(rowSymbol)))
            ignoreList += std::to_string(row) + ",";
    }
    return -1;
}

std::vector<ScannedPrice> CQuoteScan::Scan(const std::vector<std::string>& columnSymbols,
                                           const std::string& displayList, MarketRows& rows) {
    std::vector<ScannedPrice> prices;
    Scan(columnSymbols, displayList, rows,
         [&](std::size_t, const ScannedPrice& price) { prices.push_back(price); });
    return prices;
}

void CQuoteScan::Scan(const std::vector<std::string>& columnSymbols, const std::string& displayList,
                      MarketRows& rows, const PriceRead& read) {
    matchedRows.assign(1, ',');
    symbolCache.clear();
    priceCache.clear();
    const int rowCount = rows.RowCount();
    const std::uint32_t now = CurrentClock().TickCount();
    std::vector<bool> searching(columnSymbols.size(), true);
    for (std::size_t i = 0; i < columnSymbols.size(); ++i) {
        const auto known = missing.find(i);
        searching[i] = known == missing.end() || known->second.symbol != columnSymbols[i] ||
                       SearchMissingPairAgain(known->second, rowCount, now, missingSearchInterval);
    }
    ReadAhead(columnSymbols, searching, rowCount, rows);
    std::vector<int> found(columnSymbols.size(), -1);
    for (std::size_t i = 0; i < columnSymbols.size(); ++i) {
        if (!searching[i])
            continue;
        const std::string& symbol = columnSymbols[i];
        int row = FindColumnRow(symbol, displayList, rowCount, rows);
        if (row < 0) {
            // The terminal's list may have changed under the ignore list.
            ignoreList.assign(1, ',');
            row = FindColumnRow(symbol, displayList, rowCount, rows);
        }
        if (row >= 0) {
            missing.erase(i);
            found[i] = row;
            matchedRows += std::to_string(row) + ",";
        } else {
            missing[i] = MissingPair{symbol, rowCount, now};
        }
    }
    ReadPrices(columnSymbols, found, rows);
    lastRows.clear();
    for (std::size_t i = 0; i < columnSymbols.size(); ++i) {
        ScannedPrice price;
        price.text = kNotFoundText;
        if (found[i] >= 0) {
            lastRows[i] = {columnSymbols[i], found[i]};
            price.found = true;
            price.text = priceCache[found[i]].second;
        }
        read(i, price);
    }
}
