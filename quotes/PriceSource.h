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
