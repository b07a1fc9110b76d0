#include "app/EmailRequests.h"
#include "alerts/Actions.h"
#include "settings/Log.h"

void CEmailRequests::Send(WindowHandle target, const std::string& url) {
    window = target;
    if (waiting.size() >= kMostWaitingEmails) {
        WriteLog("EMAIL:DROPPED:too many waiting");
        waiting.pop_front();
    }
    waiting.push_back(url);
    StartNext();
}

bool CEmailRequests::OnDone(std::uintptr_t requestNumber, std::intptr_t status) {
    if (static_cast<int>(requestNumber) != kEmailRequestNumber)
        return false;
    LogEmailCompletion(static_cast<long long>(status), CHttpReq::ResponseText());
    request.ClearBusy();
    StartNext();
    return true;
}

void CEmailRequests::SetClient(Http* http, DownloadHost* host) {
    request.SetHttp(http);
    request.SetHost(host);
}

void CEmailRequests::StartNext() {
    while (!waiting.empty()) {
        request.Request(window, waiting.front(), "", true, false, kEmailRequestNumber);
        // Busy: the running request's completion starts this one.
        if (request.Status() == kDownloadBusy)
            return;
        waiting.pop_front();
        if (request.Status() == kDownloadPending)
            return;
        LogEmailCompletion(request.Status(), "");
    }
}
