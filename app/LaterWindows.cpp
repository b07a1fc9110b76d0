#include "app/LaterWindows.h"

void OpenFloatWindow(const std::string&) {}
void BringBackFloatWindows() {}
bool AnyFloatWindowShown() {
    return false;
}
void ToggleNewsWindow() {}
void OpenNewsWindow() {}
void ShowPendingPageUpdate() {}
void WriteDefaultWatchedPages() {}
