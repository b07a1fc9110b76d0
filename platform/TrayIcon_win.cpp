#include "platform/Text.h"
#include "platform/TrayIcon.h"
#include <shellapi.h>

namespace {
constexpr int kTrayIconPixels = 16;
} // namespace

void TrayIcon::SetOwner(HWND window) {
    owner = window;
    taskbarCreated = RegisterWindowMessageW(L"TaskbarCreated");
}

bool TrayIcon::Add(const std::string& text) {
    tip = text;
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof data;
    data.hWnd = owner;
    data.uID = id;
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = callbackMessage;
    data.hIcon =
        static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(iconResource),
                                      IMAGE_ICON, kTrayIconPixels, kTrayIconPixels, 0));
    const std::wstring wide = Widen(tip);
    lstrcpynW(data.szTip, wide.c_str(), static_cast<int>(sizeof data.szTip / sizeof data.szTip[0]));
    const bool added = Shell_NotifyIconW(NIM_ADD, &data) != FALSE;
    if (data.hIcon)
        DestroyIcon(data.hIcon);
    if (added)
        shown = true;
    return added;
}

void TrayIcon::Remove() {
    if (!owner)
        return;
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof data;
    data.hWnd = owner;
    data.uID = id;
    Shell_NotifyIconW(NIM_DELETE, &data);
    shown = false;
}

bool TrayIcon::OnShellRestart(UINT message) {
    if (!taskbarCreated || message != taskbarCreated)
        return false;
    if (shown)
        Add(tip);
    return true;
}
