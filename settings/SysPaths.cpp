#include "settings/SysPaths.h"

std::string GetFolderOfPath(const std::string& path) {
    std::string p = path;
    if (!p.empty() && (p.back() == '\\' || p.back() == '/'))
        p.pop_back();
    const char separator = p.find('\\') != std::string::npos ? '\\' : '/';
    const std::size_t last = p.rfind(separator);
    if (p.size() > 3 && last != std::string::npos && last + 1 != p.size())
        return p.substr(0, last + 1);
    return p + "\\";
}

std::string GetProgramFolder() {
    return GetFolderOfPath(GetProgramPath());
}

std::string GetArgumentsOf(const std::string& commandLine) {
    for (const std::string marker : {".exe ", ".exe\" "}) {
        const std::size_t at = commandLine.find(marker);
        if (at != std::string::npos)
            return commandLine.substr(at + marker.size());
    }
    return "";
}

std::string GetArguments() {
    return GetArgumentsOf(GetCommandLineText());
}

std::string NormaliseVersionValue(const std::string& value) {
    std::string out;
    for (char c : value) {
        if (c == ' ')
            continue;
        out += c == ',' ? '.' : c;
    }
    return out;
}

std::string JoinVersionValues(const std::string& joined) {
    const std::size_t paren = joined.find('(');
    return paren == std::string::npos ? joined : joined.substr(0, paren);
}

std::string ChooseMachineName(const std::string& computerName, const std::string& environmentName) {
    if (computerName.empty() || computerName.find('?') != std::string::npos)
        return environmentName;
    return computerName;
}
