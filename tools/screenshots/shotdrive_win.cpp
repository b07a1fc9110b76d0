// Drives the running programs for scripts/screenshots.sh from inside Wine: finds a window,
// prints its place, moves it, presses its buttons, sends the price bar a menu command.
//
//   shotdrive rect WINDOW          waits for the window; prints "X Y WIDTH HEIGHT"
//   shotdrive move WINDOW X Y
//   shotdrive click WINDOW BUTTON  a posted BM_CLICK, as a user's click
//   shotdrive close WINDOW
//   shotdrive hide WINDOW
//   shotdrive command ID           WM_COMMAND to the price bar, as its menu sends
//   shotdrive tab WINDOW TABS N    selects page N of a tab control, as an arrow key does
//
// WINDOW is "bar", "terminal", "tray" (Wine's own tray window, shown at the top left of a
// display without a window manager) or the id of a control the wanted dialog holds.
#include <windows.h>
#include <commctrl.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>

namespace {
constexpr DWORD kWaitMs = 20000;
constexpr DWORD kPollMs = 50;
constexpr wchar_t kDialogClass[] = L"#32770";
constexpr wchar_t kBarTitle[] = L"Norvak Pip Warden";
constexpr wchar_t kTerminalClass[] = L"MetaQuotes::MetaTrader::4.00";
constexpr wchar_t kTrayClass[] = L"__winex11_standalone_tray";

struct Search {
    int childId;
    HWND found;
};

BOOL CALLBACK MatchDialog(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<Search*>(context);
    wchar_t className[64] = {};
    GetClassNameW(window, className, 64);
    if (!IsWindowVisible(window) || std::wcscmp(className, kDialogClass) != 0 ||
        !GetDlgItem(window, search->childId))
        return TRUE;
    search->found = window;
    return FALSE;
}

HWND FindOnce(const char* name) {
    if (std::strcmp(name, "bar") == 0)
        return FindWindowW(kDialogClass, kBarTitle);
    if (std::strcmp(name, "terminal") == 0)
        return FindWindowW(kTerminalClass, nullptr);
    if (std::strcmp(name, "tray") == 0)
        return FindWindowW(kTrayClass, nullptr);
    Search search{std::atoi(name), nullptr};
    EnumWindows(MatchDialog, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND Find(const char* name, bool visible = true) {
    for (DWORD waited = 0; waited < kWaitMs; waited += kPollMs) {
        HWND window = FindOnce(name);
        if (window && (!visible || IsWindowVisible(window)))
            return window;
        Sleep(kPollMs);
    }
    std::fprintf(stderr, "shotdrive: no window %s\n", name);
    return nullptr;
}
} // namespace

int main(int argc, char** argv) {
    if (argc < 3)
        return 2;
    // Places in real pixels, also when the display is scaled.
    SetProcessDPIAware();
    const char* verb = argv[1];
    if (std::strcmp(verb, "command") == 0) {
        HWND bar = Find("bar", false); // also while only floating windows show
        return bar && PostMessageW(bar, WM_COMMAND, std::atoi(argv[2]), 0) ? 0 : 1;
    }
    HWND window = Find(argv[2]);
    if (!window)
        return 1;
    if (std::strcmp(verb, "rect") == 0) {
        RECT r{};
        GetWindowRect(window, &r);
        std::printf("%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
        return 0;
    }
    if (std::strcmp(verb, "move") == 0 && argc == 5)
        return SetWindowPos(window, nullptr, std::atoi(argv[3]), std::atoi(argv[4]), 0, 0,
                            SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE)
                   ? 0
                   : 1;
    if (std::strcmp(verb, "click") == 0 && argc == 4) {
        HWND button = GetDlgItem(window, std::atoi(argv[3]));
        return button && PostMessageW(button, BM_CLICK, 0, 0) ? 0 : 1;
    }
    if (std::strcmp(verb, "close") == 0)
        return PostMessageW(window, WM_CLOSE, 0, 0) ? 0 : 1;
    if (std::strcmp(verb, "tab") == 0 && argc == 5) {
        // The dialog switches pages on the control's own notice, which only a key or a click
        // sends; it cannot be sent from another process. So select a neighbour quietly and
        // step onto the page with the arrow key.
        HWND tabs = GetDlgItem(window, std::atoi(argv[3]));
        const int page = std::atoi(argv[4]);
        const int count = tabs ? static_cast<int>(SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0)) : 0;
        if (page < 0 || page >= count || count < 2)
            return 1;
        SendMessageW(tabs, TCM_SETCURSEL, page > 0 ? page - 1 : 1, 0);
        PostMessageW(tabs, WM_KEYDOWN, page > 0 ? VK_RIGHT : VK_LEFT, 1);
        for (DWORD waited = 0; waited < kWaitMs; waited += kPollMs) {
            if (SendMessageW(tabs, TCM_GETCURSEL, 0, 0) == page)
                return 0;
            Sleep(kPollMs);
        }
        return 1;
    }
    if (std::strcmp(verb, "hide") == 0) {
        ShowWindow(window, SW_HIDE);
        return 0;
    }
    return 2;
}
