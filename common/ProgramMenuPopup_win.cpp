#include "common/ProgramMenuPopup.h"
#include "platform/Desktop.h"
#include "platform/Text.h"
#include "quotes/MTHandler.h"
#include "resources/resource.h"
#include "settings/AppConfig.h"
#include "settings/Log.h"
#include "settings/LangTable.h"

namespace {
// Drops separators that the removed items have left at the ends or doubled.
void TidySeparators(HMENU menu) {
    bool previousWasSeparator = true; // a leading separator goes too
    for (int i = 0; i < GetMenuItemCount(menu);) {
        const bool separator = (GetMenuState(menu, i, MF_BYPOSITION) & MF_SEPARATOR) != 0;
        if (separator && previousWasSeparator) {
            DeleteMenu(menu, i, MF_BYPOSITION);
            continue;
        }
        previousWasSeparator = separator;
        ++i;
    }
    const int count = GetMenuItemCount(menu);
    if (count > 0 && (GetMenuState(menu, count - 1, MF_BYPOSITION) & MF_SEPARATOR))
        DeleteMenu(menu, count - 1, MF_BYPOSITION);
}
} // namespace

MenuState ProgramMenuStateFor(bool barVisible, const std::string& caller) {
    MenuState state;
    state.dataSource = AppConfig().dataSource;
    state.newsEnabled = AppConfig().newsEnabled;
    state.languageIndex = AppConfig().languageIndex;
    state.barVisible = barVisible;
    state.terminalVisible = CurrentDesktop().IsVisible(MTHandler().TerminalWindow());
    state.caller = caller;
    return state;
}

UINT TrackProgramMenu(HWND owner, const MenuState& state, POINT at, UINT flags) {
    HMENU resource = LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDM_PROGRAM));
    if (!resource)
        return 0;
    HMENU menu = GetSubMenu(resource, 0);
    for (const int command : RemovedMenuItems(state))
        DeleteMenu(menu, static_cast<UINT>(command), MF_BYCOMMAND);
    std::string shown;
    for (const auto& item : ProgramMenuTexts(state, [](int n) { return GetText(n); })) {
        ModifyMenuW(menu, static_cast<UINT>(item.command), MF_BYCOMMAND | MF_STRING,
                    static_cast<UINT_PTR>(item.command), Widen(item.text).c_str());
        shown += item.text + "|";
    }
    TidySeparators(menu);
    WriteLog("Program menu (" + state.caller + "): " + shown);
    SetForegroundWindow(owner);
    const BOOL command = TrackPopupMenu(menu, flags, at.x, at.y, 0, owner, nullptr);
    PostMessageW(owner, WM_NULL, 0, 0); // lets the menu close when clicked beside
    DestroyMenu(resource);
    return static_cast<UINT>(command);
}
