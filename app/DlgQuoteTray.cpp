// Tray icon, program menu, picture buttons, visibility and global hot keys of the price bar.
#include "app/DlgQuote.h"
#include "app/HotKeys.h"
#include "app/LaterWindows.h"
#include "app/ProgramMenu.h"
#include "app/StartupRules.h"
#include "platform/Params.h"
#include "platform/Text.h"
#include "quotes/MTHandler.h"
#include "resources/resource.h"
#include "settings/AppConfig.h"
#include "settings/Config.h"
#include "settings/DateTime.h"
#include "settings/Log.h"
#include <commctrl.h>
#include <shellapi.h>
#include "settings/LangTable.h"

namespace {
constexpr int kCaptionMessage = 0;
constexpr int kMenuAboveCursor = 10;
constexpr std::size_t kTrayTipChars = 127;
constexpr int kCloseTip = 126, kAlertsTip = 127, kAutoHideTip = 128, kNewsTip = 129;
constexpr int kOptionsTip = 44;
const char* const kContactText = "Pip Warden\nNorvak Software\nsupport: see the product page";

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

bool CDlgQuote::AddTrayIcon() {
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof data;
    data.hWnd = Handle();
    data.uID = kTrayIconId;
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = kTrayCallbackMessage;
    data.hIcon = static_cast<HICON>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_MAIN), IMAGE_ICON, 16, 16, 0));
    std::wstring tip = Widen(GetMessage(kCaptionMessage)).substr(0, kTrayTipChars);
    wcsncpy(data.szTip, tip.c_str(), sizeof data.szTip / sizeof data.szTip[0] - 1);
    const bool added = Shell_NotifyIconW(NIM_ADD, &data) != FALSE;
    if (data.hIcon)
        DestroyIcon(data.hIcon);
    if (added)
        trayIconShown = true;
    return added;
}

void CDlgQuote::RemoveTrayIcon() {
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof data;
    data.hWnd = Handle();
    data.uID = kTrayIconId;
    Shell_NotifyIconW(NIM_DELETE, &data);
    trayIconShown = false;
}

MsgResult CDlgQuote::OnTrayNotify(MsgWParam, MsgLParam lParam) {
    switch (static_cast<UINT>(lParam)) {
    case WM_LBUTTONDOWN:
        if (!IsAlertsListActive())
            ToggleTerminal();
        break;
    case WM_RBUTTONDOWN:
        ShowProgramMenu(kMenuCallerTray);
        break;
    default:
        break;
    }
    return 0;
}

void CDlgQuote::ShowProgramMenu(const std::string& caller) {
    HMENU resource = LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDM_PROGRAM));
    if (!resource)
        return;
    HMENU menu = GetSubMenu(resource, 0);
    MenuState state;
    state.dataSource = AppConfig().dataSource;
    state.newsEnabled = AppConfig().newsEnabled;
    state.languageIndex = AppConfig().languageIndex;
    state.barVisible = IsVisible();
    state.terminalVisible = CurrentDesktop().IsVisible(MTHandler().TerminalWindow());
    state.caller = caller;
    for (const int command : RemovedMenuItems(state))
        DeleteMenu(menu, static_cast<UINT>(command), MF_BYCOMMAND);
    std::string shown;
    for (const auto& item : ProgramMenuTexts(state, [](int n) { return GetText(n); })) {
        ModifyMenuW(menu, static_cast<UINT>(item.command), MF_BYCOMMAND | MF_STRING,
                    static_cast<UINT_PTR>(item.command), Widen(item.text).c_str());
        shown += item.text + "|";
    }
    TidySeparators(menu);
    WriteLog("Program menu (" + caller + "): " + shown);

    POINT cursor{};
    GetCursorPos(&cursor);
    int y = cursor.y - kMenuAboveCursor;
    if (caller == kMenuCallerList) {
        RECT bar{};
        GetWindowRect(Handle(), &bar);
        y = bar.bottom;
    }
    SetForegroundWindow(Handle());
    TrackPopupMenu(menu, TPM_RIGHTALIGN | TPM_LEFTBUTTON, cursor.x, y, 0, Handle(), nullptr);
    PostMessageW(Handle(), WM_NULL, 0, 0); // lets the menu close when clicked beside
    DestroyMenu(resource);
}

void CDlgQuote::ToggleTerminal() {
    if (IsAlertsListActive())
        return;
    MTHandler().ShowHideTerminals();
}

void CDlgQuote::TogglePriceBar() {
    if (IsVisible()) {
        ShowWindow(Handle(), SW_HIDE);
        Config().Set("DISPLAY", "0");
        return;
    }
    ShowWindow(Handle(), SW_SHOWNORMAL);
    Config().Set("DISPLAY", "1");
    if (Config().Get("OPTGENAUTOHIDE") != "0")
        StartTimer(kAutoHideTimer, autoHideInterval);
}

void CDlgQuote::SetUpPictureButtons() {
    toolTips = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, Handle(),
                               nullptr, GetModuleHandleW(nullptr), nullptr);
    if (toolTips) {
        SendMessageW(toolTips, WM_SETFONT,
                     reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
        const int optionsTip = AppConfig().newsEnabled ? kNewsTip : kOptionsTip;
        const std::pair<int, int> tips[] = {{IDC_CLOSE_PICTURE, kCloseTip},
                                            {IDC_AUTOHIDE_ON, kAutoHideTip},
                                            {IDC_AUTOHIDE_OFF, kAutoHideTip},
                                            {IDC_ALERTS_PICTURE, kAlertsTip},
                                            {IDC_OPTIONS_PICTURE, optionsTip}};
        for (const auto& [id, entry] : tips) {
            std::wstring text = Widen(GetText(entry));
            TOOLINFOW tool{};
            tool.cbSize = sizeof tool;
            tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
            tool.hwnd = Handle();
            tool.uId = reinterpret_cast<UINT_PTR>(Item(id));
            tool.lpszText = text.data();
            SendMessageW(toolTips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
        }
    }
    const bool autoHide = Config().Get("OPTGENAUTOHIDE") == "1";
    PictureButton::Show(Item(IDC_AUTOHIDE_ON), autoHide);
    PictureButton::Show(Item(IDC_AUTOHIDE_OFF), !autoHide);
}

MsgResult CDlgQuote::OnClosePicture(MsgWParam, MsgLParam) {
    if (edgeHidden || !AnyFloatWindowShown()) {
        End(IDOK);
        return 0;
    }
    ShowWindow(Handle(), SW_HIDE);
    Config().Set("DISPLAY", "0");
    Config().Set("HBARTIME", NowText());
    return 0;
}

MsgResult CDlgQuote::OnAutoHideSwitch(MsgWParam, MsgLParam) {
    if (Config().Get("OPTGENAUTOHIDE") == "1") {
        Config().Set("OPTGENAUTOHIDE", "0");
        PictureButton::Show(Item(IDC_AUTOHIDE_ON), false);
        PictureButton::Show(Item(IDC_AUTOHIDE_OFF), true);
        return 0;
    }
    Config().Set("OPTGENAUTOHIDE", "1");
    PictureButton::Show(Item(IDC_AUTOHIDE_OFF), false);
    PictureButton::Show(Item(IDC_AUTOHIDE_ON), true);
    AutoHideStep();
    // The tick carries the slide on once the pointer leaves the bar.
    StartTimer(kAutoHideTimer, autoHideInterval);
    BringBackFloatWindows();
    return 0;
}

MsgResult CDlgQuote::OnAlertsPicture(MsgWParam, MsgLParam) {
    OpenAlertsWindow(false);
    return 0;
}

MsgResult CDlgQuote::OnOptionsPicture(MsgWParam, MsgLParam) {
    if (AppConfig().newsEnabled)
        OpenNewsWindow();
    else
        OpenOptionsWindow(0);
    return 0;
}

MsgResult CDlgQuote::OnShowTerminalButton(MsgWParam, MsgLParam) {
    ToggleTerminal();
    return 0;
}

MsgResult CDlgQuote::OnContact(MsgWParam, MsgLParam) {
    MessageBoxW(Handle(), Widen(kContactText).c_str(), Widen(GetMessage(kCaptionMessage)).c_str(),
                MB_OK | MB_ICONINFORMATION);
    return 0;
}

MsgResult CDlgQuote::OnExit(MsgWParam, MsgLParam) {
    End(IDOK);
    return 0;
}

MsgResult CDlgQuote::OnAlertsCommand(MsgWParam, MsgLParam) {
    OpenAlertsWindow(false);
    return 0;
}

MsgResult CDlgQuote::OnNewsCommand(MsgWParam, MsgLParam) {
    if (AppConfig().newsEnabled)
        OpenNewsWindow();
    return 0;
}

MsgResult CDlgQuote::OnOptionsCommand(MsgWParam, MsgLParam) {
    OpenOptionsWindow(0);
    return 0;
}

MsgResult CDlgQuote::OnPriceBarCommand(MsgWParam, MsgLParam) {
    TogglePriceBar();
    return 0;
}

MsgResult CDlgQuote::OnTerminalCommand(MsgWParam, MsgLParam) {
    ToggleTerminal();
    return 0;
}

MsgResult CDlgQuote::OnLeftButtonDown(MsgWParam, MsgLParam lParam) {
    // The borderless bar is dragged by its body.
    POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ClientToScreen(Handle(), &point);
    PostMessageW(Handle(), WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(point.x, point.y));
    return 0;
}

MsgResult CDlgQuote::OnSetCursor(MsgWParam wParam, MsgLParam) {
    if (reinterpret_cast<HWND>(wParam) == quoteList.Handle()) {
        SetCursor(LoadCursorW(nullptr, IDC_HAND));
        return TRUE;
    }
    PassOn();
    return 0;
}

void CDlgQuote::RegisterHotKeys() {
    const auto& table = HotKeyTable();
    for (int i = 0; i < kHotKeyCount; ++i) {
        const std::wstring name = Widen(table[i].atomName);
        hotKeyAtoms[i] = GlobalFindAtomW(name.c_str());
        if (hotKeyAtoms[i] < 1)
            hotKeyAtoms[i] = GlobalAddAtomW(name.c_str());
    }
    std::string failures;
    for (int i = 0; i < kHotKeyCount; ++i) {
        const HotKeyDefinition& key = table[i];
        const HotKeyChoice choice =
            ResolveHotKey(key, Config().Get(key.keySetting), Config().Get(key.modifierSetting));
        if (choice.Registers() &&
            !RegisterHotKey(Handle(), hotKeyAtoms[i],
                            ModifiersToRegistrationFlags(choice.modifiers), choice.key)) {
            failures += "\r\n" + GetText(key.failureTextEntry);
            continue; // its settings stay as they were
        }
        Config().SetInt(key.keySetting, choice.key);
        Config().SetInt(key.modifierSetting, choice.modifiers);
    }
    if (!failures.empty())
        MessageBoxW(Handle(),
                    Widen(HotKeyWarningText(GetText(kHotKeyFailureHeadEntry), failures)).c_str(),
                    Widen(kHotKeyWarningCaption).c_str(), MB_OK | MB_ICONINFORMATION);
}

void CDlgQuote::UnregisterHotKeys() {
    for (ATOM& atom : hotKeyAtoms) {
        if (!atom)
            continue;
        GlobalDeleteAtom(atom);
        UnregisterHotKey(Handle(), atom);
        atom = 0;
    }
}

MsgResult CDlgQuote::OnHotKey(MsgWParam wParam, MsgLParam) {
    const int id = HotKeyId(wParam);
    if (id < 1)
        return 0;
    if (id == hotKeyAtoms[kHotKeyTerminal]) {
        MTHandler().ShowHideTerminals();
    } else if (id == hotKeyAtoms[kHotKeyPriceBar]) {
        TogglePriceBar();
    } else if (id == hotKeyAtoms[kHotKeyAlerts]) {
        OpenAlertsWindow(true);
    } else if (id == hotKeyAtoms[kHotKeyTray]) {
        if (!AddTrayIcon())
            RemoveTrayIcon();
    } else if (id == hotKeyAtoms[kHotKeyNews]) {
        if (AppConfig().newsEnabled)
            ToggleNewsWindow();
    }
    return 0;
}
