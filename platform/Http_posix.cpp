#include "platform/Http.h"

namespace {
// The native build talks to no server: every request fails to open its session.
class NoHttp final : public Http {
public:
    std::unique_ptr<HttpResponse> Get(const std::string&, const std::string&, const HttpTimeouts&,
                                      HttpOpenError& error) override {
        error = HttpOpenError::Session;
        return nullptr;
    }
    std::unique_ptr<HttpResponse> Post(const std::string&, const std::string&, const std::string&,
                                       const std::vector<std::string>&, const std::string&,
                                       const HttpTimeouts&, HttpOpenError& error) override {
        error = HttpOpenError::Session;
        return nullptr;
    }
};
} // namespace

Http& PlatformHttp() {
    static Http* const http = new NoHttp; // deliberately never freed
    return *http;
}
