#pragma once
// Scripted HTTP responses and a recording window system for the downloader tests.
#include "platform/Http.h"
#include "quotes/Downloader.h"
#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <vector>

struct ScriptedPage {
    HttpOpenError openError = HttpOpenError::None;
    int status = 200;
    std::optional<std::string> contentLength;
    std::vector<std::string> chunks;
    int failReadAt = -1;  // this read returns false
    int throwReadAt = -1; // this read throws
    bool gated = false;   // every read waits until the gate opens
    std::chrono::milliseconds readDelay{0};
};

// A page whose Content-Length matches its body.
inline ScriptedPage PageOf(std::vector<std::string> chunks) {
    ScriptedPage page;
    std::size_t size = 0;
    for (const std::string& chunk : chunks)
        size += chunk.size();
    page.contentLength = std::to_string(size);
    page.chunks = std::move(chunks);
    return page;
}

inline ScriptedPage FailingOpen(HttpOpenError error) {
    ScriptedPage page;
    page.openError = error;
    return page;
}

// A page sent without a Content-Length header.
inline ScriptedPage WithoutLength(std::vector<std::string> chunks) {
    ScriptedPage page;
    page.chunks = std::move(chunks);
    return page;
}

class ScriptedHttp final : public Http {
public:
    explicit ScriptedHttp(ScriptedPage page = {}) : page(std::move(page)) {}

    void SetPage(ScriptedPage next) {
        std::lock_guard<std::mutex> lock(mutex);
        page = std::move(next);
    }
    void OpenGate() {
        std::lock_guard<std::mutex> lock(mutex);
        gateOpen = true;
        changed.notify_all();
    }
    std::vector<std::size_t> Capacities() {
        std::lock_guard<std::mutex> lock(mutex);
        return capacities;
    }
    std::string LastAgent() {
        std::lock_guard<std::mutex> lock(mutex);
        return agent;
    }
    std::string LastUrl() {
        std::lock_guard<std::mutex> lock(mutex);
        return url;
    }
    int OpenResponses() {
        std::lock_guard<std::mutex> lock(mutex);
        return open;
    }
    struct PostRequest {
        std::string url, contentType, body;
        std::vector<std::string> headers;
    };
    std::vector<PostRequest> Posts() {
        std::lock_guard<std::mutex> lock(mutex);
        return posts;
    }

    std::unique_ptr<HttpResponse> Get(const std::string& address, const std::string& userAgent,
                                      const HttpTimeouts&, HttpOpenError& error) override {
        std::lock_guard<std::mutex> lock(mutex);
        url = address;
        agent = userAgent;
        error = page.openError;
        if (error != HttpOpenError::None)
            return nullptr;
        ++open;
        return std::make_unique<Response>(*this, page);
    }

    // A POST answers with the same scripted page and is recorded.
    std::unique_ptr<HttpResponse> Post(const std::string& address, const std::string& userAgent,
                                       const std::string& contentType,
                                       const std::vector<std::string>& headerLines,
                                       const std::string& body, const HttpTimeouts& timeouts,
                                       HttpOpenError& error) override {
        {
            std::lock_guard<std::mutex> lock(mutex);
            posts.push_back({address, contentType, body, headerLines});
        }
        return Get(address, userAgent, timeouts, error);
    }

private:
    class Response final : public HttpResponse {
    public:
        Response(ScriptedHttp& owner, ScriptedPage page) : owner(owner), page(std::move(page)) {}
        ~Response() override {
            std::lock_guard<std::mutex> lock(owner.mutex);
            --owner.open;
        }
        int StatusCode() override { return page.status; }
        std::optional<std::string> ContentLength() override { return page.contentLength; }
        bool Read(char* buffer, std::size_t capacity, std::size_t& received) override {
            {
                std::unique_lock<std::mutex> lock(owner.mutex);
                owner.capacities.push_back(capacity);
                if (page.gated)
                    owner.changed.wait(lock, [this] { return owner.gateOpen; });
            }
            std::this_thread::sleep_for(page.readDelay);
            const int index = reads++;
            if (index == page.throwReadAt)
                throw std::runtime_error("scripted");
            if (index == page.failReadAt)
                return false;
            received = 0;
            if (index < static_cast<int>(page.chunks.size())) {
                const std::string& chunk = page.chunks[index];
                received = std::min(capacity, chunk.size());
                chunk.copy(buffer, received);
            }
            return true;
        }

    private:
        ScriptedHttp& owner;
        ScriptedPage page;
        int reads = 0;
    };

    std::mutex mutex;
    std::condition_variable changed;
    ScriptedPage page;
    bool gateOpen = false;
    std::vector<std::size_t> capacities;
    std::string agent;
    std::string url;
    int open = 0;
    std::vector<PostRequest> posts;
};

struct PostedMessage {
    WindowHandle window;
    unsigned message;
    std::uintptr_t wParam;
    std::intptr_t lParam;
};

// Records every post; a wait polls the worker and runs `duringWait` once, as a message
// handler would run inside the real pump.
class RecordingHost final : public DownloadHost {
public:
    void Post(WindowHandle window, unsigned message, std::uintptr_t wParam,
              std::intptr_t lParam) override {
        std::lock_guard<std::mutex> lock(mutex);
        posts.push_back({window, message, wParam, lParam});
    }
    bool WaitPumping(const std::function<bool()>& finished, std::uint32_t timeoutMs) override {
        ++waits;
        const auto deadline =
            std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        while (!finished()) {
            if (std::chrono::steady_clock::now() >= deadline)
                return false;
            if (duringWait) {
                auto once = std::move(duringWait);
                duringWait = nullptr;
                once();
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return true;
    }
    void Clear() {
        std::lock_guard<std::mutex> lock(mutex);
        posts.clear();
    }
    std::vector<PostedMessage> Posts() {
        std::lock_guard<std::mutex> lock(mutex);
        return posts;
    }
    // The first post of `message`, waiting for it up to two seconds.
    std::optional<PostedMessage> WaitFor(unsigned message) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
        do {
            for (const PostedMessage& post : Posts()) {
                if (post.message == message)
                    return post;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        } while (std::chrono::steady_clock::now() < deadline);
        return std::nullopt;
    }

    // Waits for the first post of `message` and removes it.
    std::optional<PostedMessage> Take(unsigned message) {
        const std::optional<PostedMessage> post = WaitFor(message);
        std::lock_guard<std::mutex> lock(mutex);
        for (auto it = posts.begin(); post && it != posts.end(); ++it) {
            if (it->message == message) {
                posts.erase(it);
                break;
            }
        }
        return post;
    }

    std::function<void()> duringWait;
    int waits = 0;

private:
    std::mutex mutex;
    std::vector<PostedMessage> posts;
};
