#include "quotes/PriceLookup.h"
#include "quotes/MTHandler.h"
#include "quotes/PriceFormat.h"
#include "settings/AppConfig.h"

namespace {
PriceSource* internetSource = nullptr;
}

void SetInternetPriceSource(PriceSource* source) {
    internetSource = source;
}

PriceSource* ActivePriceSource() {
    if (AppConfig().dataSource == kTerminalDataSource)
        return &MTHandler();
    return internetSource;
}

bool GetSymbols(std::vector<std::string>& symbols) {
    PriceSource* source = ActivePriceSource();
    return source && source->GetSymbols(symbols);
}

int FindRow(const std::string& symbol) {
    PriceSource* source = ActivePriceSource();
    return source ? source->FindRow(symbol) : -1;
}

std::string GetPrice(const std::string& symbol, int row) {
    PriceSource* source = ActivePriceSource();
    return source ? source->GetPrice(symbol, row) : kNoPriceYet;
}
