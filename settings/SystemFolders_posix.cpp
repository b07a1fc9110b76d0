// Stand-ins where there is no Windows.
#include "platform/Process.h"
#include "settings/SystemFolders.h"

namespace {
std::string WithSlash(std::string folder) {
    if (!folder.empty() && folder.back() != '/')
        folder += '/';
    return folder;
}
} // namespace

std::string GetWindowsFolder() {
    return "/";
}
std::string GetSystemFolder() {
    return "/usr/lib/";
}
std::string GetTempFolder() {
    return WithSlash(EnvironmentValue("TMPDIR", "/tmp"));
}
std::string GetDocumentsFolder() {
    return WithSlash(EnvironmentValue("HOME", "/"));
}
std::string GetAppDataFolder() {
    return WithSlash(EnvironmentValue("XDG_CONFIG_HOME", "/tmp"));
}
std::string GetLocalAppDataFolder() {
    return WithSlash(EnvironmentValue("XDG_DATA_HOME", "/tmp"));
}
