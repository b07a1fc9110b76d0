#pragma once
#include <cstdint>

// Test control of the simulated terminal. Send WM_COPYDATA to its main window (class
// kSimTerminalClass) with dwData one of the codes below and lpData UTF-8 text, fields
// separated by blanks; no terminator is needed. SendMessage returns 1 when the command
// was carried out and 0 when it was refused (unknown symbol, bad number, ...).
//
//   kSimSetPrice      "EURUSD 1.23456 1.23470"  bid and ask shown exactly as given
//   kSimAddSymbol     "EURSEK 11.40210 11.40980 [INDEX]"  appended, or inserted at INDEX;
//                     the bid's decimals become the symbol's digits
//   kSimRemoveSymbol  "EURUSD"
//   kSimMoveSymbol    "EURUSD 3"  moves the row to index 3 (0-based)
//   kSimSelectRow     "EURUSD" or "3"  selects the row and sets the selection mark
//   kSimFreezeWalk    ""  prices stop moving (set prices still apply)
//   kSimResumeWalk    ""
//   kSimShowAlert     "" for a window titled "Alert", or the title, e.g. "警报"
//   kSimHideTerminal  ""
//   kSimShowTerminal  ""
//   kSimQuit          ""  answers 1, then the terminal closes
//   kSimHang          "30"  answers 1, then the window thread sleeps that many seconds
//                     (1..600) and answers no message meanwhile, as a hung terminal
//   kSimSetStatus     "No connection"  the status bar's connection part shows the text;
//                     "" brings back the default "1234/5 kb"
//
// Symbols are compared exactly (case matters). Prices are decimal numbers ("1.2345").
enum class SimCommand : std::uint32_t {
    SetPrice = 0x4D543401,
    AddSymbol = 0x4D543402,
    RemoveSymbol = 0x4D543403,
    MoveSymbol = 0x4D543404,
    SelectRow = 0x4D543405,
    FreezeWalk = 0x4D543406,
    ResumeWalk = 0x4D543407,
    ShowAlert = 0x4D543408,
    HideTerminal = 0x4D543409,
    ShowTerminal = 0x4D54340A,
    Quit = 0x4D54340B,
    Hang = 0x4D54340C,
    SetStatus = 0x4D54340D,
};

// Sent (not as WM_COPYDATA) to the main window: the answer is how many times other
// threads have asked the quote list for its row count, which a reader does once per refresh.
inline constexpr unsigned kSimRowCountRequestsMessage = 0x8000 + 0x4D; // WM_APP + 0x4D

inline constexpr const char* kSimTerminalClass = "MetaQuotes::MetaTrader::4.00";
inline constexpr const char* kSimDefaultAlertTitle = "Alert";
inline constexpr const char* kSimDefaultOrderTitle = "Order";
// The status bar's last part: the connection, as traffic in kilobytes while connected.
inline constexpr const char* kSimDefaultConnectionText = "1234/5 kb";
