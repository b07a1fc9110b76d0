#include "app/LaterWindows.h"

void ToggleNewsWindow() {}
void OpenNewsWindow() {}
void ShowPendingPageUpdate() {}
void WriteDefaultWatchedPages() {}
