#pragma once
#include <optional>
#include <string>

// The product window title that a second instance looks for.
inline constexpr const char* kProductWindowTitle = "Norvak Pip Warden";
inline constexpr const char* kRestartTitleSuffix = "OLD";
inline constexpr const char* kShowRequestAtom = "MT_SHOW";
inline constexpr long long kClosedPopupGraceSeconds = 10;

// The path after " /caller " in the command line (blanks trimmed at both ends first);
// "" when the switch is missing or stands at the very start.
std::string CallerPathFromCommandLine(const std::string& commandLine);

// The open floating windows' list with the recently closed ones removed: when the last
// close lies more than 10 seconds back, each name of `lastClosed` and its comma leave
// `openWindows`. Nothing when the list stays as it is.
std::optional<std::string> TrimClosedPopups(const std::string& openWindows,
                                            const std::string& lastClosed,
                                            const std::string& lastClosedTime,
                                            const std::string& now);
