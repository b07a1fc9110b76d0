#include "platform/Text.h"
#include "tools/mt4sim/SimResource.h"
#include "tools/mt4sim/SimWindows_win.h"

namespace {

struct OrderInit {
    const std::string* title;
    const SimQuote* quote;
};

struct AlertInit {
    const std::string* title;
    const std::string* text;
};

void SetItemText(HWND dialog, int id, const std::string& text) {
    SetDlgItemTextW(dialog, id, Widen(text).c_str());
}

// Shared by both popups: any button or WM_CLOSE ends the window, and the owner hears of it.
INT_PTR CommonDialogMessage(HWND dialog, UINT message, WPARAM wParam) {
    switch (message) {
    case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED)
            DestroyWindow(dialog);
        return TRUE;
    case WM_CLOSE:
        DestroyWindow(dialog);
        return TRUE;
    case WM_NCDESTROY:
        if (HWND owner = GetWindow(dialog, GW_OWNER))
            SendMessageW(owner, kSimPopupClosedMessage, reinterpret_cast<WPARAM>(dialog), 0);
        return FALSE;
    default:
        return FALSE;
    }
}

INT_PTR CALLBACK OrderProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        const auto* init = reinterpret_cast<const OrderInit*>(lParam);
        SetWindowTextW(dialog, Widen(*init->title).c_str());
        // The symbol alone in the first control, so a test can read it back exactly.
        SetItemText(dialog, IDC_SIM_ORDER_SYMBOL, init->quote->symbol);
        SetItemText(dialog, IDC_SIM_ORDER_PRICES,
                    "Bid " + init->quote->bidText + "   Ask " + init->quote->askText);
        return TRUE;
    }
    return CommonDialogMessage(dialog, message, wParam);
}

INT_PTR CALLBACK AlertProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        const auto* init = reinterpret_cast<const AlertInit*>(lParam);
        SetWindowTextW(dialog, Widen(*init->title).c_str());
        SetItemText(dialog, IDC_SIM_ALERT_TEXT, *init->text);
        return TRUE;
    }
    return CommonDialogMessage(dialog, message, wParam);
}

HWND ShowPopup(HWND popup) {
    if (popup) {
        ShowWindow(popup, SW_SHOWNORMAL);
        SetForegroundWindow(popup);
    }
    return popup;
}

} // namespace

HWND OpenOrderDialog(HWND owner, const std::string& title, const SimQuote& quote) {
    OrderInit init{&title, &quote};
    return ShowPopup(CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_SIM_ORDER),
                                        owner, OrderProc, reinterpret_cast<LPARAM>(&init)));
}

HWND OpenAlertDialog(HWND owner, const std::string& title, const std::string& text) {
    AlertInit init{&title, &text};
    return ShowPopup(CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_SIM_ALERT),
                                        owner, AlertProc, reinterpret_cast<LPARAM>(&init)));
}
