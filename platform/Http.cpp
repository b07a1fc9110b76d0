#include "platform/Http.h"
#include <atomic>

namespace {
std::atomic<Http*> installedHttp{nullptr};
}

Http& CurrentHttp() {
    Http* http = installedHttp.load();
    return http ? *http : PlatformHttp();
}

void SetCurrentHttp(Http* http) {
    installedHttp.store(http);
}

std::unique_ptr<HttpResponse> Http::Post(const std::string&, const std::string&, const std::string&,
                                         const std::vector<std::string>&, const std::string&,
                                         const HttpTimeouts&, HttpOpenError& error) {
    error = HttpOpenError::Session; // a client that only reads pages
    return nullptr;
}
