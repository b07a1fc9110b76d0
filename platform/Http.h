#pragma once
#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// Limits of one request, so that a dead or silent server cannot hold it forever.
struct HttpTimeouts {
    unsigned connectMs = 10000;
    unsigned receiveMs = 10000; // one read
};

// Which step of opening a request failed. Certificate: the server's TLS certificate was
// refused (untrusted, expired, another name), which trying again does not mend.
enum class HttpOpenError { None, Session, Request, Certificate };

// One opened GET: its status, the header the downloaders ask for, and the body in pieces.
class HttpResponse {
public:
    virtual ~HttpResponse() = default;
    virtual int StatusCode() = 0; // 0 when unknown
    // The Content-Length header as sent; nothing when the response has none.
    virtual std::optional<std::string> ContentLength() = 0;
    // Reads at most `capacity` bytes. `received` is 0 at the end of the body; false when
    // the read failed.
    virtual bool Read(char* buffer, std::size_t capacity, std::size_t& received) = 0;
};

// HTTP GET for the downloaders' worker threads and POST for the phone notices:
// implementations must allow calls from several threads at once.
class Http {
public:
    virtual ~Http() = default;
    // nullptr on failure, with `error` naming the step that failed. The response is not
    // taken from or written to any cache.
    virtual std::unique_ptr<HttpResponse> Get(const std::string& url, const std::string& agent,
                                              const HttpTimeouts& timeouts,
                                              HttpOpenError& error) = 0;
    // Sends `body` as `contentType` with the extra header lines ("Name: value", no line
    // breaks; a line holding one is left out). Redirects are not followed and nothing is
    // cached. nullptr on failure (no connection included), with `error` naming the step.
    virtual std::unique_ptr<HttpResponse> Post(const std::string& url, const std::string& agent,
                                               const std::string& contentType,
                                               const std::vector<std::string>& headerLines,
                                               const std::string& body,
                                               const HttpTimeouts& timeouts, HttpOpenError& error);
};

Http& CurrentHttp();
void SetCurrentHttp(Http* http); // nullptr restores the platform client
// Never destroyed, so a worker still running at exit can use it.
Http& PlatformHttp();
