#pragma once
// The alert windows as the rest of the program reaches them. Win32 code only.
#include <windows.h>
#include <string>

// After a change to the alerts file: the list window refills (when it exists) and the price
// bar reloads its alert table.
void RefillAlertsAfterChange(HWND listWindow);
void ReloadBarAlerts();
// For the evaluation's hooks: the list window exists; refill it with a reload.
bool AlertsListExists();
void RefillAlertsListWithReload();
// The price the bar now shows for the pair; "" when it does not show it.
std::string BarCellText(const std::string& symbol);
// The Internet source's first pages are still on their way: no symbols is no failure yet.
bool QuotePagesPending();
// Rebuilds the bar's columns after the displayed pairs changed.
void RebuildBarColumns();
// The about box, modal.
void OpenAboutBox(HWND owner);
