#pragma once
// The price refresh of the bar's one row, as the main tick runs it.
#include "app/QuoteScan.h"
#include <functional>
#include <string>
#include <vector>

// A main tick that arrives while one runs (a voice alert pumps messages while it speaks)
// is held and run once right after the running one: ticks never interleave and none is
// lost.
class CTickGate {
public:
    void Run(const std::function<void()>& tick);
    bool Busy() const { return running; }

private:
    bool running = false;
    bool pending = false;
};

// The bar's price cells, by column.
class QuoteCells {
public:
    virtual ~QuoteCells() = default;
    virtual std::string Text(int column) = 0;
    virtual void SetText(int column, const std::string& text) = 0;
};

// A column's freshly read price, after it has been written: colour it, run its alerts.
using PriceArrived = std::function<void(int column, const std::string& symbol,
                                        const std::string& previous, const std::string& price)>;

// Reads every column's price in one go, then writes and evaluates the columns one at a time,
// so that whatever runs inside an evaluation finds the row as it is; with ticks held by the
// gate, no older price is written after a newer one.
void RefreshFromTerminal(CQuoteScan& scan, const std::vector<std::string>& symbols, int firstColumn,
                         const std::string& displayList, MarketRows& rows, QuoteCells& cells,
                         const PriceArrived& arrived);
