#pragma once
// The quote pages of the stand-in service: the symbols of the simulated terminal, moving
// by a seeded random walk, rendered in the page format the program's parser reads.
#include <chrono>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

struct BoardQuote {
    std::string symbol;
    int digits = 5;
    std::int64_t points = 0; // price in units of the last digit
    std::int64_t anchor = 0;
    std::int64_t maxStep = 1;
    int page = 1; // 1, 2, or 3 for both pages
};

class QuoteBoard {
public:
    explicit QuoteBoard(std::uint64_t seed);
    // Page 1 or 2 as HTML; prices move by one walk step per elapsed second.
    std::string Page(int page, bool longCell);
    // The price text of a symbol as the pages show it now ("" when unknown).
    std::string PriceText(const std::string& symbol);

private:
    void CatchUp();
    std::uint64_t Next();

    std::mutex mutex;
    std::vector<BoardQuote> quotes;
    std::uint64_t state;
    std::chrono::steady_clock::time_point lastStep;
};

std::string FormatPointsText(std::int64_t points, int digits);
