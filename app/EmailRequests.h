#pragma once
// The alerts' e-mail requests to the notification service: one at a time, answered by
// kHttpReqDoneMessage to the window that sent them, and logged. A request made while one
// runs waits its turn.
#include "quotes/FXData.h"
#include <cstdint>
#include <deque>
#include <string>

// Most requests waiting behind the running one; beyond, the oldest is dropped and logged.
inline constexpr std::size_t kMostWaitingEmails = 16;

class CEmailRequests {
public:
    void Send(WindowHandle window, const std::string& url);
    // The completion message of a request; false when it was none of ours.
    bool OnDone(std::uintptr_t requestNumber, std::intptr_t status);
    // Tests run the requests on their own client and window system.
    void SetClient(Http* http, DownloadHost* host);

private:
    void StartNext();

    CHttpReq request;
    WindowHandle window{};
    std::deque<std::string> waiting;
};
