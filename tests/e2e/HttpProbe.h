#pragma once
// A hidden message window that records what the downloaders post to it, and the address
// of the local service the test script started.
#include <windows.h>
#include <chrono>
#include <string>
#include <vector>

namespace e2e {

struct ReceivedMessage {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

class MessageProbe {
public:
    MessageProbe();
    ~MessageProbe();
    MessageProbe(const MessageProbe&) = delete;
    MessageProbe& operator=(const MessageProbe&) = delete;

    HWND Handle() const { return window; }
    std::uintptr_t Window() const { return reinterpret_cast<std::uintptr_t>(window); }
    // Handles this thread's messages until one with that number arrived or the time is up.
    bool PumpUntil(UINT message, std::chrono::milliseconds timeout);
    const ReceivedMessage* First(UINT message) const;
    std::size_t Count(UINT message) const;
    const std::vector<ReceivedMessage>& Received() const { return received; }

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    HWND window = nullptr;
    std::vector<ReceivedMessage> received;
};

// "http://" + PIPWARDEN_SERVICE + path; "" when the variable is not set.
std::string ServiceUrl(const std::string& path);
// The body of a GET through the program's own HTTP client; "" when it failed.
std::string FetchText(const std::string& url);

} // namespace e2e
