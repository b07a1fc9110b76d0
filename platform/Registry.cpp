#include "platform/Registry.h"

namespace {
Registry* installedRegistry = nullptr;
}

Registry& CurrentRegistry() {
    return installedRegistry ? *installedRegistry : PlatformRegistry();
}
void SetCurrentRegistry(Registry* registry) {
    installedRegistry = registry;
}
