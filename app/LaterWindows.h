#pragma once
#include <string>

// Calls into the windows that the options, alerts, floating-price and news work adds.
// Until those windows exist these do nothing and answer "no such window".
// Modal (options/DlgOptions.cpp). True when the user's choice needs a restart, which the bar
// has been asked for.
bool OpenOptionsWindow(int page);
// The alerts list window's (alerts/DlgMainAccess.cpp).
bool IsAlertsListActive(); // the application's last active pop-up
void OpenAlertsWindow(bool toggle);
void RefreshAlertsList();
void DestroyAlertsList();
// The floating price windows' (alerts/DlgFloat.cpp).
void OpenFloatWindow(const std::string& symbol); // or brings the open one to the top
void BringBackFloatWindows();                    // every open one, out from under its edge
bool AnyFloatWindowShown();                      // open and not hidden at a screen edge
void ToggleNewsWindow();
void OpenNewsWindow();
void ShowPendingPageUpdate(); // the page update popup, when a page changed
void WriteDefaultWatchedPages();
