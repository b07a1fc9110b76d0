#include "app/EmailRequests.h"
#include "alerts/Actions.h"

void CEmailRequests::Send(WindowHandle window, const std::string& url) {
    request.Request(window, url, "", true, false, kEmailRequestNumber);
}

bool CEmailRequests::OnDone(std::uintptr_t requestNumber, std::intptr_t status) {
    if (static_cast<int>(requestNumber) != kEmailRequestNumber)
        return false;
    LogEmailCompletion(static_cast<long long>(status), CHttpReq::ResponseText());
    request.ClearBusy();
    return true;
}
