#pragma once
// Keys of the main settings file that the price readers own.
namespace quotekey {
// "0" shows the ask instead of the bid.
inline constexpr const char* kShowBid = "ShowBidPrice";
// The terminal to read: the start of its window title.
inline constexpr const char* kTerminalSource = "MTSource";
// The terminal's program, as the user chose it.
inline constexpr const char* kTerminalPath = "MTPATH";
inline constexpr const char* kChosenTerminal = "CMTS";
} // namespace quotekey
