#include <windows.h>
#include "platform/Http.h"
#include "platform/Text.h"
#include <wininet.h>

namespace {
class InternetHandle {
public:
    explicit InternetHandle(HINTERNET handle = nullptr) : handle(handle) {}
    ~InternetHandle() {
        if (handle)
            InternetCloseHandle(handle);
    }
    InternetHandle(const InternetHandle&) = delete;
    InternetHandle& operator=(const InternetHandle&) = delete;
    HINTERNET Get() const { return handle; }

private:
    HINTERNET handle;
};

class WinInetResponse final : public HttpResponse {
public:
    // The request handle is closed before the session it belongs to.
    WinInetResponse(HINTERNET session, HINTERNET request) : session(session), request(request) {}

    int StatusCode() override {
        DWORD code = 0;
        DWORD size = sizeof code;
        if (!HttpQueryInfoW(request.Get(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &code,
                            &size, nullptr))
            return 0;
        return static_cast<int>(code);
    }

    std::optional<std::string> ContentLength() override {
        wchar_t value[32] = {};
        DWORD size = sizeof value - sizeof value[0];
        if (!HttpQueryInfoW(request.Get(), HTTP_QUERY_CONTENT_LENGTH, value, &size, nullptr))
            return std::nullopt;
        return Narrow(value);
    }

    bool Read(char* buffer, std::size_t capacity, std::size_t& received) override {
        DWORD got = 0;
        const BOOL ok = InternetReadFile(request.Get(), buffer, static_cast<DWORD>(capacity), &got);
        received = ok ? got : 0;
        return ok != FALSE;
    }

private:
    InternetHandle session;
    InternetHandle request;
};

void SetTimeout(HINTERNET handle, DWORD option, unsigned ms) {
    DWORD value = ms;
    InternetSetOptionW(handle, option, &value, sizeof value);
}

class WinInetHttp final : public Http {
public:
    std::unique_ptr<HttpResponse> Get(const std::string& url, const std::string& agent,
                                      const HttpTimeouts& timeouts, HttpOpenError& error) override {
        HINTERNET session =
            InternetOpenW(Widen(agent).c_str(), INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
        if (!session) {
            error = HttpOpenError::Session;
            return nullptr;
        }
        SetTimeout(session, INTERNET_OPTION_CONNECT_TIMEOUT, timeouts.connectMs);
        SetTimeout(session, INTERNET_OPTION_SEND_TIMEOUT, timeouts.receiveMs);
        SetTimeout(session, INTERNET_OPTION_RECEIVE_TIMEOUT, timeouts.receiveMs);
        SetTimeout(session, INTERNET_OPTION_DATA_RECEIVE_TIMEOUT, timeouts.receiveMs);
        // Quotes change all the time: never answer from a cache, never fill one.
        HINTERNET request =
            InternetOpenUrlW(session, Widen(url).c_str(), nullptr, 0,
                             INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_RELOAD, 0);
        if (!request) {
            InternetCloseHandle(session);
            error = HttpOpenError::Request;
            return nullptr;
        }
        error = HttpOpenError::None;
        return std::make_unique<WinInetResponse>(session, request);
    }
};
} // namespace

Http& PlatformHttp() {
    static Http* const http = new WinInetHttp; // deliberately never freed
    return *http;
}
