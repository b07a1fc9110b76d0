#pragma once
#include <optional>
#include <string>

// The product window title that a second instance looks for.
inline constexpr const char* kProductWindowTitle = "Norvak Pip Warden";
inline constexpr const char* kRestartTitleSuffix = "OLD";
inline constexpr const char* kShowRequestAtom = "MT_SHOW";
inline constexpr long long kClosedPopupGraceSeconds = 10;
// Given to the new instance when the old one has just started the terminal: the new one
// waits for it to load instead of asking to start it again.
inline constexpr const char* kTerminalStartingSwitch = "/terminalstarting";

// The path after " /caller " in the command line (blanks trimmed at both ends first);
// "" when the switch is missing or stands at the very start.
std::string CallerPathFromCommandLine(const std::string& commandLine);

// Whether the arguments after the program's path hold kTerminalStartingSwitch as a word.
bool HasTerminalStartingSwitch(const std::string& commandLine);

// The open floating windows' list with the recently closed ones removed: when the last
// close lies more than 10 seconds back, each name of `lastClosed` and its comma leave
// `openWindows`. Nothing when the list stays as it is.
std::optional<std::string> TrimClosedPopups(const std::string& openWindows,
                                            const std::string& lastClosed,
                                            const std::string& lastClosedTime,
                                            const std::string& now);
