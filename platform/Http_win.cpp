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
    HINTERNET Release() {
        HINTERNET held = handle;
        handle = nullptr;
        return held;
    }

private:
    HINTERNET handle;
};

class WinInetResponse final : public HttpResponse {
public:
    // The request handle is closed before the connection and the session it belongs to.
    WinInetResponse(HINTERNET session, HINTERNET request, HINTERNET connection = nullptr)
        : session(session), connection(connection), request(request) {}

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
    InternetHandle connection;
    InternetHandle request;
};

void SetTimeout(HINTERNET handle, DWORD option, unsigned ms) {
    DWORD value = ms;
    InternetSetOptionW(handle, option, &value, sizeof value);
}

HINTERNET OpenSession(const std::string& agent, const HttpTimeouts& timeouts) {
    HINTERNET session =
        InternetOpenW(Widen(agent).c_str(), INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
    if (!session)
        return nullptr;
    SetTimeout(session, INTERNET_OPTION_CONNECT_TIMEOUT, timeouts.connectMs);
    SetTimeout(session, INTERNET_OPTION_SEND_TIMEOUT, timeouts.receiveMs);
    SetTimeout(session, INTERNET_OPTION_RECEIVE_TIMEOUT, timeouts.receiveMs);
    SetTimeout(session, INTERNET_OPTION_DATA_RECEIVE_TIMEOUT, timeouts.receiveMs);
    return session;
}

// The parts of an address that a POST is opened with.
struct UrlParts {
    bool secure = false;
    std::wstring host;
    INTERNET_PORT port = 0;
    std::wstring object; // path and query
};

bool SplitUrl(const std::string& url, UrlParts& parts) {
    const std::wstring wide = Widen(url);
    URL_COMPONENTSW components = {};
    components.dwStructSize = sizeof components;
    components.dwHostNameLength = 1; // non-zero: point into `wide`
    components.dwUrlPathLength = 1;
    components.dwExtraInfoLength = 1;
    if (!InternetCrackUrlW(wide.c_str(), static_cast<DWORD>(wide.size()), 0, &components))
        return false;
    if (components.nScheme != INTERNET_SCHEME_HTTP && components.nScheme != INTERNET_SCHEME_HTTPS)
        return false;
    if (!components.lpszHostName || components.dwHostNameLength == 0)
        return false;
    parts.secure = components.nScheme == INTERNET_SCHEME_HTTPS;
    parts.host.assign(components.lpszHostName, components.dwHostNameLength);
    parts.port = components.nPort;
    if (components.lpszUrlPath)
        parts.object.assign(components.lpszUrlPath, components.dwUrlPathLength);
    if (components.lpszExtraInfo)
        parts.object.append(components.lpszExtraInfo, components.dwExtraInfoLength);
    if (parts.object.empty())
        parts.object = L"/";
    return true;
}

bool IsCertificateError(DWORD code) {
    switch (code) {
    case ERROR_INTERNET_INVALID_CA:
    case ERROR_INTERNET_SEC_CERT_CN_INVALID:
    case ERROR_INTERNET_SEC_CERT_DATE_INVALID:
    case ERROR_INTERNET_SEC_CERT_ERRORS:
    case ERROR_INTERNET_SEC_CERT_REV_FAILED:
    case ERROR_INTERNET_SEC_CERT_REVOKED:
    case ERROR_INTERNET_SEC_INVALID_CERT:
        return true;
    default:
        return false;
    }
}

// "Content-Type: ...\r\n" and every extra line that cannot start another header.
std::wstring RequestHeaders(const std::string& contentType,
                            const std::vector<std::string>& headerLines) {
    std::string headers = "Content-Type: " + contentType + "\r\n";
    for (const std::string& line : headerLines) {
        if (line.find_first_of("\r\n") == std::string::npos)
            headers += line + "\r\n";
    }
    return Widen(headers);
}

class WinInetHttp final : public Http {
public:
    std::unique_ptr<HttpResponse> Get(const std::string& url, const std::string& agent,
                                      const HttpTimeouts& timeouts, HttpOpenError& error) override {
        HINTERNET session = OpenSession(agent, timeouts);
        if (!session) {
            error = HttpOpenError::Session;
            return nullptr;
        }
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

    std::unique_ptr<HttpResponse> Post(const std::string& url, const std::string& agent,
                                       const std::string& contentType,
                                       const std::vector<std::string>& headerLines,
                                       const std::string& body, const HttpTimeouts& timeouts,
                                       HttpOpenError& error) override {
        error = HttpOpenError::Request;
        UrlParts parts;
        if (!SplitUrl(url, parts))
            return nullptr;
        InternetHandle session(OpenSession(agent, timeouts));
        if (!session.Get()) {
            error = HttpOpenError::Session;
            return nullptr;
        }
        InternetHandle connection(InternetConnectW(session.Get(), parts.host.c_str(), parts.port,
                                                   nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 0));
        if (!connection.Get())
            return nullptr;
        // A notice is sent once: no cache, no cookies, no dialog, and a redirect is an answer
        // of its own rather than a second request without the body.
        DWORD flags = INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_RELOAD |
                      INTERNET_FLAG_PRAGMA_NOCACHE | INTERNET_FLAG_NO_COOKIES |
                      INTERNET_FLAG_NO_UI | INTERNET_FLAG_NO_AUTO_REDIRECT;
        if (parts.secure)
            flags |= INTERNET_FLAG_SECURE;
        InternetHandle request(HttpOpenRequestW(connection.Get(), L"POST", parts.object.c_str(),
                                                nullptr, nullptr, nullptr, flags, 0));
        if (!request.Get())
            return nullptr;
        const std::wstring headers = RequestHeaders(contentType, headerLines);
        if (!HttpSendRequestW(request.Get(), headers.c_str(), static_cast<DWORD>(headers.size()),
                              const_cast<char*>(body.data()), static_cast<DWORD>(body.size()))) {
            if (IsCertificateError(GetLastError()))
                error = HttpOpenError::Certificate;
            return nullptr;
        }
        error = HttpOpenError::None;
        return std::make_unique<WinInetResponse>(session.Release(), request.Release(),
                                                 connection.Release());
    }
};
} // namespace

Http& PlatformHttp() {
    static Http* const http = new WinInetHttp; // deliberately never freed
    return *http;
}
