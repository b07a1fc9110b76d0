#include "settings/Config.h"
#include "platform/Text.h"
#include "settings/AppConfig.h"

namespace {
const char* const kMainSection = "MAIN";
const char* const kSettingsExtension = ".cfg";
} // namespace

void CConfig::EnsurePath() {
    if (!path.empty())
        return;
    const CAppConfig& app = AppConfig();
    path = app.programFolder + app.productId + kSettingsExtension;
    file.SetPath(path);
}

const std::string& CConfig::GetPath() {
    EnsurePath();
    return path;
}

std::string CConfig::Get(const std::string& key) {
    return Get(kMainSection, key);
}

std::string CConfig::Get(const std::string& section, const std::string& key) {
    EnsurePath();
    return file.GetString(ToUpperAscii(section), ToUpperAscii(key));
}

void CConfig::Set(const std::string& key, const std::string& value) {
    Set(kMainSection, key, value);
}

void CConfig::Set(const std::string& section, const std::string& key, const std::string& value) {
    EnsurePath();
    file.WriteString(ToUpperAscii(section), ToUpperAscii(key), value);
}

void CConfig::SetInt(const std::string& key, int value) {
    SetInt(kMainSection, key, value);
}

void CConfig::SetInt(const std::string& section, const std::string& key, int value) {
    Set(section, key, std::to_string(value));
}

CConfig& Config() {
    static CConfig config;
    return config;
}
