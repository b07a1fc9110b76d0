#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

// One cell a scan reads: a row's symbol, or its price as shown for `pricePair`.
struct RowAsk {
    int row = 0;
    std::string pricePair; // empty: the symbol
};

// The terminal's Market Watch rows as the price scan reads them.
class MarketRows {
public:
    virtual ~MarketRows() = default;
    virtual int RowCount() = 0;
    virtual std::string Symbol(int row) = 0;
    virtual std::string Price(const std::string& symbol, int row) = 0;
    // The texts of many cells, read in one go where the rows can; by default one at a time.
    virtual std::vector<std::string> Read(const std::vector<RowAsk>& asks);
};

struct ScannedPrice {
    bool found = false;
    std::string text; // the price, or "Not Found"
};

// A displayed pair the terminal does not list costs a read of every row to look for, so it
// is looked for again only when the terminal's row count has changed or this long after its
// last search; in between it shows "Not Found" as a search would.
inline constexpr std::uint32_t kMissingPairSearchMs = 30000;

struct MissingPair {
    std::string symbol;
    int rowCount = 0;             // the terminal's rows at the search
    std::uint32_t searchedAt = 0; // program tick count
};

// Whether a pair not found at its last search is looked for again now.
bool SearchMissingPairAgain(const MissingPair& last, int rowCount, std::uint32_t now,
                            std::uint32_t interval);

// Matches the bar's columns to the terminal's rows. Rows of pairs that are not displayed
// go to an ignore list that lasts across refreshes, so they are not read again until a
// displayed pair goes missing; a row serves only one column per refresh. The reads go in
// batches: a refresh whose rows have not moved reads the symbol and price of each column's
// row of the last refresh in one batch; a search reads the symbols ahead of it in batches of
// kSearchBatchRows, and prices of rows newly found come in one more batch.
class CQuoteScan {
public:
    // An interval of 0 looks for a missing pair on every refresh.
    explicit CQuoteScan(std::uint32_t missingSearchInterval = kMissingPairSearchMs)
        : missingSearchInterval(missingSearchInterval) {}

    std::vector<ScannedPrice> Scan(const std::vector<std::string>& columnSymbols,
                                   const std::string& displayList, MarketRows& rows);
    // The same, handing each column's price on in column order once all are read.
    using PriceRead = std::function<void(std::size_t column, const ScannedPrice& price)>;
    void Scan(const std::vector<std::string>& columnSymbols, const std::string& displayList,
              MarketRows& rows, const PriceRead& read);

    const std::string& IgnoreList() const { return ignoreList; }
    // For a rebuilt bar or another terminal: every row and pair is looked at afresh.
    void Reset() {
        ignoreList.assign(1, ',');
        missing.clear();
        lastRows.clear();
    }

    static constexpr int kSearchBatchRows = 16;

private:
    int FindColumnRow(const std::string& symbol, const std::string& displayList, int rowCount,
                      MarketRows& rows);
    const std::string& SymbolOf(int row, int rowCount, MarketRows& rows);
    bool Skipped(int row) const;
    void ReadAhead(const std::vector<std::string>& columnSymbols,
                   const std::vector<bool>& searching, int rowCount, MarketRows& rows);
    void ReadPrices(const std::vector<std::string>& columnSymbols, const std::vector<int>& found,
                    MarketRows& rows);

    std::string ignoreList = ",";
    std::string matchedRows;                // ",i,j," of this refresh
    std::map<int, std::string> symbolCache; // rows read in this refresh
    // Rows' prices read in this refresh, with the pair each was read for.
    std::map<int, std::pair<std::string, std::string>> priceCache;
    std::map<std::size_t, std::pair<std::string, int>> lastRows; // by column: pair and row
    std::map<std::size_t, MissingPair> missing;                  // by column
    std::uint32_t missingSearchInterval;
};
