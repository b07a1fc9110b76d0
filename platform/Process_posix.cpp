#include "platform/Process.h"
#include <cstdlib>

// No other programs are started here.
bool StartProgram(const std::string&, const std::string&, StartWindow) {
    return false;
}

std::string EnvironmentValue(const char* name, const std::string& fallback) {
    const char* value = std::getenv(name);
    return value && *value ? value : fallback;
}
