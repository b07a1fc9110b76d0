#pragma once
// Keys of the main settings file that the alerts list window owns.
namespace listkey {
// "1" switches every alert off.
inline constexpr const char* kDisableAll = "disableall";
// "1" keeps the list window above the others (its pin).
inline constexpr const char* kTopmost = "OptionTOPMOST";
} // namespace listkey
