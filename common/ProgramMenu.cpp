#include "common/ProgramMenu.h"
#include "quotes/PriceLookup.h"
#include "settings/TextIds.h"
#include <algorithm>
#include "settings/LangTable.h"

namespace {
constexpr int kLanguageWithoutBlanks = kLangChinese; // Chinese words stand together
const char* const kEllipsis = "...";

std::string ShowOrHide(bool visible, int subject, const MenuState& state, const TextLookup& text) {
    const std::string blank = state.languageIndex == kLanguageWithoutBlanks ? "" : " ";
    return text(visible ? kTextHide : kTextShow) + blank + text(subject);
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
        {kCmdContact, text(kTextContact) + kEllipsis},
        {kCmdAlerts, text(kTextAlertsSettings) + kEllipsis},
        {kCmdAlertHistory, text(kTextAlertHistoryMenu) + kEllipsis},
        {kCmdNews, text(kTextNews) + kEllipsis},
        {kCmdOptions, text(kTextOptions) + kEllipsis},
        {kCmdNewOrder, text(kTextNewOrder) + kEllipsis},
        {kCmdPriceBar, ShowOrHide(state.barVisible, kTextPriceBar, state, text)},
        {kCmdTerminal, ShowOrHide(state.terminalVisible, kTextTerminal, state, text)},
        {kCmdExit, text(kTextExit)},
    };
    const std::vector<int> removed = RemovedMenuItems(state);
    std::erase_if(items, [&](const MenuItemText& item) {
        return std::find(removed.begin(), removed.end(), item.command) != removed.end();
    });
    return items;
}
