#pragma once
#include <cstdint>
#include <string>
#include <vector>

enum class PathKind { Missing, File, Folder };

// File access for the portable code; paths are UTF-8.
class FileSystem {
public:
    virtual ~FileSystem() = default;
    virtual PathKind Kind(const std::string& path) = 0;
    virtual bool ReadAll(const std::string& path, std::string& content) = 0;
    // Writes a temporary file beside the target, flushes it and moves it over the
    // target, so the target is always either the old or the new content.
    virtual bool ReplaceAtomically(const std::string& path, const std::string& content) = 0;
    virtual bool Append(const std::string& path, const std::string& content) = 0;
    virtual bool IsReadOnly(const std::string& path) = 0;
    virtual bool ClearReadOnly(const std::string& path) = 0;
    virtual bool Delete(const std::string& path) = 0;
    virtual std::int64_t Size(const std::string& path) = 0; // -1 when missing
    // Names of the immediate sub-folders of a folder, in the system's listing order.
    virtual std::vector<std::string> ListFolders(const std::string& path) {
        static_cast<void>(path);
        return {};
    }
};

FileSystem& Files();
void SetFiles(FileSystem* files); // nullptr restores the platform file system
FileSystem& PlatformFiles();

inline bool FileExists(const std::string& path) {
    return Files().Kind(path) == PathKind::File;
}
