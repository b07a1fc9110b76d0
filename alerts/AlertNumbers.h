#pragma once
#include "platform/Text.h"
#include <string>

// Alert values are kept as text and converted where they are used.

// Temporary alias for the alerts list's file; LeadingInteger (platform/Text.h) is the one copy.
inline long long TextToInteger(const std::string& text) {
    return LeadingInteger(text);
}
// A price text must hold a non-zero digit: a failed cell read (".0000"), "...", "Error"
// and "Not Found" would otherwise read as 0 and trip every "price below" alert.
bool HoldsPrice(const std::string& text);
// Units of the last shown decimal between two price texts: both are padded to the same
// number of decimals and compared as whole numbers.
long long PipDistance(const std::string& reference, const std::string& current);
