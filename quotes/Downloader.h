#pragma once
#include "platform/Desktop.h"
#include "platform/Http.h"
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

// Statuses of a download; GetErrorText gives their texts.
inline constexpr int kDownloadOk = 0;
inline constexpr int kDownloadOpenFailed = 1;
inline constexpr int kDownloadUrlFailed = 2;
inline constexpr int kDownloadNoLength = 3;
inline constexpr int kDownloadCanceled = 4; // also: gave up after the time limit
inline constexpr int kDownloadBusy = 5;
inline constexpr int kDownloadNoThread = 6;
inline constexpr int kDownloadFileFailed = 7;
inline constexpr int kDownloadFileExists = 8;
inline constexpr int kDownloadPending = 9;
inline constexpr int kDownloadWorkerFailed = 10; // exception, failed read, body cut short
inline constexpr int kDownloadHttpError = 11;    // status 400 or above, when asked to fail

inline constexpr const char* kDownloadAgent = "Tickmon";
inline constexpr std::size_t kDownloadChunkBytes = 1023;

// The text of a download status; "Unknowed Error:%d." for any other number.
std::string DownloadStatusText(int status);

// A text handed from a worker thread to the user-interface thread, whole or not at all.
class SharedText {
public:
    void Set(std::string text);
    std::shared_ptr<const std::string> Get() const;

private:
    mutable std::mutex mutex;
    std::shared_ptr<const std::string> text = std::make_shared<const std::string>();
};

// What a downloader needs of the window system.
class DownloadHost {
public:
    virtual ~DownloadHost() = default;
    // Called on the worker thread.
    virtual void Post(WindowHandle window, unsigned message, std::uintptr_t wParam,
                      std::intptr_t lParam) = 0;
    // Handles the calling thread's window messages until `finished` holds; false when the
    // time ran out first (or the program is quitting).
    virtual bool WaitPumping(const std::function<bool()>& finished, std::uint32_t timeoutMs) = 0;
};

// Never destroyed, so a worker still running at exit can use it.
DownloadHost& PlatformDownloadHost();

struct DownloadMessages {
    unsigned progress = 0;
    unsigned completion = 0;
};

// Bounds of one request. A dead server fails within connect + receive time; a trickling
// one is cut off at the transfer limit. A waited request therefore ends within
// about 40 s, the wait limit being only a backstop.
struct DownloadLimits {
    HttpTimeouts timeouts{};
    std::uint32_t transferMs = 30000;
    std::uint32_t waitMs = 45000;
    std::size_t maxBytes = 16u << 20; // a 32-bit process holds the whole response
    // Web pages are mostly sent in chunks without a length: false reads them to their end.
    bool lengthRequired = true;
    // True: an error page (status 400 or above) is no content; the last text is kept.
    bool errorStatusFails = false;
};

struct DownloadJob;

// One HTTP GET at a time on a worker thread, reported to a window by posted messages:
// progress (wParam the Content-Length, lParam the bytes so far) and completion (wParam
// given by the caller, lParam the status). The finished text goes to the target.
class CDownloader {
public:
    CDownloader(DownloadMessages messages, std::shared_ptr<SharedText> target);
    virtual ~CDownloader();
    CDownloader(const CDownloader&) = delete;
    CDownloader& operator=(const CDownloader&) = delete;

    // True only for a waited request that ended with status 0.
    bool Start(WindowHandle window, const std::string& address, const std::string& localFile,
               bool overwrite, bool wait, std::uintptr_t completionWParam);

    int Status() const { return status; }
    // The text of a status; 0 or less means the object's own last status.
    std::string GetErrorText(int code = 0) const;
    bool IsBusy() const { return job != nullptr; }
    // The owner calls this when it handles the completion message. A request whose worker
    // still runs stays busy, so there is never a second worker.
    void ClearBusy();

    // Tests run the downloader on their own client and window system.
    void SetHttp(Http* client) { http = client; }
    void SetHost(DownloadHost* windowSystem) { host = windowSystem; }
    void SetLimits(const DownloadLimits& limits) { this->limits = limits; }

private:
    DownloadMessages messages;
    std::shared_ptr<SharedText> target;
    Http* http = nullptr;         // nullptr: the current client at each start
    DownloadHost* host = nullptr; // nullptr: the platform's
    DownloadLimits limits{};
    int status = kDownloadOk;
    std::shared_ptr<DownloadJob> job; // the busy marker
};
