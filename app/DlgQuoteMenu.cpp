// Tray icon, program menu, picture buttons, visibility and global hot keys of the price bar.
#include "alerts/AlertWindows.h"
#include "app/DlgQuote.h"
#include "app/LaterWindows.h"
#include "common/ProgramMenu.h"
#include "common/ProgramMenuPopup.h"
#include "common/StartupRules.h"
#include "platform/Params.h"
#include "platform/Text.h"
#include "quotes/MTHandler.h"
#include "resources/resource.h"
#include "settings/AppConfig.h"
#include "settings/BarSettings.h"
#include "settings/Config.h"
#include "settings/DateTime.h"
#include "settings/Log.h"
#include "settings/OptionKeys.h"
#include "settings/TextIds.h"
#include <commctrl.h>
#include "settings/LangTable.h"

namespace {
constexpr int kMenuAboveCursor = 10;

} // namespace

void CDlgQuote::AddTrayIcon() {
    trayIcon.Add(GetMessage(kMsgProgramTitle));
}

void CDlgQuote::ShowTrayIcon(bool on) {
    if (!on)
        trayIcon.Remove();
    else if (!trayIcon.Shown())
        AddTrayIcon();
}

MsgResult CDlgQuote::OnTrayNotify(MsgWParam, MsgLParam lParam) {
    switch (TrayMouseMessage(lParam)) {
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
    POINT cursor{};
    GetCursorPos(&cursor);
    int y = cursor.y - kMenuAboveCursor;
    if (caller == kMenuCallerList) {
        RECT bar{};
        GetWindowRect(Handle(), &bar);
        y = bar.bottom;
    }
    TrackProgramMenu(Handle(), ProgramMenuStateFor(IsVisible(), caller), {cursor.x, y},
                     TPM_RIGHTALIGN | TPM_LEFTBUTTON);
}

void CDlgQuote::ToggleTerminal() {
    if (IsAlertsListActive())
        return;
    MTHandler().ShowHideTerminals();
}

void CDlgQuote::TogglePriceBar() {
    if (IsVisible()) {
        ShowWindow(Handle(), SW_HIDE);
        Config().Set(barkey::kDisplay, "0");
        return;
    }
    ShowWindow(Handle(), SW_SHOWNORMAL);
    Config().Set(barkey::kDisplay, "1");
    if (Config().Get(optkey::kAutoHide) != "0")
        autoHide.Start();
}

void CDlgQuote::SetUpPictureButtons() {
    toolTips = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, Handle(),
                               nullptr, GetModuleHandleW(nullptr), nullptr);
    if (toolTips) {
        SendMessageW(toolTips, WM_SETFONT,
                     reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
        const int optionsTip = AppConfig().newsEnabled ? kTextNewsTip : kTextOptions;
        const std::pair<int, int> tips[] = {{IDC_CLOSE_PICTURE, kTextCloseTip},
                                            {IDC_AUTOHIDE_ON, kTextAutoHideTip},
                                            {IDC_AUTOHIDE_OFF, kTextAutoHideTip},
                                            {IDC_ALERTS_PICTURE, kTextAlertsTip},
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
    const bool autoHideOn = Config().Get(optkey::kAutoHide) == "1";
    PictureButton::Show(Item(IDC_AUTOHIDE_ON), autoHideOn);
    PictureButton::Show(Item(IDC_AUTOHIDE_OFF), !autoHideOn);
}

// The switch shows its "off" picture while auto-hide is off.
bool CDlgQuote::AutoHideSwitchedOn() const {
    return !IsWindowVisible(Item(IDC_AUTOHIDE_OFF));
}

MsgResult CDlgQuote::OnClosePicture(MsgWParam, MsgLParam) {
    if (autoHide.Hidden() || !AnyFloatWindowShown()) {
        End(IDOK);
        return 0;
    }
    ShowWindow(Handle(), SW_HIDE);
    Config().Set(barkey::kDisplay, "0");
    Config().Set(barkey::kHiddenSince, NowText());
    return 0;
}

MsgResult CDlgQuote::OnAutoHideSwitch(MsgWParam, MsgLParam) {
    if (Config().Get(optkey::kAutoHide) == "1") {
        Config().Set(optkey::kAutoHide, "0");
        PictureButton::Show(Item(IDC_AUTOHIDE_ON), false);
        PictureButton::Show(Item(IDC_AUTOHIDE_OFF), true);
        return 0;
    }
    Config().Set(optkey::kAutoHide, "1");
    PictureButton::Show(Item(IDC_AUTOHIDE_OFF), false);
    PictureButton::Show(Item(IDC_AUTOHIDE_ON), true);
    autoHide.Step();
    // The tick carries the slide on once the pointer leaves the bar.
    autoHide.Start();
    BringBackFloatWindows();
    return 0;
}

MsgResult CDlgQuote::OnAlertsPicture(MsgWParam, MsgLParam) {
    OpenAlertsWindow(Door(), false);
    return 0;
}

MsgResult CDlgQuote::OnOptionsPicture(MsgWParam, MsgLParam) {
    if (AppConfig().newsEnabled)
        OpenNewsWindow();
    else
        OpenOptionsWindow(0);
    return 0;
}

MsgResult CDlgQuote::OnContact(MsgWParam, MsgLParam) {
    OpenAboutBox(Handle());
    return 0;
}

MsgResult CDlgQuote::OnExit(MsgWParam, MsgLParam) {
    End(IDOK);
    return 0;
}

MsgResult CDlgQuote::OnAlertsCommand(MsgWParam, MsgLParam) {
    OpenAlertsWindow(Door(), false);
    return 0;
}

MsgResult CDlgQuote::OnAlertHistoryCommand(MsgWParam, MsgLParam) {
    OpenHistoryWindow();
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

MsgResult CDlgQuote::OnHotKey(MsgWParam wParam, MsgLParam) {
    switch (hotKeys.RowOf(HotKeyId(wParam))) {
    case kHotKeyTerminal:
        MTHandler().ShowHideTerminals();
        break;
    case kHotKeyPriceBar:
        TogglePriceBar();
        break;
    case kHotKeyAlerts:
        OpenAlertsWindow(Door(), true);
        break;
    case kHotKeyTray:
        if (!trayIcon.Add(GetMessage(kMsgProgramTitle)))
            trayIcon.Remove();
        break;
    case kHotKeyNews:
        if (AppConfig().newsEnabled)
            ToggleNewsWindow();
        break;
    default:
        break;
    }
    return 0;
}
