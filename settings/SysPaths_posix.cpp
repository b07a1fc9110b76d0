// Stand-ins where there is no Windows: enough for the portable code and its tests.
#include "platform/Process.h"
#include "settings/SysPaths.h"
#include <climits>
#include <fstream>
#include <unistd.h>

std::string GetProgramPath() {
    char buffer[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    return n > 0 ? std::string(buffer, static_cast<std::size_t>(n)) : "";
}

std::string GetCommandLineText() {
    std::ifstream in("/proc/self/cmdline", std::ios::binary);
    std::string raw((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    while (!raw.empty() && raw.back() == '\0')
        raw.pop_back();
    for (char& c : raw)
        if (c == '\0')
            c = ' ';
    return raw;
}

std::string GetProgramVersion(const std::string&) {
    return "";
}

std::string GetMachineName() {
    char name[256] = {};
    ::gethostname(name, sizeof name - 1);
    return ChooseMachineName(name, EnvironmentValue("COMPUTERNAME"));
}
