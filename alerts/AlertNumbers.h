#pragma once
#include "platform/Text.h"
#include <string>

// Alert values are kept as text and converted where they are used.

// A price text must hold a non-zero digit: a failed cell read (".0000"), "...", "Error"
// and "Not Found" would otherwise read as 0 and trip every "price below" alert.
bool HoldsPrice(const std::string& text);

// A price text read once, where it enters the evaluation: its number for the comparisons,
// and its digits as a whole count of its last shown decimal ("1.2345" is 12345 units with
// 4 decimals) for the step distance.
struct PriceReading {
    std::string text;
    double value = 0.0;
    long long units = 0;
    int decimals = 0;

    bool Empty() const { return text.empty(); }
};
PriceReading ReadPrice(const std::string& text);

// Units of the finer of the two last shown decimals between two prices: the coarser one is
// padded with zeros, and both are compared as whole numbers.
long long PipDistance(const PriceReading& reference, const PriceReading& current);
