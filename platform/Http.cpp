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
