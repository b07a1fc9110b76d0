// Stand-ins where there is no Windows.
#include "settings/SystemFolders.h"
#include <cstdlib>

namespace {
std::string WithSlash(std::string folder) {
    if (!folder.empty() && folder.back() != '/')
        folder += '/';
    return folder;
}

std::string Env(const char* name, const char* fallback) {
    const char* value = std::getenv(name);
    return value && *value ? value : fallback;
}
} // namespace

std::string GetWindowsFolder() {
    return "/";
}
std::string GetSystemFolder() {
    return "/usr/lib/";
}
std::string GetTempFolder() {
    return WithSlash(Env("TMPDIR", "/tmp"));
}
std::string GetDocumentsFolder() {
    return WithSlash(Env("HOME", "/"));
}
std::string GetAppDataFolder() {
    return WithSlash(Env("XDG_CONFIG_HOME", "/tmp"));
}
std::string GetLocalAppDataFolder() {
    return WithSlash(Env("XDG_DATA_HOME", "/tmp"));
}
