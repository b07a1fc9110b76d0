#include <windows.h>
#include "alerts/DlgNotify.h"
#include "alerts/NotifyServices.h"
#include "platform/Dialog.h"

NotifyServices PlatformNotifyServices(std::function<void(const std::string& url)> sendEmail) {
    NotifyServices services;
    services.openPopup = &CDlgNotify::Open;
    services.pumpMessages = [] { PumpPending(); };
    services.sendEmail = std::move(sendEmail);
    services.screenWidth = GetSystemMetrics(SM_CXSCREEN);
    services.screenHeight = GetSystemMetrics(SM_CYSCREEN);
    return services;
}
