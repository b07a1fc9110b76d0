#pragma once
#include <string>

// Prices travel as the text the source shows; "..." is no price yet, "Error" a failed source.
inline constexpr const char* kNoPriceYet = "...";
inline constexpr const char* kPriceError = "Error";

// Decimals shown for a symbol: 1 for gold, 2 for yen pairs, silver and the dollar index,
// 4 otherwise. The names are matched with case.
int DecimalsFor(const std::string& symbol);
// The raw text cut or padded to the symbol's decimals; a fractional pip is dropped.
std::string FormatPrice(const std::string& symbol, std::string text);
