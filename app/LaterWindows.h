#pragma once
#include <string>

class PriceBarDoor;

// Calls from the price bar into the other windows.
// Modal (options/DlgOptions.cpp). True when the user's choice needs a restart, which the bar
// has been asked for.
bool OpenOptionsWindow(PriceBarDoor& bar, int page);
// The alerts list window's (alerts/DlgMainAccess.cpp).
bool IsAlertsListActive(); // the application's last active pop-up
void OpenAlertsWindow(PriceBarDoor& bar, bool toggle);
void RefreshAlertsList();
void DestroyAlertsList();
void OpenHistoryWindow(); // the alert history (alerts/DlgHistory.cpp); brought up and reloaded
// The floating price windows' (alerts/DlgFloat.cpp).
void OpenFloatWindow(PriceBarDoor& bar, const std::string& symbol); // or brings it up
void BringBackFloatWindows(); // every open one, out from under its edge
bool AnyFloatWindowShown();   // open and not hidden at a screen edge
// The news window's (news/DlgNewsAccess.cpp), used only while the news feature is switched on.
void ToggleNewsWindow();      // shows or hides it, once it exists
void OpenNewsWindow();        // makes it the first time; shows the changed page first
void ShowPendingPageUpdate(); // the page update popup, when a page changed
void DestroyNewsWindows();    // at the program's end
