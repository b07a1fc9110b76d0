#pragma once
#include "resources/resource.h"
#include <functional>
#include <string>
#include <vector>

// Commands of the program menu (menu resource 134), the resource's own ids.
inline constexpr int kCmdContact = IDM_CONTACT;
inline constexpr int kCmdExit = IDM_EXIT;
inline constexpr int kCmdAlerts = IDM_ALERTS;
inline constexpr int kCmdAlertHistory = IDM_ALERT_HISTORY;
inline constexpr int kCmdPriceBar = IDM_PRICE_BAR;
inline constexpr int kCmdTerminal = IDM_TERMINAL;
inline constexpr int kCmdOptions = IDM_OPTIONS;
inline constexpr int kCmdUnused = IDM_UNUSED;
inline constexpr int kCmdNews = IDM_NEWS;
inline constexpr int kCmdNewOrder = IDM_NEW_ORDER;

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
