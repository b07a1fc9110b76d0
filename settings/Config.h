#pragma once
#include "settings/IniFile.h"
#include <string>

// The main settings file. Section and key names reach the file in upper case.
class CConfig {
public:
    CConfig() = default;
    virtual ~CConfig() = default;

    std::string Get(const std::string& key);
    std::string Get(const std::string& section, const std::string& key);
    void Set(const std::string& key, const std::string& value);
    void Set(const std::string& section, const std::string& key, const std::string& value);
    void SetInt(const std::string& key, int value);
    void SetInt(const std::string& section, const std::string& key, int value);

    const std::string& GetPath();

private:
    void EnsurePath();

    CIniFile file;
    std::string path;
};

// The one process-wide instance.
CConfig& Config();
