#include "app/ProgramMenu.h"
#include "quotes/PriceLookup.h"
#include <algorithm>

namespace {
constexpr int kContactText = 10, kExitText = 11, kShowText = 12, kHideText = 13;
constexpr int kAlertsText = 29, kPriceBarText = 30, kTerminalText = 31;
constexpr int kOptionsText = 44, kNewsText = 81, kNewOrderText = 95;
constexpr int kLanguageWithoutBlanks = 1; // Chinese words stand together
const char* const kEllipsis = "...";

std::string ShowOrHide(bool visible, int subject, const MenuState& state, const TextLookup& text) {
    const std::string blank = state.languageIndex == kLanguageWithoutBlanks ? "" : " ";
    return text(visible ? kHideText : kShowText) + blank + text(subject);
}
} // namespace

std::vector<int> RemovedMenuItems(const MenuState& state) {
    std::vector<int> removed{kCmdUnused};
    if (!state.newsEnabled)
        removed.push_back(kCmdNews);
    if (state.dataSource == kTerminalDataSource) {
        if (state.caller != kMenuCallerList)
            removed.push_back(kCmdNewOrder);
    } else {
        removed.push_back(kCmdTerminal);
        removed.push_back(kCmdNewOrder);
    }
    return removed;
}

std::vector<MenuItemText> ProgramMenuTexts(const MenuState& state, const TextLookup& text) {
    std::vector<MenuItemText> items = {
        {kCmdContact, text(kContactText) + kEllipsis},
        {kCmdAlerts, text(kAlertsText) + kEllipsis},
        {kCmdNews, text(kNewsText) + kEllipsis},
        {kCmdOptions, text(kOptionsText) + kEllipsis},
        {kCmdNewOrder, text(kNewOrderText) + kEllipsis},
        {kCmdPriceBar, ShowOrHide(state.barVisible, kPriceBarText, state, text)},
        {kCmdTerminal, ShowOrHide(state.terminalVisible, kTerminalText, state, text)},
        {kCmdExit, text(kExitText)},
    };
    const std::vector<int> removed = RemovedMenuItems(state);
    std::erase_if(items, [&](const MenuItemText& item) {
        return std::find(removed.begin(), removed.end(), item.command) != removed.end();
    });
    return items;
}
