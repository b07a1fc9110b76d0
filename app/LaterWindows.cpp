#include "app/LaterWindows.h"

void OpenOptionsWindow(int) {}
bool IsAlertsListActive() {
    return false;
}
void OpenAlertsWindow(bool) {}
void RefreshAlertsList() {}
void DestroyAlertsList() {}
void OpenFloatWindow(const std::string&) {}
void BringBackFloatWindows() {}
bool AnyFloatWindowShown() {
    return false;
}
void ToggleNewsWindow() {}
void OpenNewsWindow() {}
void ShowPendingPageUpdate() {}
void WriteDefaultWatchedPages() {}
