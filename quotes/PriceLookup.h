#pragma once
#include <string>
#include <vector>

inline constexpr int kTerminalDataSource = 1;
inline constexpr int kInternetDataSource = 10;

// What every price source offers the rest of the program.
class PriceSource {
public:
    virtual ~PriceSource() = default;
    // Appends the source's symbols in source order; false when the source is not available.
    virtual bool GetSymbols(std::vector<std::string>& symbols) = 0;
    // The symbol's row, letters compared without case; -1 for an empty or unknown symbol.
    virtual int FindRow(const std::string& symbol) = 0;
    // The formatted price text; a negative row is looked up first.
    virtual std::string GetPrice(const std::string& symbol, int row) = 0;
};

// The Internet quote source registers itself here; nullptr while there is none.
void SetInternetPriceSource(PriceSource* source);

// The source of the current data-source code: 1 the terminal, anything else the Internet
// pages. nullptr when that source does not exist.
PriceSource* ActivePriceSource();

// Lookups on the active source. Without one: false, -1 and "..." (no price yet).
bool GetSymbols(std::vector<std::string>& symbols);
int FindRow(const std::string& symbol);
std::string GetPrice(const std::string& symbol, int row = -1);
