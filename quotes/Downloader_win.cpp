#include <windows.h>
#include "platform/Dialog.h"
#include "quotes/Downloader.h"

namespace {
constexpr DWORD kPumpSliceMs = 20;

class WindowsHost final : public DownloadHost {
public:
    void Post(WindowHandle window, unsigned message, std::uintptr_t wParam,
              std::intptr_t lParam) override {
        // A window that is gone just does not receive it.
        PostMessageW(reinterpret_cast<HWND>(window), message, static_cast<WPARAM>(wParam),
                     static_cast<LPARAM>(lParam));
    }

    bool WaitPumping(const std::function<bool()>& finished, std::uint32_t timeoutMs) override {
        // Wakes at least every slice to look at the worker.
        return PumpUntil(finished, timeoutMs, kPumpSliceMs);
    }
};
} // namespace

DownloadHost& PlatformDownloadHost() {
    static DownloadHost* const host = new WindowsHost; // deliberately never freed
    return *host;
}
