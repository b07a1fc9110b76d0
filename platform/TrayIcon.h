#pragma once
// A notification-area icon of one window. Win32 code only.
#include <windows.h>
#include <string>

class TrayIcon {
public:
    // `callbackMessage` reaches the owner with the mouse message in lParam.
    TrayIcon(UINT id, UINT callbackMessage, int iconResource)
        : id(id), callbackMessage(callbackMessage), iconResource(iconResource) {}
    TrayIcon(const TrayIcon&) = delete;
    TrayIcon& operator=(const TrayIcon&) = delete;

    void SetOwner(HWND window);
    // False when the icon is there already or the shell refuses it.
    bool Add(const std::string& tip);
    void Remove();
    bool Shown() const { return shown; }
    // True for the shell's restart broadcast ("TaskbarCreated"); a shown icon is added
    // again, since the new shell has forgotten it.
    bool OnShellRestart(UINT message);

private:
    UINT id;
    UINT callbackMessage;
    int iconResource;
    HWND owner = nullptr;
    UINT taskbarCreated = 0;
    bool shown = false;
    std::string tip;
};
