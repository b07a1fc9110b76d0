#include "settings/IniFile.h"
#include "platform/FileSystem.h"
#include "settings/IniDocument.h"

namespace {
IniDocument Load(const std::string& path) {
    std::string content;
    if (path.empty() || !Files().ReadAll(path, content))
        return IniDocument();
    return IniDocument(content);
}

bool Store(const std::string& path, const IniDocument& document) {
    return !path.empty() && Files().ReplaceAtomically(path, document.Render());
}
} // namespace

bool CIniFile::SetPath(const std::string& newPath) {
    path = newPath;
    FileSystem& files = Files();
    const PathKind kind = files.Kind(path);
    if (kind == PathKind::Folder)
        return false;
    if (kind == PathKind::File && files.IsReadOnly(path))
        return files.ClearReadOnly(path);
    return true;
}

std::string CIniFile::GetString(const std::string& section, const std::string& key) const {
    return Load(path).Get(section, key);
}

bool CIniFile::WriteString(const std::string& section, const std::string& key,
                           const std::string& value) {
    return WriteStrings(section, {{key, value}});
}

bool CIniFile::WriteStrings(const std::string& section,
                            const std::vector<std::pair<std::string, std::string>>& values) {
    if (path.empty())
        return false;
    // An existing file that cannot be read must not be replaced by one holding only these keys.
    std::string content;
    if (Files().Kind(path) != PathKind::Missing && !Files().ReadAll(path, content))
        return false;
    IniDocument document(content);
    for (const auto& [key, value] : values)
        document.Set(section, key, value);
    return Store(path, document);
}

bool CIniFile::WriteInt(const std::string& section, const std::string& key, int value) {
    return WriteString(section, key, std::to_string(value));
}

bool CIniFile::DeleteKey(const std::string& section, const std::string& key) {
    IniDocument document = Load(path);
    return document.DeleteKey(section, key) && Store(path, document);
}

void CIniFile::DeleteSection(const std::string& section) {
    IniDocument document = Load(path);
    if (document.DeleteSection(section))
        Store(path, document);
}

IniDocument CIniFile::Document() const {
    return Load(path);
}

int CIniFile::GetSectionNames(std::vector<std::string>& names) const {
    names.clear();
    for (std::string& name : Load(path).SectionNames())
        names.push_back(std::move(name));
    return static_cast<int>(names.size());
}
