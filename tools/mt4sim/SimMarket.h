#pragma once
#include <cstdint>
#include <string>
#include <vector>

// One Market Watch row. Prices are kept in points (units of the last decimal digit) so
// the walk never suffers rounding; the texts are what the list view shows.
struct SimQuote {
    std::string symbol;
    int digits = 5;
    std::int64_t bid = 0;
    std::int64_t ask = 0;
    std::int64_t spread = 0;  // usual spread in points
    std::int64_t anchor = 0;  // the walk is pulled back towards this bid
    std::int64_t maxStep = 1; // largest move of one walk step, in points
    std::string bidText;
    std::string askText;
};

// Deterministic generator (splitmix64): the same seed gives the same walk on every
// compiler, which std::*_distribution does not promise.
class SimRandom {
public:
    explicit SimRandom(std::uint64_t seed) : state_(seed) {}
    std::uint64_t Next();
    std::int64_t Below(std::int64_t bound); // 0 .. bound-1; 0 when bound < 1

private:
    std::uint64_t state_;
};

// The terminal's symbol table and its random walk. Symbols are compared exactly.
class SimMarket {
public:
    SimMarket(std::vector<SimQuote> quotes, std::uint64_t seed);

    const std::vector<SimQuote>& Quotes() const { return quotes_; }
    int Find(const std::string& symbol) const; // row index, -1 when absent

    // One walk step: some symbols move a few points, spreads flicker. Nothing while frozen.
    void Step();
    void SetFrozen(bool frozen) { frozen_ = frozen; }
    bool Frozen() const { return frozen_; }

    // Shows the texts exactly; the walk continues from them. False for an unknown symbol
    // or a text that is not a decimal number.
    bool SetPrice(const std::string& symbol, const std::string& bid, const std::string& ask);
    // Inserts at index (-1 or the row count: at the end); the bid's decimals become the
    // symbol's digits. False for a duplicate or empty symbol, bad numbers or index.
    bool Add(const std::string& symbol, const std::string& bid, const std::string& ask,
             int index = -1);
    bool Remove(const std::string& symbol);
    bool Move(const std::string& symbol, int index);

private:
    std::vector<SimQuote> quotes_;
    SimRandom random_;
    bool frozen_ = false;
};

// The default Market Watch: majors, yen pairs, metals, the dollar index and one symbol
// of 11 characters. rows < 0 gives that set; otherwise exactly `rows` rows, continued
// with crosses and then suffixed copies of the majors ("EURUSD.2").
std::vector<SimQuote> DefaultQuotes(int rows = -1);

// A made-up past for a chart: up to `count` distinct bids of a walk that ends at the
// quote's current bid.
std::vector<std::int64_t> PastBids(const SimQuote& quote, std::uint64_t seed, int count);

inline constexpr int kSimMaxRows = 500;
inline constexpr int kSimMaxDigits = 8;

// "1.08512" with 5 digits gives 108512; extra decimals are cut. False when the text is
// not digits with at most one point, or the value does not fit.
bool ParsePoints(const std::string& text, int digits, std::int64_t& points);
int DecimalsOf(const std::string& text); // digits after the point, 0 without one
std::string FormatPoints(std::int64_t points, int digits);
