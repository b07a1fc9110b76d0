#include "tests/e2e/HttpProbe.h"
#include "platform/Http.h"
#include <memory>
#include <cstdlib>

namespace e2e {
namespace {
constexpr wchar_t kProbeClass[] = L"PipWardenHttpProbe";

void RegisterProbeClass() {
    static const bool registered = [] {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = DefWindowProcW;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = kProbeClass;
        return RegisterClassW(&windowClass) != 0;
    }();
    static_cast<void>(registered);
}
} // namespace

MessageProbe::MessageProbe() {
    RegisterProbeClass();
    window = CreateWindowExW(0, kProbeClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                             GetModuleHandleW(nullptr), nullptr);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Procedure));
}

MessageProbe::~MessageProbe() {
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    DestroyWindow(window);
}

LRESULT CALLBACK MessageProbe::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* probe = reinterpret_cast<MessageProbe*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (probe && message >= WM_USER)
        probe->received.push_back({message, wParam, lParam});
    return DefWindowProcW(window, message, wParam, lParam);
}

bool MessageProbe::PumpUntil(UINT message, std::chrono::milliseconds timeout) {
    const DWORD start = GetTickCount();
    while (!First(message)) {
        const DWORD elapsed = GetTickCount() - start;
        if (elapsed >= static_cast<DWORD>(timeout.count()))
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&msg);
    }
    return true;
}

const ReceivedMessage* MessageProbe::First(UINT message) const {
    for (const ReceivedMessage& each : received) {
        if (each.message == message)
            return &each;
    }
    return nullptr;
}

std::size_t MessageProbe::Count(UINT message) const {
    std::size_t count = 0;
    for (const ReceivedMessage& each : received)
        count += each.message == message ? 1 : 0;
    return count;
}

std::string ServiceUrl(const std::string& path) {
    const char* service = std::getenv("PIPWARDEN_SERVICE");
    if (!service || !*service)
        return "";
    return std::string("http://") + service + path;
}

std::string FetchText(const std::string& url) {
    HttpOpenError error = HttpOpenError::None;
    const std::unique_ptr<HttpResponse> response =
        PlatformHttp().Get(url, "e2e", HttpTimeouts{}, error);
    std::string body;
    char chunk[4096];
    std::size_t got = 0;
    while (response && response->Read(chunk, sizeof chunk, got) && got > 0)
        body.append(chunk, got);
    return body;
}

} // namespace e2e
