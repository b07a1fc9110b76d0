#pragma once
// The alerts' e-mail requests to the notification service: one at a time, answered by
// kHttpReqDoneMessage to the window that sent them, and logged.
#include "quotes/FXData.h"
#include <cstdint>
#include <string>

class CEmailRequests {
public:
    void Send(WindowHandle window, const std::string& url);
    // The completion message of a request; false when it was none of ours.
    bool OnDone(std::uintptr_t requestNumber, std::intptr_t status);

private:
    CHttpReq request;
};
