#pragma once
// The alert windows as the rest of the program reaches them. Win32 code only.
#include <windows.h>

class PriceBarDoor;

// The alerts list window (alerts/DlgMainAccess.cpp): made the first time, then shown,
// hidden (toggle) and refilled.
bool IsAlertsListActive(); // the application's last active pop-up
void OpenAlertsWindow(PriceBarDoor& bar, bool toggle);
void RefreshAlertsList();
void DestroyAlertsList();
// After a change to the alerts file: the list window refills (when it is the one given) and
// the price bar reloads its alert table.
void RefillAlertsAfterChange(PriceBarDoor& bar, HWND listWindow);
// For the evaluation's hooks: the list window exists; refill it, the bar's table with it.
bool AlertsListExists();
void RefillAlertsListWithReload();
// The about box, modal.
void OpenAboutBox(HWND owner);
