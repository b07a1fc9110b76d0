#pragma once
#include "tools/mt4sim/SimMarket.h"
#include "tools/mt4sim/SimProtocol.h"

#include <cstdint>
#include <string>
#include <vector>

// Command-line switches: "/layout:3" or "-layout=3", names in any case. Unknown switches
// and plain arguments are ignored, as the real terminal is also given "/portable" or a
// configuration file.
struct SimOptions {
    int layout = 1;                   // /layout:1..5, the Market Watch search it serves
    std::string account = "12345678"; // /account:DIGITS
    std::string title = "Demo Broker - Demo Account"; // /title:TEXT, after "account: "
    std::uint64_t seed = 1;                           // /seed:N
    int rows = -1;                                    // /rows:N, -1 for the default symbol set
    int intervalMs = 500;                             // /interval:MS between walk steps
    bool frozen = false;                              // /frozen: start with the walk stopped
    std::string orderTitle = kSimDefaultOrderTitle;   // /ordertitle:TEXT
    int loadDelayMs = 0; // /loaddelay:MS, the main window at once, its panes after MS
};

inline constexpr int kSimLayoutCount = 5;
inline constexpr int kSimMinIntervalMs = 20;
inline constexpr int kSimMaxIntervalMs = 60000;
inline constexpr int kSimMaxHangSeconds = 600;
inline constexpr int kSimMaxLoadDelayMs = 600000;
// Beside the program: more switches, for a start by a program that passes none.
inline constexpr const char* kSimSwitchesFile = "mt4sim.switches";

// False with a reason for a known switch with a bad value.
bool ParseSimOptions(const std::vector<std::string>& args, SimOptions& options, std::string& error);
std::string TerminalTitle(const SimOptions& options); // "12345678: Demo Broker - Demo Account"

// The payload's fields, split at blanks, tabs and line breaks.
std::vector<std::string> SplitFields(const std::string& payload);

// Runs the commands that only touch the symbol table (set, add, remove, move, freeze,
// resume). False when refused or when the command is not one of those.
bool RunMarketCommand(SimMarket& market, SimCommand command, const std::string& payload);

// The row a select command names: a symbol, or a row index in decimal. -1 when none.
int ResolveRow(const SimMarket& market, const std::string& payload);

// The title of an alert window: the payload trimmed, "Alert" when empty.
std::string AlertTitle(const std::string& payload);
// The connection part's text: the payload trimmed, the default when empty.
std::string ConnectionText(const std::string& payload);
