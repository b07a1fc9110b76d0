#pragma once
#include <functional>
#include <string>
#include <vector>

// Commands of the program menu (menu resource 134).
inline constexpr int kCmdContact = 32771;
inline constexpr int kCmdExit = 32772;
inline constexpr int kCmdAlerts = 32773;
inline constexpr int kCmdPriceBar = 32774;
inline constexpr int kCmdTerminal = 32776;
inline constexpr int kCmdOptions = 32777;
inline constexpr int kCmdUnused = 32778;
inline constexpr int kCmdNews = 32779;
inline constexpr int kCmdNewOrder = 32780;

inline constexpr const char* kMenuCallerTray = "tray";
inline constexpr const char* kMenuCallerList = "listrightclick";

struct MenuState {
    int dataSource = 1;
    bool newsEnabled = false;
    int languageIndex = 0;
    bool barVisible = true;
    bool terminalVisible = true;
    std::string caller = kMenuCallerTray;
};

struct MenuItemText {
    int command;
    std::string text;
};

using TextLookup = std::function<std::string(int entry)>;

// The texts of the items that stay, and the items to remove, for this state.
std::vector<MenuItemText> ProgramMenuTexts(const MenuState& state, const TextLookup& text);
std::vector<int> RemovedMenuItems(const MenuState& state);
