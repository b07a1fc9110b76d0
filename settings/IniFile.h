#pragma once
#include "settings/IniDocument.h"
#include <string>
#include <utility>
#include <vector>

// One settings file. Every call reads the file afresh; every write replaces it whole
// and atomically, so another key is never lost and a crash never leaves half a file.
class CIniFile {
public:
    CIniFile() = default;
    virtual ~CIniFile() = default;

    // False when the path names a folder, or names a read-only file that cannot be
    // made writable.
    bool SetPath(const std::string& path);
    const std::string& GetPath() const { return path; }

    std::string GetString(const std::string& section, const std::string& key) const;
    bool WriteString(const std::string& section, const std::string& key, const std::string& value);
    bool WriteInt(const std::string& section, const std::string& key, int value);
    // Several keys of one section in one replace of the file: a crash leaves all or none.
    bool WriteStrings(const std::string& section,
                      const std::vector<std::pair<std::string, std::string>>& values);
    bool DeleteKey(const std::string& section, const std::string& key);
    void DeleteSection(const std::string& section);
    int GetSectionNames(std::vector<std::string>& names) const;
    // The whole file read once, for callers that read many keys at once.
    IniDocument Document() const;

private:
    std::string path;
};
