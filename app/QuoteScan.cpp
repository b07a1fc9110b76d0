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

// The display list as stored ends each entry with a comma; a leading one makes every
// entry findable as ",SYMBOL,".
const std::string& CQuoteScan::SymbolOf(int row, MarketRows& rows) {
    auto cached = symbolCache.find(row);
    if (cached == symbolCache.end())
        cached = symbolCache.emplace(row, rows.Symbol(row)).first;
    return cached->second;
}

int CQuoteScan::FindColumnRow(const std::string& symbol, const std::string& displayList,
                              int rowCount, MarketRows& rows) {
    std::string displayed(1, ',');
    displayed += displayList;
    for (int row = 0; row < rowCount; ++row) {
        const std::string mark = RowMark(row);
        if (Holds(ignoreList, mark) || Holds(matchedRows, mark))
            continue;
        const std::string& rowSymbol = SymbolOf(row, rows);
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
    const int rowCount = rows.RowCount();
    const std::uint32_t now = CurrentClock().TickCount();
    for (std::size_t i = 0; i < columnSymbols.size(); ++i) {
        const std::string& symbol = columnSymbols[i];
        ScannedPrice price;
        price.text = kNotFoundText;
        const auto known = missing.find(i);
        if (known != missing.end() && known->second.symbol == symbol &&
            !SearchMissingPairAgain(known->second, rowCount, now, missingSearchInterval)) {
            read(i, price);
            continue;
        }
        int row = FindColumnRow(symbol, displayList, rowCount, rows);
        if (row < 0) {
            // The terminal's list may have changed under the ignore list.
            ignoreList.assign(1, ',');
            row = FindColumnRow(symbol, displayList, rowCount, rows);
        }
        if (row >= 0) {
            missing.erase(i);
            price.found = true;
            price.text = rows.Price(symbol, row);
            matchedRows += std::to_string(row) + ",";
        } else {
            missing[i] = MissingPair{symbol, rowCount, now};
        }
        read(i, price);
    }
}
