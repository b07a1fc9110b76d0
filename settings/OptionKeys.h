#pragma once
// Keys of the main settings file that the options window's pages own; other windows read
// them. Switches are "1" and "0".
namespace optkey {
inline constexpr const char* kShowTrayIcon = "OPTGENSHOWICON";
inline constexpr const char* kAutoHide = "OPTGENAUTOHIDE";
inline constexpr const char* kRunTerminal = "OPTGENRUNMT4";
inline constexpr const char* kHideTerminal = "OPTGENHIDEMT4";
// Seconds a notification popup stays; "-1" keeps it until closed.
inline constexpr const char* kPopupCloseSeconds = "CLSNTFSNDS";
// Where an alert's e-mail goes; "" sends none.
inline constexpr const char* kNotifyEmail = "NOTIFYEMAIL";
inline constexpr const char* kAutoRun = "OPTGENAUTORUN";
} // namespace optkey
