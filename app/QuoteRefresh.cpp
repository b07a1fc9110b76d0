#include "app/QuoteRefresh.h"

void CTickGate::Run(const std::function<void()>& tick) {
    if (running) {
        pending = true;
        return;
    }
    running = true;
    struct Done {
        bool& running;
        ~Done() { running = false; }
    } done{running};
    do {
        pending = false;
        tick();
    } while (pending);
}

void RefreshFromTerminal(CQuoteScan& scan, const std::vector<std::string>& symbols, int firstColumn,
                         const std::string& displayList, MarketRows& rows, QuoteCells& cells,
                         const PriceArrived& arrived) {
    scan.Scan(symbols, displayList, rows, [&](std::size_t index, const ScannedPrice& price) {
        const int column = firstColumn + static_cast<int>(index);
        const std::string previous = cells.Text(column);
        if (price.text != previous)
            cells.SetText(column, price.text);
        if (price.found)
            arrived(column, symbols[index], previous, price.text);
    });
}
