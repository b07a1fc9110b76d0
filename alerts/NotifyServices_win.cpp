#include <windows.h>
#include "alerts/DlgNotify.h"
#include "alerts/NotifyServices.h"
#include "delivery/DeliveryCenter.h"
#include "platform/Dialog.h"

NotifyServices PlatformNotifyServices(std::function<void(const std::string& url)> sendEmail,
                                      std::function<void(SnoozeChoice)> snooze) {
    NotifyServices services;
    services.openPopup = [snooze = std::move(snooze)](const std::string& symbol,
                                                      const std::string& price,
                                                      const std::string& message) {
        CDlgNotify::Open(symbol, price, message, {}, snooze);
    };
    services.pumpMessages = [] { PumpPending(); };
    services.sendEmail = std::move(sendEmail);
    services.sendMail = [](const AlertNotice& notice) { Deliveries().SendMail(notice); };
    services.sendPhone = [](const AlertNotice& notice) { Deliveries().SendPhone(notice); };
    services.screenWidth = GetSystemMetrics(SM_CXSCREEN);
    services.screenHeight = GetSystemMetrics(SM_CYSCREEN);
    return services;
}
