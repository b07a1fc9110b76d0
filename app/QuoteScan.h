#pragma once
#include <cstddef>
#include <functional>
#include <map>
#include <string>
#include <vector>

// The terminal's Market Watch rows as the price scan reads them.
class MarketRows {
public:
    virtual ~MarketRows() = default;
    virtual int RowCount() = 0;
    virtual std::string Symbol(int row) = 0;
    virtual std::string Price(const std::string& symbol, int row) = 0;
};

struct ScannedPrice {
    bool found = false;
    std::string text; // the price, or "Not Found"
};

// Matches the bar's columns to the terminal's rows. Rows of pairs that are not displayed
// go to an ignore list that lasts across refreshes, so they are not read again until a
// displayed pair goes missing; a row serves only one column per refresh.
class CQuoteScan {
public:
    std::vector<ScannedPrice> Scan(const std::vector<std::string>& columnSymbols,
                                   const std::string& displayList, MarketRows& rows);
    // The same, handing each column's price on as soon as it is read.
    using PriceRead = std::function<void(std::size_t column, const ScannedPrice& price)>;
    void Scan(const std::vector<std::string>& columnSymbols, const std::string& displayList,
              MarketRows& rows, const PriceRead& read);

    const std::string& IgnoreList() const { return ignoreList; }
    void Reset() { ignoreList.assign(1, ','); }

private:
    int FindColumnRow(const std::string& symbol, const std::string& displayList, int rowCount,
                      MarketRows& rows);
    const std::string& SymbolOf(int row, MarketRows& rows);

    std::string ignoreList = ",";
    std::string matchedRows;                // ",i,j," of this refresh
    std::map<int, std::string> symbolCache; // rows read in this refresh
};
