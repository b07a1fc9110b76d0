#include <windows.h>
#include "alerts/DlgNotify.h"
#include "alerts/NotifyServices.h"
#include "platform/Dialog.h"

void PumpPendingMessages() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            // Left for the loop that owns the program's end.
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        if (!RouteDialogMessage(message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
}

NotifyServices PlatformNotifyServices(std::function<void(const std::string& url)> sendEmail) {
    NotifyServices services;
    services.openPopup = &CDlgNotify::Open;
    services.pumpMessages = &PumpPendingMessages;
    services.sendEmail = std::move(sendEmail);
    services.screenWidth = GetSystemMetrics(SM_CXSCREEN);
    services.screenHeight = GetSystemMetrics(SM_CYSCREEN);
    return services;
}
