#pragma once
// The active price source and the lookups on it.
#include "quotes/PriceSource.h"
#include <string>
#include <vector>

// The Internet quote source registers itself here; nullptr while there is none.
void SetInternetPriceSource(PriceSource* source);

// The source of the current data-source code: 1 the terminal, anything else the Internet
// pages. nullptr when that source does not exist.
PriceSource* ActivePriceSource();

// Lookups on the active source. Without one: false, -1 and "..." (no price yet).
bool GetSymbols(std::vector<std::string>& symbols);
int FindRow(const std::string& symbol);
std::string GetPrice(const std::string& symbol, int row = -1);
