// The price bar as the door the other windows reach it through.
#include "alerts/AlertWindows.h"
#include "app/DlgQuote.h"
#include "app/LaterWindows.h"
#include "settings/AppConfig.h"

// Posted: the command may close the caller's window or end the program.
void CDlgQuote::PostBarCommand(UINT command) {
    PostMessageW(Handle(), WM_COMMAND, static_cast<WPARAM>(command), 0);
}

void CDlgQuote::ReloadAlerts() {
    alerts.SetPath(AppConfig().alertsPath);
    alerts.ReloadAlerts();
}

void CDlgQuote::RefillAlertsOrReload() {
    if (AlertsListExists())
        RefillAlertsListWithReload();
    else
        ReloadAlerts();
}

std::vector<int> CDlgQuote::RegisterHotKeys() {
    hotKeys.Unregister();
    return hotKeys.Register(Handle());
}

void CDlgQuote::OpenFloatWindow(const std::string& symbol) {
    ::OpenFloatWindow(Door(), symbol);
}

bool CDlgQuote::OpenOptionsWindow(int page) {
    return ::OpenOptionsWindow(Door(), page);
}

void CDlgQuote::OpenHistoryWindow() {
    ::OpenHistoryWindow();
}
