#include "quotes/Downloader.h"
#include <chrono>
#include <thread>

namespace {
// No window system here: posts go nowhere and a wait only watches the clock.
class PlainHost final : public DownloadHost {
public:
    void Post(WindowHandle, unsigned, std::uintptr_t, std::intptr_t) override {}
    bool WaitPumping(const std::function<bool()>& finished, std::uint32_t timeoutMs) override {
        const auto deadline =
            std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        while (!finished()) {
            if (std::chrono::steady_clock::now() >= deadline)
                return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return true;
    }
};
} // namespace

DownloadHost& PlatformDownloadHost() {
    static DownloadHost* const host = new PlainHost; // deliberately never freed
    return *host;
}
