#include "quotes/Downloader.h"
#include "platform/FileSystem.h"
#include "platform/Text.h"
#include <chrono>
#include <cstring>
#include <system_error>
#include <thread>

// Everything a worker touches, shared with the downloader so that neither outlives it.
struct DownloadJob {
    WindowHandle window = 0;
    std::string address;
    std::string localFile;
    std::uintptr_t completionWParam = 0;
    DownloadMessages messages;
    DownloadLimits limits;
    Http* http = nullptr;
    DownloadHost* host = nullptr;
    std::shared_ptr<SharedText> target;
    std::atomic<bool> finished{false};  // the result is known
    std::atomic<bool> ended{false};     // ... and the completion has been posted
    std::atomic<bool> abandoned{false}; // the downloader is gone: post nothing more
    std::atomic<int> result{kDownloadOk};
    std::chrono::steady_clock::time_point startedAt = std::chrono::steady_clock::now();
    std::atomic<int> fate{0}; // kRunning, then kEnded by the worker or kStranded by the owner
};

namespace {
constexpr int kFirstHttpErrorStatus = 400;
constexpr int kRunning = 0, kEnded = 1, kStranded = 2;
// Workers given up while blocked in the network; a few may wait out a silent server, more
// would pile up threads, so beyond them the downloaders stay busy.
constexpr int kMostStrandedWorkers = 3;
std::atomic<int> strandedWorkers{0};

int Transfer(DownloadJob& job, std::string& text) {
    using Steady = std::chrono::steady_clock;
    const Steady::time_point deadline =
        Steady::now() + std::chrono::milliseconds(job.limits.transferMs);
    HttpOpenError error = HttpOpenError::None;
    std::unique_ptr<HttpResponse> response =
        job.http->Get(job.address, kDownloadAgent, job.limits.timeouts, error);
    if (!response)
        return error == HttpOpenError::Session ? kDownloadOpenFailed : kDownloadUrlFailed;
    if (job.limits.errorStatusFails && response->StatusCode() >= kFirstHttpErrorStatus)
        return kDownloadHttpError;
    const std::optional<std::string> lengthText = response->ContentLength();
    if (!lengthText && job.limits.lengthRequired)
        return kDownloadNoLength;
    const std::uintptr_t length = lengthText ? LeadingInteger<std::uintptr_t>(*lengthText) : 0;
    std::uintptr_t received = 0;
    char chunk[kDownloadChunkBytes + 1];
    for (;;) {
        std::memset(chunk, 0, sizeof chunk);
        std::size_t got = 0;
        if (!response->Read(chunk, kDownloadChunkBytes, got))
            return kDownloadWorkerFailed;
        if (got == 0)
            break;
        received += got;
        if (!job.abandoned)
            job.host->Post(job.window, job.messages.progress, length,
                           static_cast<std::intptr_t>(received));
        // A chunk counts as text up to its first zero byte.
        const void* zero = std::memchr(chunk, 0, got);
        text.append(chunk, zero ? static_cast<const char*>(zero) - chunk : got);
        if (received > job.limits.maxBytes)
            return kDownloadWorkerFailed;
        if (Steady::now() > deadline)
            return kDownloadCanceled;
    }
    // A connection that closed before the announced length is a broken page.
    if (received < length)
        return kDownloadWorkerFailed;
    return kDownloadOk;
}

// A broken transfer or an error page keeps the last whole text, so lookups never see half
// a page or a server's error text.
bool Publishes(int result) {
    return result != kDownloadWorkerFailed && result != kDownloadCanceled &&
           result != kDownloadHttpError;
}

void RunJob(std::shared_ptr<DownloadJob> job) {
    int result = kDownloadOk;
    try {
        std::string text;
        result = Transfer(*job, text);
        if (result == kDownloadOk && !job->localFile.empty() &&
            !Files().ReplaceAtomically(job->localFile, text))
            result = kDownloadFileFailed;
        if (Publishes(result))
            job->target->Set(std::move(text));
    } catch (...) {
        result = kDownloadWorkerFailed;
    }
    job->result = result;
    job->finished = true;
    // Finished before the post: the owner's handler may clear the busy marker at once.
    if (!job->abandoned)
        job->host->Post(job->window, job->messages.completion, job->completionWParam, result);
    job->ended = true;
    int running = kRunning;
    if (!job->fate.compare_exchange_strong(running, kEnded))
        --strandedWorkers;
}

// A worker past the wait limit has hung in the network (some WinINet versions never time
// out a server that accepts the connection and says nothing): it is left to end on its own
// and posts nothing more, so that the next request is not refused as busy for ever.
bool Strand(DownloadJob& job) {
    if (job.finished ||
        std::chrono::steady_clock::now() - job.startedAt <
            std::chrono::milliseconds(job.limits.waitMs) ||
        strandedWorkers >= kMostStrandedWorkers)
        return false;
    job.abandoned = true;
    ++strandedWorkers;
    int running = kRunning;
    if (!job.fate.compare_exchange_strong(running, kStranded))
        --strandedWorkers; // it has just ended
    return true;
}
} // namespace

std::string DownloadStatusText(int status) {
    switch (status) {
    case kDownloadOk:
        return "";
    case kDownloadOpenFailed:
        return "InternetOpen Error.";
    case kDownloadUrlFailed:
        return "InternetOpenUrl Error.";
    case kDownloadNoLength:
        return "Get Filesize Error.";
    case kDownloadCanceled:
        return "Download have been canceled.";
    case kDownloadBusy:
        return "Current is busy.";
    case kDownloadNoThread:
        return "Fail to create download thread.";
    case kDownloadFileFailed:
        return "Fail to open local file.";
    case kDownloadFileExists:
        return "The file has been in existence.";
    case kDownloadPending:
        return "Asynchronism download, please wait.";
    case kDownloadHttpError:
        return "HTTP Error.";
    default:
        return "Unknowed Error:" + std::to_string(status) + ".";
    }
}

void SharedText::Set(std::string value) {
    auto fresh = std::make_shared<const std::string>(std::move(value));
    std::lock_guard<std::mutex> lock(mutex);
    text = std::move(fresh);
}

std::shared_ptr<const std::string> SharedText::Get() const {
    std::lock_guard<std::mutex> lock(mutex);
    return text;
}

CDownloader::CDownloader(DownloadMessages messages, std::shared_ptr<SharedText> target)
    : messages(messages), target(std::move(target)) {}

CDownloader::~CDownloader() {
    if (job)
        job->abandoned = true;
}

bool CDownloader::Start(WindowHandle window, const std::string& address,
                        const std::string& localFile, bool overwrite, bool wait,
                        std::uintptr_t completionWParam) {
    if (job && !Strand(*job)) {
        status = kDownloadBusy;
        return false;
    }
    job.reset();
    status = kDownloadOk;
    if (!overwrite && !localFile.empty() && Files().Kind(localFile) != PathKind::Missing) {
        status = kDownloadFileExists;
        return false;
    }
    auto fresh = std::make_shared<DownloadJob>();
    fresh->window = window;
    fresh->address = address;
    fresh->localFile = localFile;
    fresh->completionWParam = completionWParam;
    fresh->messages = messages;
    fresh->limits = limits;
    fresh->http = http ? http : &CurrentHttp();
    fresh->host = host ? host : &PlatformDownloadHost();
    fresh->target = target;
    try {
        std::thread(RunJob, fresh).detach();
    } catch (const std::system_error&) {
        status = kDownloadNoThread;
        return false;
    }
    job = fresh;
    if (!wait) {
        status = kDownloadPending;
        return false;
    }
    DownloadJob& waited = *fresh;
    if (!fresh->host->WaitPumping([&waited] { return waited.ended.load(); }, limits.waitMs)) {
        // The worker still runs; its completion message clears the busy marker later.
        status = kDownloadCanceled;
        return false;
    }
    status = fresh->result;
    if (job == fresh)
        job.reset();
    return status == kDownloadOk;
}

std::string CDownloader::GetErrorText(int code) const {
    return DownloadStatusText(code <= 0 ? status : code);
}

void CDownloader::ClearBusy() {
    if (!job || !job->finished)
        return;
    status = job->result;
    job.reset();
}
