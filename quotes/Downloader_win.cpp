#include <windows.h>
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
        const DWORD start = GetTickCount();
        while (!finished()) {
            const DWORD elapsed = GetTickCount() - start;
            if (elapsed >= timeoutMs)
                return false;
            // Wakes at once for any input or posted message, and at least every slice to
            // look at the worker.
            const DWORD left = timeoutMs - elapsed;
            MsgWaitForMultipleObjects(0, nullptr, FALSE, left < kPumpSliceMs ? left : kPumpSliceMs,
                                      QS_ALLINPUT);
            MSG msg;
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                if (msg.message == WM_QUIT) {
                    // Leave the quit to the loop that owns it.
                    PostQuitMessage(static_cast<int>(msg.wParam));
                    return finished();
                }
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
        }
        return true;
    }
};
} // namespace

DownloadHost& PlatformDownloadHost() {
    static DownloadHost* const host = new WindowsHost; // deliberately never freed
    return *host;
}
