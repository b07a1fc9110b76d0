#pragma once
#include <string>

// Calls into the windows that the options, alerts, floating-price and news work adds.
// Until those windows exist these do nothing and answer "no such window".
void OpenOptionsWindow(int page); // modal (options/DlgOptions.cpp)
// The alerts list window's (alerts/DlgMainAccess.cpp).
bool IsAlertsListActive(); // the application's last active pop-up
void OpenAlertsWindow(bool toggle);
void RefreshAlertsList();
void DestroyAlertsList();
void OpenFloatWindow(const std::string& symbol);
void BringBackFloatWindows(); // every window listed in POPWIN
bool AnyFloatWindowShown();   // open and not hidden at a screen edge
void ToggleNewsWindow();
void OpenNewsWindow();
void ShowPendingPageUpdate(); // the page update popup, when a page changed
void WriteDefaultWatchedPages();
