#pragma once
// The running program as the long-run, latency and fault checks watch it: its popups, its
// message boxes, the terminal's count of refreshes, and alert files that fire on purpose.
#include "tests/e2e/PriceBarHarness.h"
#include "tests/e2e/SimHarness.h"
#include <string>
#include <vector>

namespace e2e {

// The eight pairs the checks display, as the simulator's first eight rows ("/rows:8").
inline constexpr int kEightPairs = 8;
extern const char* const kEightPairSymbols[kEightPairs];
extern const char* const kEightPairQuotes[kEightPairs]; // "EURUSD 1.08512 1.08524", ...

struct NotifyPopup {
    HWND window = nullptr;
    std::string symbol, price;
};
std::vector<NotifyPopup> NotifyPopups(DWORD processId);

// The texts of the program's message boxes now shown.
std::vector<std::string> MessageBoxTexts(DWORD processId);

// Row-count requests the simulator's quote list has answered: one per refresh of a reader.
long RefreshCount(const Simulator& simulator);

// An alert section of fxconset.ini showing a popup for every firing, never used up.
std::string LevelAlert(const std::string& id, const std::string& symbol, bool above,
                       const std::string& level);
std::string StepAlert(const std::string& id, const std::string& symbol, int pips);

// A whole number from the environment, or the fallback when it is unset or not a number.
long EnvironmentNumber(const char* name, long fallback);

// Runs a console program of the built ones and returns what it printed; "" when it failed.
std::string RunBuiltTool(const std::string& name, const std::string& arguments);

// Milliseconds of the performance counter, for measured intervals.
double NowMs();

} // namespace e2e
